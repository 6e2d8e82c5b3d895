#pragma once

// One of the tuner's preset channels as the settings file keeps it. A slot
// is defined when its channel is above 0.
struct ChannelPreset {
    static constexpr int NameSize = 129; // at most 128 bytes and the terminating zero

    bool IsValid() const { return channel > 0; }
    // Makes the slot undefined under the given number.
    void Reset(int presetNumber);
    // "CH %2d - %s" with the number and the name (its '&' doubled for the
    // menu), cut to size bytes on a character boundary.
    void FormatMenuText(char* text, int size) const;

    int number = 0;
    int channel = -1;
    char name[NameSize] = "";
};
