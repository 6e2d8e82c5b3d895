// wintool: looks at and drives NarvoTV's windows from test scripts, from inside
// Wine, where the X side cannot see Win32 state.
//   wintool info TITLE       window and client rectangles, styles, visibility
//   wintool close TITLE      posts WM_CLOSE, as the caption's close button does
//   wintool command TITLE ID [ID...]  posts WM_COMMAND ID, for each ID in order
//   wintool msgbox CAPTION   prints the text and owner of a message box, then presses OK
//   wintool dialog CAPTION   prints the dialog's rectangle, its owner's title and
//                            each control: "control ID CLASS TEXT"
//   wintool settext CAPTION ID TEXT   sets a dialog control's text
//   wintool press CAPTION ID          presses a dialog button (posts WM_COMMAND ID)
//   wintool focus CAPTION ID          brings the dialog to the front and gives the
//                            control the keyboard focus with its text selected,
//                            ready for typing on the display
//   wintool popup -          the open popup menu's rectangle
//   wintool process TITLE    how the window's process was started: "dpi N" (the
//                            window's DPI awareness: 0 unaware, 1 system,
//                            2 per monitor), "dpi-v2 0|1" (per monitor, second
//                            version) and "module PATH" for each module it loaded
// WINTOOL_PROCESS=TEXT limits every verb to windows of a process whose
// executable's path contains TEXT.
// Text is printed as UTF-8. Exit code 1 when the window is not there.
#include <windows.h>
#include <psapi.h>

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

// An argument as the command line gave it, in UTF-16: the narrow argv is
// already in the ANSI code page, which no UTF-8 reading would survive.
std::wstring WideArgument(int index) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring argument = arguments && index < count ? arguments[index] : L"";
    LocalFree(arguments);
    return argument;
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
    std::wstring title;
    std::string process;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    if (search->title == title && OwnedByProcess(window, search->process)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// With WINTOOL_PROCESS set, only a window of a process whose executable's
// path contains that text: several viewers may run at once. EnumWindows
// walks a snapshot, which their z-order changes cannot disturb.
HWND Find() {
    const std::wstring wanted = WideArgument(2);
    const char* process = getenv("WINTOOL_PROCESS");
    if (!process || !*process) {
        return FindWindowW(nullptr, wanted.c_str());
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

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char className[64] = {};
    GetClassNameA(control, className, sizeof className);
    // Another process's control: only a message reaches its text.
    char text[1024] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
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

int Focus(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        return 1;
    }
    SetForegroundWindow(dialog);
    // The dialog manager selects an edit control's text as it gives it the focus.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    return thread.hwndFocus == control ? 0 : 1;
}

// Looked up at run time: the headers declare them for newer systems than the tool's target.
int ProcessInfo(HWND window) {
    using WindowContext = HANDLE(WINAPI*)(HWND);
    using Awareness = int(WINAPI*)(HANDLE);
    using Equal = BOOL(WINAPI*)(HANDLE, HANDLE);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto windowContext = reinterpret_cast<WindowContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<Awareness>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    const auto equal = reinterpret_cast<Equal>(
        reinterpret_cast<void*>(GetProcAddress(user32, "AreDpiAwarenessContextsEqual")));
    if (windowContext && awareness && equal) {
        HANDLE context = windowContext(window);
        const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
        printf("dpi %d\n", awareness(context));
        printf("dpi-v2 %d\n", equal(context, perMonitorV2) ? 1 : 0);
    }
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) {
        return 1;
    }
    using ProcessAwareness = HRESULT(WINAPI*)(HANDLE, int*);
    HMODULE shcore = LoadLibraryA("shcore.dll");
    const auto processAwareness = shcore ? reinterpret_cast<ProcessAwareness>(reinterpret_cast<void*>(
                                               GetProcAddress(shcore, "GetProcessDpiAwareness")))
                                         : nullptr;
    int value = -1;
    if (processAwareness && processAwareness(process, &value) == S_OK) {
        printf("process-dpi %d\n", value);
    }
    HMODULE modules[512] = {};
    DWORD needed = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &needed)) {
        const DWORD count = needed / sizeof modules[0] < 512 ? needed / sizeof modules[0] : 512;
        for (DWORD i = 0; i < count; ++i) {
            char path[MAX_PATH] = {};
            if (GetModuleFileNameExA(process, modules[i], path, MAX_PATH)) {
                printf("module %s\n", ToUtf8(path).c_str());
            }
        }
    }
    CloseHandle(process);
    fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: wintool info|process|close|command|msgbox|dialog|settext|press|focus TITLE "
                        "[ID [TEXT]]\n");
        return 2;
    }
    const std::string verb = argv[1];
    if (verb == "popup") {
        HWND menu = FindWindowA("#32768", nullptr);
        RECT outer = {};
        if (!menu || !IsWindowVisible(menu) || !GetWindowRect(menu, &outer)) {
            return 1;
        }
        printf("window %ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top);
        return 0;
    }
    HWND window = Find();
    if (!window) {
        return 1;
    }
    if (verb == "info") {
        return Info(window);
    }
    if (verb == "process") {
        return ProcessInfo(window);
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
    if (verb == "dialog") {
        return DialogInfo(window);
    }
    if (verb == "settext" && argc > 4) {
        return SetDlgItemTextW(window, atoi(argv[3]), WideArgument(4).c_str()) ? 0 : 1;
    }
    if (verb == "focus" && argc > 3) {
        return Focus(window, atoi(argv[3]));
    }
    if (verb == "press" && argc > 3) {
        return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(atoi(argv[3])), 0) ? 0 : 1;
    }
    return 2;
}
