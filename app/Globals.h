#pragma once

// The process-wide objects, constructed in a fixed order in Globals.cpp and
// destroyed in reverse after the entry point returns.
class CaptureSession;
class ViewerApp;
class SettingsFile;
class TvAudioControl;
class ProcAmpControl;
class FormatCatalog;
class VideoWindowControl;

extern CaptureSession captureSession;
extern ViewerApp theApp;
extern SettingsFile settingsFile;
extern TvAudioControl tvAudioControl;
extern ProcAmpControl procAmpControl;
extern FormatCatalog formatCatalog;
extern VideoWindowControl videoWindowControl;
