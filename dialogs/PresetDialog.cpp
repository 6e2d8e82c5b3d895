// The preset editor: channel and name of the 15 presets, read from the
// settings file when it opens; on OK only the presets the user changed are
// written back. It never writes the selected preset; the viewer keeps that itself.
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
using PresetSection::StoredPreset;

struct EditorState {
    const char* path;
    // Each row's fields as they were shown: a row that still reads so is
    // left alone, so OK never rewrites what the user did not touch.
    StoredPreset shown[PresetCount];
    // A refused save may have written part of the section.
    bool wroteSome;
};

void ReadRow(HWND dialog, int n, StoredPreset& row) {
    GetDlgItemTextA(dialog, IDC_CHANNEL_BASE + n, row.channel, sizeof row.channel);
    GetDlgItemTextA(dialog, IDC_NAME_BASE + n, row.name, sizeof row.name);
}

// False for a row the editor could not write back as the file holds it.
bool Keepable(const StoredPreset& row) {
    int channel = 0;
    const FieldValue value =
        ReadWholeNumber(row.channel, PresetSection::LowestChannel, PresetSection::HighestChannel, channel);
    return value != FieldValue::Invalid && strlen(row.name) < PresetSection::NameSize;
}

// Shows the rows as the file holds them, even values the fields would not
// take, and says which rows those are.
void ShowPresets(HWND dialog, EditorState& state) {
    char odd[80] = "";
    for (int n = 1; n <= PresetCount; ++n) {
        StoredPreset& row = state.shown[n - 1];
        SendDlgItemMessageA(dialog, IDC_CHANNEL_BASE + n, EM_LIMITTEXT, 4, 0);
        SendDlgItemMessageA(dialog, IDC_NAME_BASE + n, EM_LIMITTEXT, PresetSection::NameSize - 1, 0);
        SetDlgItemTextA(dialog, IDC_CHANNEL_BASE + n, row.channel);
        SetDlgItemTextA(dialog, IDC_NAME_BASE + n, row.name);
        // Compared later with what the fields hold, so read back as they will be read then.
        ReadRow(dialog, n, row);
        if (!Keepable(row)) {
            const size_t used = strlen(odd);
            snprintf(odd + used, sizeof odd - used, used ? ", %d" : "%d", n);
        }
    }
    if (odd[0]) {
        char note[256];
        snprintf(
            note, sizeof note,
            "プリセット %s "
            "はチャンネルか名前がこの画面で扱える範囲を超えています。行を編集しない限りそのまま残します。",
            odd);
        SetDlgItemTextA(dialog, IDC_MESSAGE, note);
    }
}

// Takes the rows the user changed into presets and marks them in `changed`;
// false after explaining the first field refused.
bool TakePresets(HWND dialog, const EditorState& state, Preset* presets, bool* changed) {
    char message[256];
    for (int n = 1; n <= PresetCount; ++n) {
        Preset& preset = presets[n - 1];
        StoredPreset row = {};
        ReadRow(dialog, n, row);
        const StoredPreset& shown = state.shown[n - 1];
        changed[n - 1] = strcmp(row.channel, shown.channel) != 0 || strcmp(row.name, shown.name) != 0;
        if (!changed[n - 1]) {
            continue;
        }
        int channel = 0;
        const FieldValue value = ReadWholeNumber(row.channel, PresetSection::LowestChannel,
                                                 PresetSection::HighestChannel, channel);
        if (value == FieldValue::Invalid) {
            snprintf(message, sizeof message,
                     "プリセット %d のチャンネルは 1 から 62 までの数字で入力してください (空欄で未定義)。",
                     n);
            DialogSupport::Refuse(dialog, message, IDC_CHANNEL_BASE + n);
            return false;
        }
        if (strlen(row.name) >= sizeof preset.name) {
            snprintf(message, sizeof message, "プリセット %d の名前が長すぎます (128 バイトまで)。", n);
            DialogSupport::Refuse(dialog, message, IDC_NAME_BASE + n);
            return false;
        }
        preset.channel = value == FieldValue::Number ? channel : 0;
        strcpy(preset.name, preset.channel > 0 ? row.name : "");
    }
    return true;
}

// Writes the changed presets; false, with the reason shown, to keep the editor open.
bool SavePresets(HWND dialog) {
    EditorState* state = reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    Preset edited[PresetCount] = {};
    bool changed[PresetCount] = {};
    if (!TakePresets(dialog, *state, edited, changed)) {
        return false;
    }
    state->wroteSome = true;
    if (!PresetSection::Save(state->path, edited, changed)) {
        DialogSupport::Refuse(dialog, "設定ファイルに書き込めませんでした。", IDC_CHANNEL_BASE + 1);
        return false;
    }
    return true;
}

INT_PTR CALLBACK PresetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ShowPresets(dialog, *reinterpret_cast<EditorState*>(lParam));
        DialogSupport::CenterOnOwner(dialog);
        return TRUE;
    }
    return DialogSupport::CloseCommand(dialog, message, wParam, SavePresets);
}

} // namespace

extern "C" int WINAPI SetupPresetChannel(HWND owner, const char* settingsPath) {
    if (!settingsPath || !*settingsPath) {
        return 0;
    }
    EditorState state = {};
    state.path = settingsPath;
    PresetSection::Load(settingsPath, state.shown);
    const INT_PTR result = DialogBoxParamA(DialogSupport::Module(), MAKEINTRESOURCEA(IDD_PRESET_CHANNEL),
                                           owner, PresetProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK || (result == IDCANCEL && state.wroteSome);
}
