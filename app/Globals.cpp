// Construction order matters: the settings path must outlive every object
// that writes its settings while being destroyed.
#include "app/Globals.h"

#include "app/SettingsFile.h"
#include "capture/CaptureSession.h"

CaptureSession captureSession;
SettingsFile settingsFile;
