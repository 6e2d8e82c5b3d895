#pragma once

#include "simcard/picture/Canvas.h"

// A 5x7 pixel font for digits, capitals and a little punctuation, drawn in
// cells of 6x8 pixels times the scale. Other characters draw as '?'.
namespace BitmapFont {

constexpr int CellWidth = 6;
constexpr int CellHeight = 8;

int TextWidth(const char* text, int scale);
void Draw(Canvas& canvas, int x, int y, const char* text, int scale, Colour colour);

} // namespace BitmapFont
