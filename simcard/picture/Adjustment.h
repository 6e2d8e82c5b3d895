#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/picture/Canvas.h"

#include <cstdint>

// Picture adjustment and compression quality applied to a drawn scene: a
// colour matrix for hue and saturation, a level table for brightness,
// contrast and gamma, and blocks for low quality.
class Adjustment {
public:
    void Prepare(const PictureAdjustment& picture);
    void Apply(Canvas& canvas) const;
    const std::uint8_t (&Levels() const)[256] { return levels; }

    // Pixel blocks that stand for coarse compression.
    static int BlockSizeFor(double quality);
    static void Pixelate(Canvas& canvas, int blockSize);

private:
    std::uint8_t levels[256] = {};
    int matrix[3][3] = {}; // fixed point, 1024 = 1.0
    bool identityMatrix = true;
};
