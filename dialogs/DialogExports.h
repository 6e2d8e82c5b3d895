#pragma once

#include <windows.h>

// The three exports of RADO_DU.DLL, as the viewer calls them. Each takes the
// owner window and one more argument and answers nonzero for "done".
// VersionInfo(owner, settingsPath): shows the program's version;
// InputFrameRate(owner, rate): asks for a whole frame rate of 1 to 30, written
//   into *rate only when confirmed;
// SetupPresetChannel(owner, settingsPath): edits the "Preset Channel" section
//   of the settings file; nonzero when it may have changed.
// Each removes its two arguments itself (WINAPI), as callers of the 32-bit
// library expect; the definitions take the convention from here.
extern "C" {
int WINAPI VersionInfo(HWND owner, const char* settingsPath);
int WINAPI InputFrameRate(HWND owner, int* rate);
int WINAPI SetupPresetChannel(HWND owner, const char* settingsPath);
}

// The viewer loads the library and calls through these, so its calls and the
// definitions cannot differ in convention.
using VersionInfoExport = decltype(&VersionInfo);
using InputFrameRateExport = decltype(&InputFrameRate);
using SetupPresetChannelExport = decltype(&SetupPresetChannel);

#define DIALOG_LIBRARY_NAME "RADO_DU.DLL"
