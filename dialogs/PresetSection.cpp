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

void Load(const char* path, Preset* presets) {
    for (int i = 0; i < PresetCount; ++i) {
        const Keys keys(i + 1);
        Preset& preset = presets[i];
        preset.channel = 0;
        preset.name[0] = '\0';
        // Read as the viewer reads it, so both agree on which presets exist.
        const int channel = static_cast<int>(GetPrivateProfileIntA(Section, keys.channel, -1, path));
        if (channel <= 0) {
            continue;
        }
        preset.channel = channel;
        char name[1024] = {};
        GetPrivateProfileStringA(Section, keys.name, "", name, sizeof name, path);
        DeviceName::CopyBounded(preset.name, NameSize, name);
    }
}

bool Save(const char* path, const Preset* presets) {
    // Removing a key that is not there may count as a failure: only writes are judged.
    bool written = true;
    for (int i = 0; i < PresetCount; ++i) {
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
