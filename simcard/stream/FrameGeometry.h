#pragma once

#include "simcard/base/VideoSubtypes.h"

#include <dshow.h>

// What the picture generator needs to know of a video media type.
struct FrameGeometry {
    PixelLayout layout = PixelLayout::Rgb32;
    int width = 0;
    int height = 0;
    int stride = 0;     // bytes per row, DWORD aligned
    long imageSize = 0; // stride * height
    bool bottomUp = true;
    REFERENCE_TIME frameDuration = 0;

    // False for anything the card cannot produce (unknown subtype, a bit count
    // that does not match it, sizes out of range).
    static bool Describe(const AM_MEDIA_TYPE& type, FrameGeometry& geometry);
    static int BitsPerPixel(PixelLayout layout);
};
