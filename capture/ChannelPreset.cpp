#include "capture/ChannelPreset.h"

#include "common/DeviceName.h"

#include <cstdio>

void ChannelPreset::Reset(int presetNumber) {
    number = presetNumber;
    channel = -1;
    DeviceName::CopyBounded(name, NameSize, "未定義チャンネル");
}

void ChannelPreset::FormatMenuText(char* text, int size) const {
    if (size <= 0) {
        return;
    }
    const int prefix = snprintf(text, size, "CH %2d - ", number);
    if (prefix < 0 || prefix >= size) {
        return;
    }
    // snprintf would cut a long name in the middle of a double-byte character.
    DeviceName::CopyBounded(text + prefix, size - prefix, name);
}
