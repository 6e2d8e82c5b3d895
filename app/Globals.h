#pragma once

// The process-wide objects, constructed in a fixed order in Globals.cpp and
// destroyed in reverse after the entry point returns. Each is declared beside
// its class, so a lower layer sees the ones of its own layer and below.
#include "app/SettingsFile.h"
#include "app/ViewerApp.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TunerControl.h"
#include "capture/TvAudioControl.h"
#include "capture/VideoWindowControl.h"
