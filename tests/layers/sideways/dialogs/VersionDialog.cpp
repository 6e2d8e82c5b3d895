// What the dialog library may include: its own files, common/ and the version.
#include "dialogs/PresetSection.h"
#include "common/DeviceName.h"
#include "res/NarvoVersion.h"
