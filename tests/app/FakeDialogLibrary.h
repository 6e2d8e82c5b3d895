#pragma once

// The test copy of RADO_DU.DLL: the same file name and exports, no dialogs.
// Each export records its arguments and answers what the test scripted.
// A test keeps the copy loaded (LoadLibrary) while it reads the record, since
// the code under test lets go of the library after each call.

#include <windows.h>

struct FakeDialogCall {
    char exportName[32];
    HWND owner;
    char path[MAX_PATH]; // the settings path given, "" for InputFrameRate
    int rateIn;          // the integer InputFrameRate found, -1 otherwise
};

extern "C" {
// Every later call answers `result`; InputFrameRate also writes `rateOut`
// into the caller's integer, whatever it answers. Forgets the calls so far.
typedef void(WINAPI* FakeDialogsScriptEntry)(int result, int rateOut);
// Copies up to `capacity` recorded calls; returns how many were made.
typedef int(WINAPI* FakeDialogsCallsEntry)(FakeDialogCall* calls, int capacity);
}
