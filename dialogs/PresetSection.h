#pragma once

// The section "Preset Channel" of the settings file as the preset editor
// reads and writes it: 15 presets, each a channel and a name.
namespace PresetSection {

constexpr int PresetCount = 15;
constexpr int NameSize = 129; // at most 128 bytes and the terminating zero
constexpr int LowestChannel = 1;
constexpr int HighestChannel = 62;
// Room to show what the file holds, more than a preset may keep.
constexpr int ChannelTextSize = 32;
constexpr int NameTextSize = 1024;

// A preset's two keys as text, exactly as the file holds them (empty when
// missing), so that the editor can show even what the viewer would not take.
struct StoredPreset {
    char channel[ChannelTextSize];
    char name[NameTextSize];
};

// A preset as the user gave it.
struct Preset {
    int channel;         // 0: undefined
    char name[NameSize]; // empty for an undefined preset
};

// Reads presets[0..14] for the numbers 1 to 15; a value too long for its
// field is cut without splitting a double-byte character.
void Load(const char* path, StoredPreset* presets);

// For each preset marked in `changed`: writes "CH%d" and "NAME%d" when it is
// defined and removes both keys when it is not. Touches no other key, so
// presets the user left alone stay as the file holds them. False when a
// write failed.
bool Save(const char* path, const Preset* presets, const bool* changed);

} // namespace PresetSection
