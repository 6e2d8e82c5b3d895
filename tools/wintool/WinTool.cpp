// wintool: looks at and drives NarvoTV's windows from test scripts, from inside
// Wine, where the X side cannot see Win32 state.
//   wintool info TITLE       window and client rectangles, styles, visibility
//   wintool close TITLE      posts WM_CLOSE, as the caption's close button does
//   wintool command TITLE ID [ID...]  posts WM_COMMAND ID, for each ID in order
//   wintool msgbox CAPTION   prints the text and owner of a message box, then presses OK
// WINTOOL_PROCESS=TEXT limits every verb to windows of a process whose
// executable's path contains TEXT.
// Text is printed as UTF-8. Exit code 1 when the window is not there.
#include <windows.h>

#include <cctype>
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

// Argument i in the ANSI code page. Taken from the wide command line: the
// narrow argv of a program started from Linux is not reliably UTF-8.
std::string Argument(int i) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    char ansi[2048] = {};
    if (wide && i < count) {
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, ansi, sizeof ansi, nullptr, nullptr);
    }
    LocalFree(wide);
    return ansi;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool OwnedByProcess(HWND window, const std::string& pathPart) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) {
        return false;
    }
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return named && Lower(path).find(Lower(pathPart)) != std::string::npos;
}

struct Search {
    std::string title;
    std::string process;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (search->title == title && OwnedByProcess(window, search->process)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// With WINTOOL_PROCESS set, only a window of a process whose executable's
// path contains that text: several viewers may run at once. EnumWindows
// walks a snapshot, which their z-order changes cannot disturb.
HWND Find(const std::string& wanted) {
    const char* process = getenv("WINTOOL_PROCESS");
    if (!process || !*process) {
        return FindWindowA(nullptr, wanted.c_str());
    }
    Search search = {wanted, process};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: wintool info|close|command|msgbox TITLE [ID]\n");
        return 2;
    }
    const std::string verb = argv[1];
    HWND window = Find(Argument(2));
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
        for (int i = 3; i < argc; ++i) {
            if (!PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(atoi(argv[i])), 0)) {
                return 1;
            }
        }
        return 0;
    }
    if (verb == "msgbox") {
        return MessageBoxInfo(window);
    }
    return 2;
}
