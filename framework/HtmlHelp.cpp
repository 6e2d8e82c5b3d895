#include "framework/HtmlHelp.h"

#include <cstring>

namespace {

using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpEntry LoadEntry() {
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    constexpr char Library[] = "\\hhctrl.ocx";
    if (length == 0 || length + sizeof Library > MAX_PATH) {
        return nullptr;
    }
    memcpy(path + length, Library, sizeof Library);
    // Stays loaded for the rest of the process: the help window it opens
    // lives on after the call returns.
    HMODULE library = LoadLibraryA(path);
    if (!library) {
        return nullptr;
    }
    return reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
}

} // namespace

HWND AfxHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
    static const HtmlHelpEntry entry = LoadEntry();
    return entry ? entry(caller, file, command, data) : nullptr;
}
