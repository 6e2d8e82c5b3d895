#include "simcard/picture/Adjustment.h"

#include <algorithm>
#include <cmath>

namespace {

int Clamp(int value) {
    return std::min(std::max(value, 0), 255);
}

} // namespace

void Adjustment::Prepare(const PictureAdjustment& picture) {
    const double gammaExponent = 100.0 / std::max(picture.gamma, 1L);
    for (int v = 0; v < 256; ++v) {
        const int level = Clamp((v - 128) * picture.contrast / 100 + 128 + picture.brightness * 128 / 100);
        levels[v] = static_cast<std::uint8_t>(
            Clamp(static_cast<int>(std::lround(255.0 * std::pow(level / 255.0, gammaExponent)))));
    }

    identityMatrix = picture.hue == 0 && picture.saturation == 100;
    // RGB -> YIQ, rotate and scale the chroma, back to RGB.
    const double toYiq[3][3] = {{0.299, 0.587, 0.114}, {0.596, -0.274, -0.322}, {0.211, -0.523, 0.312}};
    const double toRgb[3][3] = {{1.0, 0.956, 0.621}, {1.0, -0.272, -0.647}, {1.0, -1.106, 1.703}};
    const double angle = picture.hue * 3.14159265358979 / 180.0;
    const double s = picture.saturation / 100.0;
    const double chroma[3][3] = {{1, 0, 0},
                                 {0, s * std::cos(angle), -s * std::sin(angle)},
                                 {0, s * std::sin(angle), s * std::cos(angle)}};
    double middle[3][3] = {};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) {
                middle[i][j] += chroma[i][k] * toYiq[k][j];
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) {
                sum += toRgb[i][k] * middle[k][j];
            }
            matrix[i][j] = static_cast<int>(std::lround(sum * 1024));
        }
    }
}

void Adjustment::Apply(Canvas& canvas) const {
    for (int y = 0; y < canvas.Height(); ++y) {
        Colour* row = canvas.Row(y);
        for (int x = 0; x < canvas.Width(); ++x) {
            int r = RedOf(row[x]);
            int g = GreenOf(row[x]);
            int b = BlueOf(row[x]);
            if (!identityMatrix) {
                const int nr = (matrix[0][0] * r + matrix[0][1] * g + matrix[0][2] * b) / 1024;
                const int ng = (matrix[1][0] * r + matrix[1][1] * g + matrix[1][2] * b) / 1024;
                const int nb = (matrix[2][0] * r + matrix[2][1] * g + matrix[2][2] * b) / 1024;
                r = Clamp(nr);
                g = Clamp(ng);
                b = Clamp(nb);
            }
            row[x] = MakeColour(levels[r], levels[g], levels[b]);
        }
    }
}

int Adjustment::BlockSizeFor(double quality) {
    if (quality < 0.25) {
        return 8;
    }
    if (quality < 0.5) {
        return 4;
    }
    return 1;
}

void Adjustment::Pixelate(Canvas& canvas, int blockSize) {
    if (blockSize <= 1) {
        return;
    }
    for (int y = 0; y < canvas.Height(); y += blockSize) {
        Colour* row = canvas.Row(y);
        for (int x = 0; x < canvas.Width(); x += blockSize) {
            std::fill(row + x, row + std::min(x + blockSize, canvas.Width()), row[x]);
        }
        for (int copy = y + 1; copy < std::min(y + blockSize, canvas.Height()); ++copy) {
            std::copy(row, row + canvas.Width(), canvas.Row(copy));
        }
    }
}
