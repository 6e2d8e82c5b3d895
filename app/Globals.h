#pragma once

// The process-wide objects, constructed in a fixed order in Globals.cpp and
// destroyed in reverse after the entry point returns.
class CaptureSession;
class ViewerApp;
class CrossbarControl;
class SettingsFile;
class TvAudioControl;
class TunerControl;
class ProcAmpControl;
class FormatCatalog;
class VideoWindowControl;

extern CaptureSession captureSession;
extern ViewerApp theApp;
extern CrossbarControl crossbarControl;
extern SettingsFile settingsFile;
extern TvAudioControl tvAudioControl;
extern TunerControl tunerControl;
extern ProcAmpControl procAmpControl;
extern FormatCatalog formatCatalog;
extern VideoWindowControl videoWindowControl;
