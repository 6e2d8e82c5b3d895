#include "dialogs/PresetSection.h"

#include "common/DeviceName.h"

#include <windows.h>

#include <cstdio>

namespace PresetSection {

namespace {

constexpr char Section[] = "Preset Channel";

struct Keys {
    char channel[16];
    char name[16];
    explicit Keys(int number) {
        snprintf(channel, sizeof channel, "CH%d", number);
        snprintf(name, sizeof name, "NAME%d", number);
    }
};

} // namespace

void Load(const char* path, StoredPreset* presets) {
    for (int i = 0; i < PresetCount; ++i) {
        const Keys keys(i + 1);
        StoredPreset& preset = presets[i];
        // Read with room to spare, then cut on a character boundary: the
        // profile read cuts at a byte count.
        char text[NameTextSize * 2] = {};
        GetPrivateProfileStringA(Section, keys.channel, "", text, sizeof text, path);
        DeviceName::CopyBounded(preset.channel, ChannelTextSize, text);
        GetPrivateProfileStringA(Section, keys.name, "", text, sizeof text, path);
        DeviceName::CopyBounded(preset.name, NameTextSize, text);
    }
}

bool Save(const char* path, const Preset* presets, const bool* changed) {
    // Removing a key that is not there may count as a failure: only writes are judged.
    bool written = true;
    for (int i = 0; i < PresetCount; ++i) {
        if (!changed[i]) {
            continue;
        }
        const Keys keys(i + 1);
        const Preset& preset = presets[i];
        if (preset.channel > 0) {
            char channel[16];
            snprintf(channel, sizeof channel, "%d", preset.channel);
            written &= WritePrivateProfileStringA(Section, keys.channel, channel, path) != 0;
            written &= WritePrivateProfileStringA(Section, keys.name, preset.name, path) != 0;
        } else {
            WritePrivateProfileStringA(Section, keys.channel, nullptr, path);
            WritePrivateProfileStringA(Section, keys.name, nullptr, path);
        }
    }
    return written;
}

} // namespace PresetSection
