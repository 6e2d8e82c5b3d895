#pragma once

#include <windows.h>

// The three exports of RADO_DU.DLL, as the viewer calls them. Each takes the
// owner window and one more argument and answers nonzero for "done".
// VersionInfo(owner, settingsPath): shows the program's version;
// InputFrameRate(owner, rate): asks for a whole frame rate of 1 to 30, written
//   into *rate only when confirmed;
// SetupPresetChannel(owner, settingsPath): edits the "Preset Channel" section
//   of the settings file; nonzero when it may have changed.
extern "C" {
typedef int(WINAPI* VersionInfoExport)(HWND owner, const char* settingsPath);
typedef int(WINAPI* InputFrameRateExport)(HWND owner, int* rate);
typedef int(WINAPI* SetupPresetChannelExport)(HWND owner, const char* settingsPath);
}

#define DIALOG_LIBRARY_NAME "RADO_DU.DLL"
