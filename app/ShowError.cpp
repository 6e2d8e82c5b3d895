#include "app/ShowError.h"

#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <windows.h>

void ShowError(const char* text) {
    HWND owner = AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr;
    if (!owner) {
        owner = GetActiveWindow();
    }
    MessageBoxA(owner, text, AfxGetAppName(), MB_OK | MB_ICONERROR);
}
