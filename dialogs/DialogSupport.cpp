#include "dialogs/DialogSupport.h"

#include "dialogs/DialogIds.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace DialogSupport {

HINSTANCE Module() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

void CenterOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT around = {};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    if (!owner || !GetWindowRect(owner, &around)) {
        around = monitor.rcWork;
    }
    RECT own = {};
    GetWindowRect(dialog, &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG left = around.left + ((around.right - around.left) - width) / 2;
    LONG top = around.top + ((around.bottom - around.top) - height) / 2;
    // Whole on the screen even when the owner is near an edge.
    const RECT& work = monitor.rcWork;
    left = left + width > work.right ? work.right - width : left;
    top = top + height > work.bottom ? work.bottom - height : top;
    left = left < work.left ? work.left : left;
    top = top < work.top ? work.top : top;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Refuse(HWND dialog, const char* text, int focus) {
    SetDlgItemTextA(dialog, IDC_MESSAGE, text);
    MessageBeep(MB_ICONWARNING);
    HWND control = GetDlgItem(dialog, focus);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageA(control, EM_SETSEL, 0, -1);
}

INT_PTR CloseCommand(HWND dialog, UINT message, WPARAM wParam, bool (*accept)(HWND dialog),
                     INT_PTR cancelResult) {
    if (message != WM_COMMAND) {
        return FALSE;
    }
    if (LOWORD(wParam) == IDOK) {
        if (!accept || accept(dialog)) {
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, cancelResult);
        return TRUE;
    }
    return FALSE;
}

} // namespace DialogSupport
