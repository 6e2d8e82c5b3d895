#include "framework/WinApp.h"

namespace {

// Libraries loaded by bare name (the dialog library) come from the program's
// folder or the system's, never from the folder it was started in nor from
// PATH. The call appeared with Windows 8 (and KB2533623 on 7), so it is looked
// up; without it, taking the current folder out of the search is the best left.
void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDefaultDllDirectories =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (!setDefaultDllDirectories ||
        !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryA("");
}

} // namespace

// The program's entry point, kept out of narvo_core so test programs, which
// bring their own main, can link the rest.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    RestrictLibrarySearch();
    return AfxWinMain(instance, previous, commandLine, showCommand);
}
