// The order of these definitions is the order of construction; destruction
// runs in reverse after the entry point returns. The settings path has no
// clean-up, so it stays usable for the objects that write their settings
// while they are destroyed, before and after it.
#include "app/Globals.h"

#include "app/SettingsFile.h"
#include "app/ViewerApp.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TunerControl.h"
#include "capture/TvAudioControl.h"
#include "capture/VideoWindowControl.h"

CaptureSession captureSession;
ViewerApp theApp;
CrossbarControl crossbarControl;
SettingsFile settingsFile;
TvAudioControl tvAudioControl;
TunerControl tunerControl;
ProcAmpControl procAmpControl;
FormatCatalog formatCatalog;
VideoWindowControl videoWindowControl;
