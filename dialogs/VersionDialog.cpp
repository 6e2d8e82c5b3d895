// Version information: the program, the build's version, the copyright and
// the settings file the viewer uses.
#include "dialogs/DialogExports.h"
#include "dialogs/DialogIds.h"
#include "dialogs/DialogSupport.h"
#include "res/NarvoVersion.h"

namespace {

INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetDlgItemTextA(dialog, IDC_VERSION, "バージョン " NARVO_VERSION_TEXT);
        SetDlgItemTextA(dialog, IDC_COPYRIGHT, NARVO_COPYRIGHT);
        SetDlgItemTextA(dialog, IDC_SETTINGS_PATH, reinterpret_cast<const char*>(lParam));
        DialogSupport::CenterOnOwner(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

extern "C" int WINAPI VersionInfo(HWND owner, const char* settingsPath) {
    const char* path = settingsPath ? settingsPath : "";
    return DialogBoxParamA(DialogSupport::Module(), MAKEINTRESOURCEA(IDD_VERSION_INFO), owner, VersionProc,
                           reinterpret_cast<LPARAM>(path)) == IDOK;
}
