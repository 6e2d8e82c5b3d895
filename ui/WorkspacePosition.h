#pragma once

#include <windows.h>

// A top-level window's placement is in workspace coordinates, relative to the
// work area of its monitor; creating a window takes screen coordinates. They
// differ by the work area's offset, a task bar at the top or the left.
namespace WorkspacePosition {

// The screen position of a placement's restored rectangle on the monitor it
// lies on; without a monitor (null) the rectangle is taken as it is.
POINT NormalOnScreen(const RECT& normal, const MONITORINFO* monitor);

// The screen position of a window's restored rectangle: where it stands when
// it is restored, else its placement's restored rectangle on its monitor.
POINT RestoredOnScreen(HWND window);

} // namespace WorkspacePosition
