// wintool: looks at and drives NarvoTV's windows from test scripts, from inside
// Wine, where the X side cannot see Win32 state.
//   wintool info TITLE       window and client rectangles, styles, visibility
//   wintool close TITLE      posts WM_CLOSE, as the caption's close button does
//   wintool command TITLE ID posts WM_COMMAND ID
//   wintool msgbox CAPTION   prints the text and owner of a message box, then presses OK
//   wintool dialog CAPTION   prints the dialog's rectangle, its owner's title and
//                            each control: "control ID CLASS TEXT"
//   wintool settext CAPTION ID TEXT   sets a dialog control's text
//   wintool press CAPTION ID          presses a dialog button (posts WM_COMMAND ID)
// Text is printed as UTF-8. Exit code 1 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string ToUtf8(const char* ansi) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 1024);
    char utf8[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

std::string FromUtf8(const char* utf8) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char ansi[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

HWND Find(const char* title) {
    return FindWindowA(nullptr, FromUtf8(title).c_str());
}

int Info(HWND window) {
    RECT outer = {};
    GetWindowRect(window, &outer);
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    printf("window %ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left,
           outer.bottom - outer.top);
    printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    printf("normal %ld %ld %ld %ld\n", placement.rcNormalPosition.left, placement.rcNormalPosition.top,
           placement.rcNormalPosition.right, placement.rcNormalPosition.bottom);
    printf("style 0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
    printf("exstyle 0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
    printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
    printf("zoomed %d\n", IsZoomed(window) ? 1 : 0);
    printf("children %d\n", GetWindow(window, GW_CHILD) ? 1 : 0);
    return 0;
}

int MessageBoxInfo(HWND box) {
    char caption[256] = {};
    GetWindowTextA(box, caption, sizeof caption);
    // A message box holds its text in the static control 0xFFFF.
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    HWND owner = GetWindow(box, GW_OWNER);
    printf("caption %s\n", ToUtf8(caption).c_str());
    printf("text %s\n", ToUtf8(text).c_str());
    printf("owner %s\n", owner ? "yes" : "none");
    fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char className[64] = {};
    GetClassNameA(control, className, sizeof className);
    char text[1024] = {};
    GetWindowTextA(control, text, sizeof text);
    printf("control %d %s %s\n", GetDlgCtrlID(control), className, ToUtf8(text).c_str());
    return TRUE;
}

int DialogInfo(HWND dialog) {
    RECT outer = {};
    GetWindowRect(dialog, &outer);
    printf("window %ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left,
           outer.bottom - outer.top);
    char owner[256] = {};
    if (HWND ownerWindow = GetWindow(dialog, GW_OWNER)) {
        GetWindowTextA(ownerWindow, owner, sizeof owner);
    }
    printf("owner %s\n", ToUtf8(owner).c_str());
    EnumChildWindows(dialog, PrintControl, 0);
    fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: wintool info|close|command|msgbox|dialog|settext|press TITLE [ID [TEXT]]\n");
        return 2;
    }
    const std::string verb = argv[1];
    HWND window = Find(argv[2]);
    if (!window) {
        return 1;
    }
    if (verb == "info") {
        return Info(window);
    }
    if (verb == "close") {
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (verb == "command" && argc > 3) {
        return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(atoi(argv[3])), 0) ? 0 : 1;
    }
    if (verb == "msgbox") {
        return MessageBoxInfo(window);
    }
    if (verb == "dialog") {
        return DialogInfo(window);
    }
    if (verb == "settext" && argc > 4) {
        return SetDlgItemTextA(window, atoi(argv[3]), FromUtf8(argv[4]).c_str()) ? 0 : 1;
    }
    if (verb == "press" && argc > 3) {
        return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(atoi(argv[3])), 0) ? 0 : 1;
    }
    return 2;
}
