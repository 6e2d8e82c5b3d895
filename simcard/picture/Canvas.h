#pragma once

#include <cstdint>
#include <vector>

// 0x00RRGGBB, the byte order of an RGB32 DIB pixel.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int r, int g, int b) {
    return (static_cast<Colour>(r) << 16) | (static_cast<Colour>(g) << 8) | static_cast<Colour>(b);
}
constexpr int RedOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}

// A top-down picture in which scenes and the caption are drawn before the
// frame is written out in the connection's pixel format.
class Canvas {
public:
    void Resize(int width, int height);
    int Width() const { return width; }
    int Height() const { return height; }
    Colour* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const Colour* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }

    // Clipped to the canvas.
    void Fill(int x, int y, int w, int h, Colour colour);

private:
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;
};
