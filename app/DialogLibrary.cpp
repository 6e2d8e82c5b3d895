#include "app/DialogLibrary.h"

#include "app/SettingsFile.h"
#include "app/ShowError.h"
#include "dialogs/DialogExports.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <memory>
#include <type_traits>

namespace DialogLibrary {

namespace {

HWND Owner() {
    CWnd* main = AfxGetMainWnd();
    return main ? main->GetSafeHwnd() : nullptr;
}

template <typename Export, typename Argument> bool Call(const char* exportName, Argument argument) {
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> library(
        LoadLibraryA(DIALOG_LIBRARY_NAME), &FreeLibrary);
    if (!library) {
        ShowError("必要なファイルが見つかりません");
        return false;
    }
    bool result = false;
    if (FARPROC address = GetProcAddress(library.get(), exportName)) {
        const Export dialog = reinterpret_cast<Export>(reinterpret_cast<void*>(address));
        result = dialog(Owner(), argument) != 0;
    }
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
