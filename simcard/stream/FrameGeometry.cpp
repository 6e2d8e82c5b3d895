#include "simcard/stream/FrameGeometry.h"

#include "simcard/base/MediaTypes.h"

namespace {

constexpr int MaxSide = 4096;

} // namespace

int FrameGeometry::BitsPerPixel(PixelLayout layout) {
    return VideoSubtypes::Of(layout).bitCount;
}

bool FrameGeometry::Describe(const AM_MEDIA_TYPE& type, FrameGeometry& geometry) {
    const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(type);
    const VideoSubtype* kind = VideoSubtypes::Find(type.subtype);
    if (type.majortype != MEDIATYPE_Video || !bitmap || !kind) {
        return false;
    }
    geometry.layout = kind->layout;
    if (bitmap->biBitCount != kind->bitCount || bitmap->biWidth <= 0 || bitmap->biWidth > MaxSide ||
        bitmap->biHeight == 0 || bitmap->biHeight > MaxSide || bitmap->biHeight < -MaxSide) {
        return false;
    }
    if (kind->evenWidth && (bitmap->biWidth % 2) != 0) {
        return false;
    }
    geometry.width = bitmap->biWidth;
    geometry.height = bitmap->biHeight < 0 ? -bitmap->biHeight : bitmap->biHeight;
    geometry.bottomUp = kind->bottomUp && bitmap->biHeight > 0;
    geometry.stride = VideoSubtypes::Stride(geometry.width, bitmap->biBitCount);
    geometry.imageSize = static_cast<long>(geometry.stride) * geometry.height;
    geometry.frameDuration = *MediaTypes::FrameDuration(type);
    return true;
}
