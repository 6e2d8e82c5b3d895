#include "ui/WorkspacePosition.h"

namespace WorkspacePosition {

POINT NormalOnScreen(const RECT& normal, const MONITORINFO* monitor) {
    if (!monitor) {
        return {normal.left, normal.top};
    }
    const RECT& screen = monitor->rcMonitor;
    const RECT& work = monitor->rcWork;
    return {normal.left + (work.left - screen.left), normal.top + (work.top - screen.top)};
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
    const bool found = GetMonitorInfoA(MonitorFromRect(&normal, MONITOR_DEFAULTTOPRIMARY), &info);
    return NormalOnScreen(normal, found ? &info : nullptr);
}

} // namespace WorkspacePosition
