/* xwatch: watches a window's pixels from the X side, for the speed bench.
 * It never starts a process and asks the X server only for a few pixels every
 * 2 ms, so it costs the programs measured next to nothing.
 *
 * One command a line on stdin:
 *   wait TIMEOUT_MS TITLE|TERM [TERM...]
 * finds the top-level window named TITLE, answers "armed" once it has taken
 * its baseline (so the caller can start the action), then "ok TIME POLLS"
 * when every term holds or "timeout". TIME is Unix seconds (wall clock).
 * Terms, in the window's coordinates:
 *   px=X,Y,R,G,B        the pixel has this colour (each channel within 40)
 *   bright=X,Y          the pixel is light (sum of channels over 300)
 *   size=W,H            the window is this size
 *   changed=X,Y[;X,Y]   some pixel differs from what it was when armed
 *   gone                no window of that title is shown
 * Build: gcc -O2 -o xwatch xwatch.c -lX11 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define MAX_TERMS 16
#define MAX_POINTS 8
#define POLL_US 2000

enum kind { PX, BRIGHT, SIZE, CHANGED, GONE };

struct term {
    enum kind kind;
    int n;
    int x[MAX_POINTS], y[MAX_POINTS];
    int rgb[3];
    unsigned long baseline[MAX_POINTS];
};

static Display *display;
static int x_failed;

static int ignore_error(Display *d, XErrorEvent *e) {
    (void)d;
    (void)e;
    x_failed = 1;
    return 0;
}

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static int named(Window w, const char *title) {
    char *name = NULL;
    int match = 0;
    if (XFetchName(display, w, &name) && name) {
        match = strcmp(name, title) == 0;
        XFree(name);
    }
    if (!match) {
        XTextProperty text;
        Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
        if (XGetTextProperty(display, w, &text, net_name) && text.value) {
            match = strcmp((const char *)text.value, title) == 0;
            XFree(text.value);
        }
    }
    if (match) {
        XWindowAttributes a;
        match = XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable;
    }
    return match;
}

/* Depth-first below root: window managers put the program's window inside a frame. */
static Window find(Window parent, const char *title, int depth) {
    Window root, up, *children = NULL, found = 0;
    unsigned int count = 0;
    if (depth > 3 || !XQueryTree(display, parent, &root, &up, &children, &count)) {
        return 0;
    }
    for (unsigned int i = count; i-- > 0 && !found;) {
        if (named(children[i], title)) {
            found = children[i];
        } else {
            found = find(children[i], title, depth + 1);
        }
    }
    if (children) {
        XFree(children);
    }
    return found;
}

static int pixel(Window w, int x, int y, unsigned long *value) {
    x_failed = 0;
    XImage *image = XGetImage(display, w, x, y, 1, 1, AllPlanes, ZPixmap);
    XSync(display, False);
    if (!image || x_failed) {
        if (image) {
            XDestroyImage(image);
        }
        return 0;
    }
    *value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return 1;
}

static void channels(unsigned long p, int rgb[3]) {
    rgb[0] = (int)(p >> 16 & 255);
    rgb[1] = (int)(p >> 8 & 255);
    rgb[2] = (int)(p & 255);
}

static int differs(unsigned long a, unsigned long b) {
    int ca[3], cb[3];
    channels(a, ca);
    channels(b, cb);
    return abs(ca[0] - cb[0]) + abs(ca[1] - cb[1]) + abs(ca[2] - cb[2]) > 40;
}

