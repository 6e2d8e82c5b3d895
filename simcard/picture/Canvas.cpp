#include "simcard/picture/Canvas.h"

#include <algorithm>

void Canvas::Resize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    pixels.assign(static_cast<size_t>(width) * height, 0);
}

void Canvas::Fill(int x, int y, int w, int h, Colour colour) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + w, width);
    const int bottom = std::min(y + h, height);
    for (int row = top; row < bottom; ++row) {
        std::fill(Row(row) + left, Row(row) + right, colour);
    }
}
