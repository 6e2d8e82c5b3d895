#include "ui/WorkspacePosition.h"

namespace WorkspacePosition {

POINT ToScreen(POINT workspace, const RECT& monitor, const RECT& workArea) {
    return {workspace.x + (workArea.left - monitor.left), workspace.y + (workArea.top - monitor.top)};
}

POINT RestoredOnScreen(HWND window) {
    // A restored window's own rectangle needs no conversion, on any platform.
    RECT outer = {};
    if (!IsIconic(window) && !IsZoomed(window) && GetWindowRect(window, &outer)) {
        return {outer.left, outer.top};
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    const RECT& normal = placement.rcNormalPosition;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&normal, MONITOR_DEFAULTTOPRIMARY), &info)) {
        return {normal.left, normal.top};
    }
    return ToScreen({normal.left, normal.top}, info.rcMonitor, info.rcWork);
}

} // namespace WorkspacePosition
