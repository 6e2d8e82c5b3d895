#pragma once

#include <windows.h>

// A top-level window's placement is in workspace coordinates, relative to the
// work area of its monitor; creating a window takes screen coordinates. They
// differ by the work area's offset, a task bar at the top or the left.
namespace WorkspacePosition {

POINT ToScreen(POINT workspace, const RECT& monitor, const RECT& workArea);

// The screen position of a window's restored rectangle: where it stands when
// it is restored, else its placement's restored rectangle on its monitor.
POINT RestoredOnScreen(HWND window);

} // namespace WorkspacePosition
