#pragma once

#include "capture/ChannelPreset.h"
#include "capture/FilterAdapter.h"

// The card's TV tuner, set up for Japanese terrestrial reception, and the 15
// preset channels the user keeps in the settings file: tuning a preset,
// listing the defined ones in the context menu, remembering the current one.
class TunerControl : public FilterAdapter<TunerControl, IAMTVTuner> {
public:
    static constexpr int PresetCount = 15;
    static constexpr int MinChannel = 1;
    static constexpr int MaxChannel = 62;
    static constexpr long CountryJapan = 81;
    static constexpr int MenuTextSize = 128;

    static const GUID* Category() { return nullptr; }
    static REFIID InterfaceId() { return IID_IAMTVTuner; }

    TunerControl();
    // Writes the current preset at process end, if the presets were read in this run.
    ~TunerControl();

    void OnAttached();
    bool LoadPresets();
    bool SaveSelection() const;
    bool Tune(int channel);
    bool IsPresetValid(int number) const;
    bool SelectPreset(int number);
    // Reads the presets again after the preset editor; keeps the current preset and the tuned channel.
    bool ReloadPresets();
    bool FillMenu(HMENU menu, UINT anchor) const;

    int currentPreset = 1;
    ChannelPreset presets[PresetCount];

private:
    bool presetsLoaded = false;
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern TunerControl tunerControl;
