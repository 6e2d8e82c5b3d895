#pragma once

// The section "Preset Channel" of the settings file as the preset editor
// reads and writes it: 15 presets, each a channel and a name.
namespace PresetSection {

constexpr int PresetCount = 15;
constexpr int NameSize = 129; // at most 128 bytes and the terminating zero
constexpr int LowestChannel = 1;
constexpr int HighestChannel = 62;

struct Preset {
    int channel;         // 0: undefined
    char name[NameSize]; // empty for an undefined preset
};

// Reads presets[0..14] for the numbers 1 to 15. A channel above 0 defines a
// preset (even one beyond 62, so the editor shows what the file holds); a
// name longer than 128 bytes is cut without splitting a double-byte character.
void Load(const char* path, Preset* presets);

// Writes "CH%d" and "NAME%d" for each defined preset and removes both keys of
// each undefined one; touches no other key. False when a write failed.
bool Save(const char* path, const Preset* presets);

} // namespace PresetSection