static int holds(Window w, struct term *t) {
    unsigned long p;
    int rgb[3];
    switch (t->kind) {
    case GONE:
        return w == 0;
    case PX:
        if (!w || !pixel(w, t->x[0], t->y[0], &p)) {
            return 0;
        }
        channels(p, rgb);
        return abs(rgb[0] - t->rgb[0]) <= 40 && abs(rgb[1] - t->rgb[1]) <= 40 && abs(rgb[2] - t->rgb[2]) <= 40;
    case BRIGHT:
        if (!w || !pixel(w, t->x[0], t->y[0], &p)) {
            return 0;
        }
        channels(p, rgb);
        return rgb[0] + rgb[1] + rgb[2] > 300;
    case SIZE: {
        XWindowAttributes a;
        x_failed = 0;
        return w && XGetWindowAttributes(display, w, &a) && !x_failed && a.width == t->x[0] && a.height == t->y[0];
    }
    case CHANGED:
        for (int i = 0; w && i < t->n; ++i) {
            if (pixel(w, t->x[i], t->y[i], &p) && differs(p, t->baseline[i])) {
                return 1;
            }
        }
        return 0;
    }
    return 0;
}

static int parse_term(const char *text, struct term *t) {
    memset(t, 0, sizeof *t);
    if (strcmp(text, "gone") == 0) {
        t->kind = GONE;
        return 1;
    }
    if (sscanf(text, "px=%d,%d,%d,%d,%d", &t->x[0], &t->y[0], &t->rgb[0], &t->rgb[1], &t->rgb[2]) == 5) {
        t->kind = PX;
        return 1;
    }
    if (sscanf(text, "bright=%d,%d", &t->x[0], &t->y[0]) == 2) {
        t->kind = BRIGHT;
        return 1;
    }
    if (sscanf(text, "size=%d,%d", &t->x[0], &t->y[0]) == 2) {
        t->kind = SIZE;
        return 1;
    }
    if (strncmp(text, "changed=", 8) == 0) {
        t->kind = CHANGED;
        const char *p = text + 8;
        while (t->n < MAX_POINTS && sscanf(p, "%d,%d", &t->x[t->n], &t->y[t->n]) == 2) {
            ++t->n;
            p = strchr(p, ';');
            if (!p) {
                break;
            }
            ++p;
        }
        return t->n > 0;
    }
    return 0;
}

static void watch(char *line) {
    long timeout_ms = strtol(line, &line, 10);
    while (*line == ' ') {
        ++line;
    }
    char *bar = strchr(line, '|');
    if (!bar) {
        printf("error\n");
        return;
    }
    *bar = '\0';
    const char *title = line;
    struct term terms[MAX_TERMS];
    int count = 0;
    for (char *word = strtok(bar + 1, " "); word && count < MAX_TERMS; word = strtok(NULL, " ")) {
        if (!parse_term(word, &terms[count])) {
            printf("error %s\n", word);
            return;
        }
        ++count;
    }
    const double deadline = now() + timeout_ms / 1000.0;
    Window w = find(DefaultRootWindow(display), title, 0);
    /* The baseline of a change is what the window shows now. */
    for (int i = 0; i < count; ++i) {
        for (int j = 0; terms[i].kind == CHANGED && j < terms[i].n; ++j) {
            if (!w || !pixel(w, terms[i].x[j], terms[i].y[j], &terms[i].baseline[j])) {
                terms[i].baseline[j] = 0;
            }
        }
    }
    printf("armed\n");
    fflush(stdout);
    long polls = 0;
    for (;;) {
        ++polls;
        if (!w || x_failed) {
            w = find(DefaultRootWindow(display), title, 0);
        }
        int all = 1;
        for (int i = 0; i < count && all; ++i) {
            all = holds(w, &terms[i]);
        }
        if (all) {
            printf("ok %.6f %ld\n", now(), polls);
            return;
        }
        if (now() > deadline) {
            printf("timeout\n");
            return;
        }
        usleep(POLL_US);
        /* A window of the title may have been replaced by a new one. */
        if (polls % 50 == 0) {
            w = find(DefaultRootWindow(display), title, 0);
        }
    }
}

int main(void) {
    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xwatch: no display\n");
        return 1;
    }
    XSetErrorHandler(ignore_error);
    char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (strncmp(line, "wait ", 5) == 0) {
            watch(line + 5);
        } else if (strcmp(line, "quit") == 0) {
            break;
        } else {
            printf("error\n");
        }
        fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
