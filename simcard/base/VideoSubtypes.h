#pragma once

#include <dshow.h>

// How the picture generator lays out a row of pixels.
enum class PixelLayout { Rgb32, Rgb24, Rgb565, Rgb555, Yuy2 };

// One uncompressed video subtype the card can produce: the bitmap header it
// carries and how its rows are stored.
struct VideoSubtype {
    const GUID* subtype;
    PixelLayout layout;
    const char* name; // for journals: RGB24, YUY2, ...
    WORD bitCount;
    DWORD compression; // biCompression: BI_RGB, BI_BITFIELDS or a FOURCC
    DWORD masks[3];    // red, green, blue after the header with BI_BITFIELDS
    bool bottomUp;     // for a positive height, as a DIB; YUY2 is top-down whatever the sign
    bool evenWidth;    // two pixels share their chroma
};

namespace VideoSubtypes {

// Null for a subtype the card does not produce.
const VideoSubtype* Find(const GUID& subtype);
const VideoSubtype& Of(PixelLayout layout);

// Bytes per row: rows of a DIB start on a DWORD boundary.
int Stride(int width, int bitCount);

} // namespace VideoSubtypes
