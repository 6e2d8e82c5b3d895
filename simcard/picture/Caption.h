#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/picture/Canvas.h"

// The state caption in the top left corner: a row of coloured blocks for
// tests to read by pixel, and the same state as text for people. Its pixels
// are not touched by picture adjustment or quality. Layout in README.md.
namespace Caption {

constexpr int BlockSize = 8;
constexpr int BlockPitch = 12;
constexpr int BlocksLeft = 8;
constexpr int BlocksTop = 8;
constexpr int BlockCount = 8;
constexpr int TextTop = 20;
constexpr int TextScale = 2;

void Draw(Canvas& canvas, const CardSettings& settings);

// The caption's text for these settings, e.g. "TV CH12 AUDIO".
void Text(const CardSettings& settings, char* buffer, size_t size);

} // namespace Caption
