// Version information: the program, the build's version, the copyright and
// the settings file the viewer uses.
#include "dialogs/DialogExports.h"
#include "dialogs/DialogIds.h"
#include "dialogs/DialogSupport.h"
#include "res/NarvoVersion.h"

namespace {

INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetDlgItemTextA(dialog, IDC_VERSION, "バージョン " NARVO_VERSION_TEXT);
        SetDlgItemTextA(dialog, IDC_COPYRIGHT, NARVO_COPYRIGHT);
        SetDlgItemTextA(dialog, IDC_SETTINGS_PATH, reinterpret_cast<const char*>(lParam));
        DialogSupport::CenterOnOwner(dialog);
        // On OK rather than on the path, which would show selected.
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    // Nothing to cancel: either button closes it as OK.
    return DialogSupport::CloseCommand(dialog, message, wParam, nullptr, IDOK);
}

} // namespace

extern "C" int WINAPI VersionInfo(HWND owner, const char* settingsPath) {
    const char* path = settingsPath ? settingsPath : "";
    return DialogBoxParamA(DialogSupport::Module(), MAKEINTRESOURCEA(IDD_VERSION_INFO), owner, VersionProc,
                           reinterpret_cast<LPARAM>(path)) == IDOK;
}
