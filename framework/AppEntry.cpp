#include "framework/WinApp.h"

// The program's entry point, kept out of narvo_core so test programs, which
// bring their own main, can link the rest.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    // Libraries loaded by bare name (the dialog library) come from the
    // program's folder or the system's, never from the folder it was started in.
    SetDllDirectoryA("");
    return AfxWinMain(instance, previous, commandLine, showCommand);
}
