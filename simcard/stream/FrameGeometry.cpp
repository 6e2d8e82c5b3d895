#include "simcard/stream/FrameGeometry.h"

#include "simcard/base/MediaTypes.h"

namespace {

bool LayoutOf(const GUID& subtype, PixelLayout& layout) {
    if (subtype == MEDIASUBTYPE_RGB32) {
        layout = PixelLayout::Rgb32;
    } else if (subtype == MEDIASUBTYPE_RGB24) {
        layout = PixelLayout::Rgb24;
    } else if (subtype == MEDIASUBTYPE_RGB565) {
        layout = PixelLayout::Rgb565;
    } else if (subtype == MEDIASUBTYPE_RGB555) {
        layout = PixelLayout::Rgb555;
    } else if (subtype == MEDIASUBTYPE_YUY2) {
        layout = PixelLayout::Yuy2;
    } else {
        return false;
    }
    return true;
}

constexpr int MaxSide = 4096;

} // namespace

int FrameGeometry::BitsPerPixel(PixelLayout layout) {
    switch (layout) {
    case PixelLayout::Rgb32:
        return 32;
    case PixelLayout::Rgb24:
        return 24;
    default:
        return 16;
    }
}

bool FrameGeometry::Describe(const AM_MEDIA_TYPE& type, FrameGeometry& geometry) {
    const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(type);
    if (type.majortype != MEDIATYPE_Video || !bitmap || !LayoutOf(type.subtype, geometry.layout)) {
        return false;
    }
    if (bitmap->biBitCount != BitsPerPixel(geometry.layout) || bitmap->biWidth <= 0 ||
        bitmap->biWidth > MaxSide || bitmap->biHeight == 0 || bitmap->biHeight > MaxSide ||
        bitmap->biHeight < -MaxSide) {
        return false;
    }
    if (geometry.layout == PixelLayout::Yuy2 && (bitmap->biWidth % 2) != 0) {
        return false;
    }
    geometry.width = bitmap->biWidth;
    geometry.height = bitmap->biHeight < 0 ? -bitmap->biHeight : bitmap->biHeight;
    // YUY2 is top-down whatever the sign; RGB is bottom-up for a positive height.
    geometry.bottomUp = geometry.layout != PixelLayout::Yuy2 && bitmap->biHeight > 0;
    geometry.stride = ((geometry.width * bitmap->biBitCount / 8) + 3) & ~3;
    geometry.imageSize = static_cast<long>(geometry.stride) * geometry.height;
    geometry.frameDuration = *MediaTypes::FrameDuration(type);
    return true;
}
