#pragma once

#include "simcard/picture/Canvas.h"

#include <cstdint>

// The backgrounds the card shows, drawn once per change into a canvas.
namespace Scenes {

// Channels on which the tuner receives a station; the others show snow.
bool HasStation(long channel);

void Station(Canvas& canvas, long channel);
void ColourBars(Canvas& canvas);
void TestCard(Canvas& canvas);
void Black(Canvas& canvas);

} // namespace Scenes

// Grey noise for an empty channel: a xorshift generator, one draw per four
// pixels, through a brightness table, in blocks of blockSize pixels.
class SnowGenerator {
public:
    void Draw(Canvas& canvas, const std::uint8_t (&levels)[256], int blockSize);

private:
    std::uint32_t state = 0x2545F491u;
    std::uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};
