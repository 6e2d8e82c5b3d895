#include "capture/TunerControl.h"

#include "app/SettingsFile.h"
#include "common/DeviceName.h"

#include <cstdio>

namespace {

const char PresetChannel[] = "Preset Channel";
const char TvTuner[] = "TVTuner";
const char SelectChannel[] = "SelectChannel";

} // namespace

TunerControl::TunerControl() {
    for (int k = 0; k < PresetCount; ++k) {
        presets[k].Reset(k + 1);
    }
}

TunerControl::~TunerControl() {
    // A run that never read the presets leaves the stored choice alone.
    if (presetsLoaded) {
        SaveSelection();
    }
}

void TunerControl::OnAttached() {
    LoadPresets();
    // A tuner that refuses part of the set-up is still tuned.
    iface->put_CountryCode(CountryJapan);
    iface->put_TuningSpace(0);
    iface->put_Mode(AMTUNER_MODE_TV);
    iface->put_ConnectInput(0);
    iface->put_InputType(0, TunerInputAntenna);
    SelectPreset(currentPreset);
}

bool TunerControl::LoadPresets() {
    for (int n = 1; n <= PresetCount; ++n) {
        ChannelPreset& slot = presets[n - 1];
        slot.Reset(n);
        char key[16];
        snprintf(key, sizeof key, "CH%d", n);
        const int channel = settingsFile.ReadInt(PresetChannel, key, -1);
        // Read with room to spare, then cut on a character boundary: the
        // profile read cuts at a byte count and may split a double-byte character.
        char name[ChannelPreset::NameSize * 2] = "";
        snprintf(key, sizeof key, "NAME%d", n);
        settingsFile.ReadString(PresetChannel, key, "", name, sizeof name);
        if (channel > 0) {
            slot.channel = channel;
            DeviceName::CopyBounded(slot.name, ChannelPreset::NameSize, name);
        }
    }
    currentPreset = settingsFile.ReadInt(TvTuner, SelectChannel, currentPreset);
    presetsLoaded = true;
    return true;
}

bool TunerControl::SaveSelection() const {
    settingsFile.WriteInt(TvTuner, SelectChannel, currentPreset);
    return true;
}

bool TunerControl::Tune(int channel) {
    if (channel < MinChannel || channel > MaxChannel || !iface) {
        return false;
    }
    return iface->put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT) == S_OK;
}

bool TunerControl::IsPresetValid(int number) const {
    return number >= 1 && number <= PresetCount && presets[number - 1].IsValid();
}

bool TunerControl::SelectPreset(int number) {
    if (!IsPresetValid(number)) {
        return false;
    }
    if (!Tune(presets[number - 1].channel)) {
        return false;
    }
    currentPreset = number;
    return true;
}

bool TunerControl::ReloadPresets() {
    // The first read of a run (no tuner at start) takes the stored choice, so
    // the exit write gives back what was there; later reads keep the one in memory.
    const bool keepCurrent = presetsLoaded;
    const int remembered = currentPreset;
    LoadPresets();
    if (keepCurrent) {
        currentPreset = remembered;
    }
    return true;
}

bool TunerControl::FillMenu(HMENU menu, UINT anchor) const {
    for (int k = 0; k < PresetCount; ++k) {
        const ChannelPreset& slot = presets[k];
        if (!slot.IsValid()) {
            continue;
        }
        char text[MenuTextSize];
        slot.FormatMenuText(text, MenuTextSize);
        UINT flags = MF_BYCOMMAND | MF_STRING;
        if (slot.number == currentPreset) {
            flags |= MF_CHECKED;
        }
        // Each goes in just before the placeholder, so the presets keep their order.
        InsertMenuA(menu, anchor, flags, anchor + k + 1, text);
    }
    DeleteMenu(menu, anchor, MF_BYCOMMAND);
    return true;
}
