// The preset editor: channel and name of the 15 presets, read from the
// settings file when it opens and written back on OK. It never writes the
// selected preset; the viewer keeps that itself.
#include "dialogs/DialogExports.h"
#include "dialogs/DialogIds.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/PresetSection.h"
#include "dialogs/WholeNumber.h"

#include <cstdio>
#include <cstring>

namespace {

using PresetSection::Preset;
using PresetSection::PresetCount;

struct EditorState {
    const char* path;
    Preset presets[PresetCount];
    // A refused save may have written part of the section.
    bool wroteSome;
};

void ShowPresets(HWND dialog, const EditorState& state) {
    for (int n = 1; n <= PresetCount; ++n) {
        const Preset& preset = state.presets[n - 1];
        SendDlgItemMessageA(dialog, IDC_CHANNEL_BASE + n, EM_LIMITTEXT, 4, 0);
        SendDlgItemMessageA(dialog, IDC_NAME_BASE + n, EM_LIMITTEXT, PresetSection::NameSize - 1, 0);
        if (preset.channel > 0) {
            SetDlgItemInt(dialog, IDC_CHANNEL_BASE + n, static_cast<UINT>(preset.channel), FALSE);
            SetDlgItemTextA(dialog, IDC_NAME_BASE + n, preset.name);
        }
    }
}

// Takes the fields into presets; false after explaining the first field refused.
bool TakePresets(HWND dialog, Preset* presets) {
    char message[256];
    for (int n = 1; n <= PresetCount; ++n) {
        Preset& preset = presets[n - 1];
        char text[32] = {};
        GetDlgItemTextA(dialog, IDC_CHANNEL_BASE + n, text, sizeof text);
        int channel = 0;
        const FieldValue value =
            ReadWholeNumber(text, PresetSection::LowestChannel, PresetSection::HighestChannel, channel);
        if (value == FieldValue::Invalid) {
            snprintf(message, sizeof message,
                     "プリセット %d のチャンネルは 1 から 62 までの数字で入力してください (空欄で未定義)。",
                     n);
            DialogSupport::Refuse(dialog, message, IDC_CHANNEL_BASE + n);
            return false;
        }
        char name[1024] = {};
        GetDlgItemTextA(dialog, IDC_NAME_BASE + n, name, sizeof name);
        if (strlen(name) >= sizeof preset.name) {
            snprintf(message, sizeof message, "プリセット %d の名前が長すぎます (128 バイトまで)。", n);
            DialogSupport::Refuse(dialog, message, IDC_NAME_BASE + n);
            return false;
        }
        preset.channel = value == FieldValue::Number ? channel : 0;
        strcpy(preset.name, preset.channel > 0 ? name : "");
    }
    return true;
}

INT_PTR CALLBACK PresetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    EditorState* state = reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ShowPresets(dialog, *reinterpret_cast<EditorState*>(lParam));
        DialogSupport::CenterOnOwner(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Preset edited[PresetCount];
            if (!TakePresets(dialog, edited)) {
                return TRUE;
            }
            state->wroteSome = true;
            if (!PresetSection::Save(state->path, edited)) {
                DialogSupport::Refuse(dialog, "設定ファイルに書き込めませんでした。", IDC_CHANNEL_BASE + 1);
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

extern "C" int WINAPI SetupPresetChannel(HWND owner, const char* settingsPath) {
    if (!settingsPath || !*settingsPath) {
        return 0;
    }
    EditorState state = {};
    state.path = settingsPath;
    PresetSection::Load(settingsPath, state.presets);
    const INT_PTR result = DialogBoxParamA(DialogSupport::Module(), MAKEINTRESOURCEA(IDD_PRESET_CHANNEL),
                                           owner, PresetProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK || (result == IDCANCEL && state.wroteSome);
}
