#include "simcard/picture/Scenes.h"

#include "simcard/picture/BitmapFont.h"

#include <algorithm>
#include <cstdio>

namespace {

const long stationChannels[] = {1, 3, 4, 6, 8, 10, 12, 16, 20, 24, 28, 32, 40, 48, 56, 62};

// One base colour per station, in station order.
const Colour stationColours[] = {
    MakeColour(200, 40, 40),  MakeColour(40, 120, 200), MakeColour(40, 160, 60),  MakeColour(200, 120, 20),
    MakeColour(130, 50, 180), MakeColour(20, 150, 150), MakeColour(180, 160, 30), MakeColour(200, 60, 130),
    MakeColour(70, 90, 160),  MakeColour(120, 150, 40), MakeColour(160, 80, 60),  MakeColour(60, 160, 120),
    MakeColour(150, 60, 100), MakeColour(90, 110, 60),  MakeColour(60, 60, 200),  MakeColour(190, 90, 90),
};

int StationIndex(long channel) {
    for (size_t i = 0; i < sizeof stationChannels / sizeof stationChannels[0]; ++i) {
        if (stationChannels[i] == channel) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Colour Shade(Colour base, int percent) {
    return MakeColour(RedOf(base) * percent / 100, GreenOf(base) * percent / 100,
                      BlueOf(base) * percent / 100);
}

} // namespace

namespace Scenes {

bool HasStation(long channel) {
    return StationIndex(channel) >= 0;
}

void Station(Canvas& canvas, long channel) {
    const int index = std::max(StationIndex(channel), 0);
    const Colour base = stationColours[index];
    const int width = canvas.Width();
    const int height = canvas.Height();
    for (int y = 0; y < height; ++y) {
        canvas.Fill(0, y, width, 1, Shade(base, 40 + 60 * y / std::max(height - 1, 1)));
    }
    // A band across the middle and the channel number drawn large on it.
    canvas.Fill(0, height / 5, width, height * 3 / 5, Shade(base, 25));
    char number[8];
    std::snprintf(number, sizeof number, "%ld", channel);
    const int scale = std::max(1, height / 14);
    const int textWidth = BitmapFont::TextWidth(number, scale) - scale;
    const int x = (width - textWidth) / 2;
    const int y = (height - 7 * scale) / 2;
    const int outline = std::max(1, scale / 6);
    BitmapFont::Draw(canvas, x + outline, y + outline, number, scale, MakeColour(0, 0, 0));
    BitmapFont::Draw(canvas, x, y, number, scale, MakeColour(255, 255, 255));
}

void ColourBars(Canvas& canvas) {
    static const Colour bars[] = {
        MakeColour(191, 191, 191), MakeColour(191, 191, 0), MakeColour(0, 191, 191), MakeColour(0, 191, 0),
        MakeColour(191, 0, 191),   MakeColour(191, 0, 0),   MakeColour(0, 0, 191),
    };
    const int width = canvas.Width();
    const int height = canvas.Height();
    const int barsHeight = height * 3 / 4;
    for (int i = 0; i < 7; ++i) {
        const int left = width * i / 7;
        const int right = width * (i + 1) / 7;
        canvas.Fill(left, 0, right - left, barsHeight, bars[i]);
    }
    for (int x = 0; x < width; ++x) {
        const int level = 255 * x / std::max(width - 1, 1);
        canvas.Fill(x, barsHeight, 1, height - barsHeight, MakeColour(level, level, level));
    }
}

void TestCard(Canvas& canvas) {
    const int width = canvas.Width();
    const int height = canvas.Height();
    const int cell = std::max(8, height / 12);
    canvas.Fill(0, 0, width, height, MakeColour(96, 96, 96));
    for (int x = 0; x < width; x += cell) {
        canvas.Fill(x, 0, 1, height, MakeColour(255, 255, 255));
    }
    for (int y = 0; y < height; y += cell) {
        canvas.Fill(0, y, width, 1, MakeColour(255, 255, 255));
    }
    // A circle in the middle, split into a black and a white half.
    const int cx = width / 2;
    const int cy = height / 2;
    const int radius = height * 2 / 5;
    for (int y = cy - radius; y <= cy + radius; ++y) {
        if (y < 0 || y >= height) {
            continue;
        }
        Colour* row = canvas.Row(y);
        for (int x = std::max(cx - radius, 0); x <= std::min(cx + radius, width - 1); ++x) {
            const int dx = x - cx;
            const int dy = y - cy;
            if (dx * dx + dy * dy <= radius * radius) {
                row[x] = y < cy ? MakeColour(230, 230, 230) : MakeColour(30, 30, 30);
            }
        }
    }
}

void Black(Canvas& canvas) {
    canvas.Fill(0, 0, canvas.Width(), canvas.Height(), 0);
}

} // namespace Scenes

void SnowGenerator::Draw(Canvas& canvas, const std::uint8_t (&levels)[256], int blockSize) {
    const int width = canvas.Width();
    const int height = canvas.Height();
    if (blockSize <= 1) {
        for (int y = 0; y < height; ++y) {
            Colour* row = canvas.Row(y);
            int x = 0;
            for (; x + 4 <= width; x += 4) {
                const std::uint32_t bits = Next();
                for (int i = 0; i < 4; ++i) {
                    row[x + i] = levels[(bits >> (8 * i)) & 0xFF] * 0x010101u;
                }
            }
            for (; x < width; ++x) {
                row[x] = levels[Next() & 0xFF] * 0x010101u;
            }
        }
        return;
    }
    for (int y = 0; y < height; y += blockSize) {
        Colour* row = canvas.Row(y);
        for (int x = 0; x < width; x += blockSize) {
            const Colour grey = levels[Next() & 0xFF] * 0x010101u;
            std::fill(row + x, row + std::min(x + blockSize, width), grey);
        }
        for (int copy = y + 1; copy < std::min(y + blockSize, height); ++copy) {
            std::copy(row, row + width, canvas.Row(copy));
        }
    }
}
