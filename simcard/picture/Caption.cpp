#include "simcard/picture/Caption.h"

#include "simcard/picture/BitmapFont.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr Colour Black = MakeColour(0, 0, 0);
constexpr Colour White = MakeColour(255, 255, 255);

Colour InputColour(long route) {
    switch (route) {
    case InputTunerVideo:
        return MakeColour(255, 0, 0);
    case InputComposite:
        return MakeColour(0, 255, 0);
    case InputSVideo:
        return MakeColour(0, 0, 255);
    default:
        return Black;
    }
}

Colour AudioColour(long route) {
    switch (route) {
    case InputTunerAudio:
        return White;
    case InputLineAudio:
        return MakeColour(255, 255, 0);
    default:
        return Black;
    }
}

const char* InputWord(long route) {
    switch (route) {
    case InputTunerVideo:
        return "TV";
    case InputComposite:
        return "VIDEO";
    case InputSVideo:
        return "SVIDEO";
    default:
        return "NONE";
    }
}

const char* AudioWord(long route) {
    switch (route) {
    case InputTunerAudio:
        return "AUDIO";
    case InputLineAudio:
        return "LINE";
    default:
        return "MUTE";
    }
}

} // namespace

namespace Caption {

void Text(const CardSettings& settings, char* buffer, size_t size) {
    std::snprintf(buffer, size, "%s CH%ld %s", InputWord(settings.videoRoute), settings.channel,
                  AudioWord(settings.audioRoute));
}

void Draw(Canvas& canvas, const CardSettings& settings) {
    char text[48];
    Text(settings, text, sizeof text);
    const int textWidth = BitmapFont::TextWidth(text, TextScale);
    // A black panel from (4, 4) with a margin of 4 pixels around blocks and text.
    const int right = std::max(BlocksLeft + BlockCount * BlockPitch, BlocksLeft + textWidth) + 4;
    const int bottom = TextTop + 7 * TextScale + 4;
    canvas.Fill(4, 4, right - 4, bottom - 4, Black);

    Colour blocks[BlockCount];
    blocks[0] = InputColour(settings.videoRoute);
    blocks[1] = AudioColour(settings.audioRoute);
    for (int bit = 0; bit < 6; ++bit) {
        blocks[2 + bit] = (settings.channel >> (5 - bit)) & 1 ? White : Black;
    }
    for (int i = 0; i < BlockCount; ++i) {
        canvas.Fill(BlocksLeft + i * BlockPitch, BlocksTop, BlockSize, BlockSize, blocks[i]);
    }
    BitmapFont::Draw(canvas, BlocksLeft, TextTop, text, TextScale, White);
}

} // namespace Caption
