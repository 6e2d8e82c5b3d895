#include "simcard/base/VideoSubtypes.h"

namespace {

const VideoSubtype subtypes[] = {
    {&MEDIASUBTYPE_RGB32, PixelLayout::Rgb32, "RGB32", 32, BI_RGB, {}, true, false},
    {&MEDIASUBTYPE_RGB24, PixelLayout::Rgb24, "RGB24", 24, BI_RGB, {}, true, false},
    {&MEDIASUBTYPE_RGB565,
     PixelLayout::Rgb565,
     "RGB565",
     16,
     BI_BITFIELDS,
     {0xF800, 0x07E0, 0x001F},
     true,
     false},
    {&MEDIASUBTYPE_RGB555, PixelLayout::Rgb555, "RGB555", 16, BI_RGB, {}, true, false},
    {&MEDIASUBTYPE_YUY2, PixelLayout::Yuy2, "YUY2", 16, MAKEFOURCC('Y', 'U', 'Y', '2'), {}, false, true},
};

} // namespace

namespace VideoSubtypes {

const VideoSubtype* Find(const GUID& subtype) {
    for (const VideoSubtype& known : subtypes) {
        if (*known.subtype == subtype) {
            return &known;
        }
    }
    return nullptr;
}

const VideoSubtype& Of(PixelLayout layout) {
    for (const VideoSubtype& known : subtypes) {
        if (known.layout == layout) {
            return known;
        }
    }
    return subtypes[0]; // every layout has its row above
}

int Stride(int width, int bitCount) {
    return ((width * bitCount / 8) + 3) & ~3;
}

} // namespace VideoSubtypes
