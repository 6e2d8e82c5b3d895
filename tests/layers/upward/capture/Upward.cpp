// A capture file reaching up into the window layer: the check must refuse it.
#include "capture/Upward.h"
#include "ui/ViewerWnd.h"
