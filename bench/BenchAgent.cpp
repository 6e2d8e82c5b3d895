// benchagent: the bench's hand inside Wine. It stays up for a whole bench run
// (its hidden window keeps Wine's desktop process alive between the programs
// measured, whose start would otherwise pay for bringing it back), reads one
// command a line from stdin and answers one line on stdout:
//   find TITLE          -> ok PID X Y W H  (the client area on the screen; or none)
//   post TITLE ID       -> ok TIME         WM_COMMAND posted; TIME just before posting
//   send TITLE ID       -> ok TIME TIME    WM_COMMAND sent; times before and after the handler
//   close TITLE         -> ok TIME         WM_CLOSE posted
//   menu                -> ok 0|1          whether a popup menu is shown
//   sample PID          -> ok handles=N gdi=N windows=N
//   quit
// Times are Unix seconds of the system's wall clock. TITLE is one word or the
// rest of the line; ids are decimal.
#include <windows.h>
#include <winternl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
    using Precise = void(WINAPI*)(FILETIME*);
    static Precise precise = reinterpret_cast<Precise>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now = {};
    if (precise) {
        precise(&now);
    } else {
        GetSystemTimeAsFileTime(&now);
    }
    const unsigned long long ticks =
        static_cast<unsigned long long>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

// The system handle table (information class 16): GetProcessHandleCount is a stub here.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

long CountHandles(DWORD pid) {
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    static Query query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    for (int attempt = 0; query && attempt < 6; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
            long count = 0;
            for (ULONG i = 0; i < table->count; ++i) {
                count += table->entries[i].ownerPid == pid ? 1 : 0;
            }
            return count;
        }
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    return -1;
}

// GDI objects: the entries in use in the process's GDI handle table, which
// its PEB points to (GetGuiResources is a stub here).
struct GdiEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
constexpr size_t GdiEntries = 0x10000;
constexpr size_t PebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

long CountGdiObjects(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return -1;
    }
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process,
                           static_cast<BYTE*>(static_cast<void*>(basic.PebBaseAddress)) + PebGdiTableOffset,
                           &table, sizeof table, &read) ||
        !table) {
        return -1;
    }
    std::vector<GdiEntry> entries(GdiEntries);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &read)) {
        return -1;
    }
    long count = 0;
    for (const GdiEntry& entry : entries) {
        count += entry.type != 0 ? 1 : 0;
    }
    return count;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
    auto* counter = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    counter->count += owner == counter->pid ? 1 : 0;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    CountChild(window, param);
    EnumChildWindows(window, CountChild, param);
    return TRUE;
}

// USER objects as far as another process can see them: the windows it owns.
long CountWindows(DWORD pid) {
    WindowCount counter = {pid, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counter));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountTopLevel(window, reinterpret_cast<LPARAM>(&counter));
    }
    return counter.count;
}

std::string FromUtf8(const std::string& utf8) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, 1024);
    char ansi[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

HWND Find(const std::string& title) {
    return FindWindowA(nullptr, FromUtf8(title).c_str());
}

// "TITLE WORDS ID": the last word is the id, the rest the title.
bool SplitTitleAndId(const std::string& rest, std::string& title, int& id) {
    const size_t space = rest.find_last_of(' ');
    if (space == std::string::npos) {
        return false;
    }
    title = rest.substr(0, space);
    id = std::atoi(rest.c_str() + space + 1);
    return true;
}

void Answer(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
void Answer(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

void Handle(const std::string& verb, const std::string& rest) {
    std::string title;
    int id = 0;
    if (verb == "find") {
        HWND window = Find(rest);
        DWORD pid = 0;
        RECT client = {};
        POINT origin = {0, 0};
        if (window && GetWindowThreadProcessId(window, &pid) && GetClientRect(window, &client) &&
            ClientToScreen(window, &origin)) {
            Answer("ok %lu %ld %ld %ld %ld", static_cast<unsigned long>(pid), origin.x, origin.y,
                   client.right, client.bottom);
        } else {
            Answer("none");
        }
    } else if (verb == "post" && SplitTitleAndId(rest, title, id)) {
        HWND window = Find(title);
        const double at = Now();
        if (window && PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0)) {
            Answer("ok %.6f", at);
        } else {
            Answer("none");
        }
    } else if (verb == "send" && SplitTitleAndId(rest, title, id)) {
        HWND window = Find(title);
        const double at = Now();
        DWORD_PTR result = 0;
        if (window && SendMessageTimeoutA(window, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, 60000,
                                          &result)) {
            Answer("ok %.6f %.6f", at, Now());
        } else {
            Answer("none");
        }
    } else if (verb == "close") {
        HWND window = Find(rest);
        const double at = Now();
        if (window && PostMessageA(window, WM_CLOSE, 0, 0)) {
            Answer("ok %.6f", at);
        } else {
            Answer("none");
        }
    } else if (verb == "menu") {
        HWND menu = FindWindowA("#32768", nullptr);
        Answer("ok %d", menu && IsWindowVisible(menu) ? 1 : 0);
    } else if (verb == "sample") {
        const DWORD pid = static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10));
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        const long gdi = process ? CountGdiObjects(process) : -1;
        if (process) {
            CloseHandle(process);
        }
        Answer("ok handles=%ld gdi=%ld windows=%ld", CountHandles(pid), gdi, CountWindows(pid));
    } else {
        Answer("error");
    }
}

DWORD WINAPI ReadCommands(void* mainThread) {
    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        const size_t space = text.find(' ');
        const std::string verb = text.substr(0, space);
        if (verb == "quit") {
            break;
        }
        Handle(verb, space == std::string::npos ? std::string() : text.substr(space + 1));
    }
    PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread)), WM_QUIT, 0, 0);
    return 0;
}

} // namespace

int main() {
    // Hidden, but a window: Wine's desktop process stays while it exists. Its
    // thread keeps pumping messages so that broadcasts never wait for it.
    HWND keeper =
        CreateWindowExA(0, "STATIC", "benchagent", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0,
                 PM_NOREMOVE); // the thread's queue exists before the reader posts to it
    Answer("ready");
    HANDLE reader =
        CreateThread(nullptr, 0, ReadCommands,
                     reinterpret_cast<void*>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    while (reader && GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    if (reader) {
        CloseHandle(reader);
    }
    DestroyWindow(keeper);
    return 0;
}
