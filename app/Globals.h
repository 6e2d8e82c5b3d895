#pragma once

// The process-wide objects, constructed in a fixed order in Globals.cpp and
// destroyed in reverse after the entry point returns.
class CaptureSession;
class SettingsFile;

extern CaptureSession captureSession;
extern SettingsFile settingsFile;
