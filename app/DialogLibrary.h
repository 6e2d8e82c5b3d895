#pragma once

// The three dialogs of RADO_DU.DLL. The library is loaded by its bare name
// for each call and let go when the dialog has closed. When it cannot be
// loaded the user is told once and the result is false; a missing export is
// false without a word. The owner is the main window, the settings file the
// program's own.
namespace DialogLibrary {

bool ShowVersionInfo();
// *value holds the current rate; true when the user confirmed and *value
// holds the new one.
bool AskFrameRate(int* value);
// True when the presets in the settings file may have changed.
bool EditPresetChannels();

} // namespace DialogLibrary
