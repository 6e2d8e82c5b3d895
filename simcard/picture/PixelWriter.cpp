#include "simcard/picture/PixelWriter.h"

#include <cstdint>
#include <cstring>

namespace {

void WriteRow(const Colour* source, int width, PixelLayout layout, BYTE* target) {
    switch (layout) {
    case PixelLayout::Rgb32:
        std::memcpy(target, source, static_cast<size_t>(width) * 4);
        break;
    case PixelLayout::Rgb24:
        for (int x = 0; x < width; ++x) {
            target[3 * x] = static_cast<BYTE>(BlueOf(source[x]));
            target[3 * x + 1] = static_cast<BYTE>(GreenOf(source[x]));
            target[3 * x + 2] = static_cast<BYTE>(RedOf(source[x]));
        }
        break;
    case PixelLayout::Rgb565:
        for (int x = 0; x < width; ++x) {
            const Colour c = source[x];
            const std::uint16_t value = static_cast<std::uint16_t>(
                ((RedOf(c) >> 3) << 11) | ((GreenOf(c) >> 2) << 5) | (BlueOf(c) >> 3));
            std::memcpy(target + 2 * x, &value, 2);
        }
        break;
    case PixelLayout::Rgb555:
        for (int x = 0; x < width; ++x) {
            const Colour c = source[x];
            const std::uint16_t value = static_cast<std::uint16_t>(
                ((RedOf(c) >> 3) << 10) | ((GreenOf(c) >> 3) << 5) | (BlueOf(c) >> 3));
            std::memcpy(target + 2 * x, &value, 2);
        }
        break;
    case PixelLayout::Yuy2:
        for (int x = 0; x + 1 < width; x += 2) {
            const Colour a = source[x];
            const Colour b = source[x + 1];
            auto luma = [](Colour c) {
                return static_cast<BYTE>(((66 * RedOf(c) + 129 * GreenOf(c) + 25 * BlueOf(c) + 128) >> 8) +
                                         16);
            };
            const int r = (RedOf(a) + RedOf(b)) / 2;
            const int g = (GreenOf(a) + GreenOf(b)) / 2;
            const int bl = (BlueOf(a) + BlueOf(b)) / 2;
            target[2 * x] = luma(a);
            target[2 * x + 1] = static_cast<BYTE>(((-38 * r - 74 * g + 112 * bl + 128) >> 8) + 128);
            target[2 * x + 2] = luma(b);
            target[2 * x + 3] = static_cast<BYTE>(((112 * r - 94 * g - 18 * bl + 128) >> 8) + 128);
        }
        break;
    }
}

} // namespace

namespace PixelWriter {

void Write(const Canvas& canvas, const FrameGeometry& geometry, BYTE* frame) {
    for (int y = 0; y < geometry.height; ++y) {
        const int targetRow = geometry.bottomUp ? geometry.height - 1 - y : y;
        WriteRow(canvas.Row(y), geometry.width, geometry.layout,
                 frame + static_cast<size_t>(targetRow) * geometry.stride);
    }
}

} // namespace PixelWriter
