// Construction order matters: objects are destroyed in reverse, and the
// settings path must stay usable while the later ones write their settings.
#include "app/Globals.h"

#include "app/SettingsFile.h"
#include "capture/CaptureSession.h"
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TvAudioControl.h"
#include "capture/VideoWindowControl.h"

CaptureSession captureSession;
SettingsFile settingsFile;
TvAudioControl tvAudioControl;
ProcAmpControl procAmpControl;
FormatCatalog formatCatalog;
VideoWindowControl videoWindowControl;
