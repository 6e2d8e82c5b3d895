// The dialog library taking a helper from the viewer's capture folder: the
// check must refuse it, and only it.
#include "dialogs/PresetSection.h"
#include "capture/DeviceName.h"
