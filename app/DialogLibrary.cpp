#include "app/DialogLibrary.h"

#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/ShowError.h"
#include "dialogs/DialogExports.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace DialogLibrary {

namespace {

HWND Owner() {
    CWnd* main = AfxGetMainWnd();
    return main ? main->GetSafeHwnd() : nullptr;
}

template <typename Export, typename Argument> bool Call(const char* exportName, Argument argument) {
    HMODULE library = LoadLibraryA(DIALOG_LIBRARY_NAME);
    if (!library) {
        ShowError("必要なファイルが見つかりません");
        return false;
    }
    bool result = false;
    if (FARPROC address = GetProcAddress(library, exportName)) {
        const Export dialog = reinterpret_cast<Export>(reinterpret_cast<void*>(address));
        result = dialog(Owner(), argument) != 0;
    }
    FreeLibrary(library);
    return result;
}

} // namespace

bool ShowVersionInfo() {
    return Call<VersionInfoExport>("VersionInfo", settingsFile.Path());
}

bool AskFrameRate(int* value) {
    return value && Call<InputFrameRateExport>("InputFrameRate", value);
}

bool EditPresetChannels() {
    return Call<SetupPresetChannelExport>("SetupPresetChannel", settingsFile.Path());
}

} // namespace DialogLibrary
