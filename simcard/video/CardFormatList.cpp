#include "simcard/video/CardFormatList.h"

#include "simcard/base/VideoSubtypes.h"
#include "simcard/stream/FrameGeometry.h"

#include <dvdmedia.h>

#include <cstring>

namespace {

struct Entry {
    const GUID* subtype;
    int width;
    int height;
    bool videoInfo2;
};

// Unsorted on purpose, with one exact duplicate and one VIDEOINFOHEADER2.
const Entry standardEntries[] = {
    {&MEDIASUBTYPE_RGB24, 720, 480, false},  {&MEDIASUBTYPE_RGB565, 320, 240, false},
    {&MEDIASUBTYPE_RGB32, 640, 480, false},  {&MEDIASUBTYPE_RGB32, 640, 480, true},
    {&MEDIASUBTYPE_RGB24, 352, 240, false},  {&MEDIASUBTYPE_RGB32, 320, 240, false},
    {&MEDIASUBTYPE_RGB565, 640, 480, false}, {&MEDIASUBTYPE_RGB24, 320, 240, false},
    {&MEDIASUBTYPE_RGB565, 720, 480, false}, {&MEDIASUBTYPE_RGB24, 640, 480, false},
    {&MEDIASUBTYPE_RGB24, 352, 240, false},  {&MEDIASUBTYPE_RGB32, 720, 480, false},
};

// Formats the Video Renderer here cannot draw.
const Entry undrawableEntries[] = {
    {&MEDIASUBTYPE_YUY2, 720, 480, false},
    {&MEDIASUBTYPE_RGB555, 320, 240, false},
    {&MEDIASUBTYPE_YUY2, 320, 240, false},
    {&MEDIASUBTYPE_RGB555, 640, 480, false},
};

constexpr int ManyFormatsSizes = 40; // three subtypes each: 120 more capabilities

MediaType FromEntry(const Entry& entry) {
    return MakeVideoType(*entry.subtype, entry.width, entry.height, CardFormatList::FastestFrame,
                         entry.videoInfo2);
}

bool SameCapability(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    const BITMAPINFOHEADER* x = MediaTypes::Bitmap(a);
    const BITMAPINFOHEADER* y = MediaTypes::Bitmap(b);
    return x && y && a.subtype == b.subtype && a.formattype == b.formattype && x->biWidth == y->biWidth &&
           x->biHeight == y->biHeight && x->biBitCount == y->biBitCount;
}

} // namespace

MediaType MakeVideoType(const GUID& subtype, int width, int height, REFERENCE_TIME frameDuration,
                        bool videoInfo2) {
    const VideoSubtype* kind = VideoSubtypes::Find(subtype);
    if (!kind) {
        return MediaType();
    }
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    type.bFixedSizeSamples = TRUE;
    type.bTemporalCompression = FALSE;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = kind->bitCount;
    header.biCompression = kind->compression;
    header.biSizeImage = static_cast<DWORD>(VideoSubtypes::Stride(width, header.biBitCount) * height);
    type.lSampleSize = header.biSizeImage;
    const DWORD bitRate =
        static_cast<DWORD>(static_cast<long long>(header.biSizeImage) * 8 * 10000000 / frameDuration);

    // RGB565 carries its colour masks after the header, as a VIDEOINFO does.
    const DWORD(&masks)[3] = kind->masks;
    const bool withMasks = header.biCompression == BI_BITFIELDS;
    const ULONG headerBlock = videoInfo2 ? sizeof(VIDEOINFOHEADER2) : sizeof(VIDEOINFOHEADER);
    type.cbFormat = headerBlock + (withMasks ? sizeof masks : 0);
    type.formattype = videoInfo2 ? FORMAT_VideoInfo2 : FORMAT_VideoInfo;
    BYTE block[sizeof(VIDEOINFOHEADER2) + sizeof masks] = {};
    if (videoInfo2) {
        auto* info = reinterpret_cast<VIDEOINFOHEADER2*>(block);
        info->dwBitRate = bitRate;
        info->AvgTimePerFrame = frameDuration;
        info->dwPictAspectRatioX = 4;
        info->dwPictAspectRatioY = 3;
        info->bmiHeader = header;
    } else {
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(block);
        info->dwBitRate = bitRate;
        info->AvgTimePerFrame = frameDuration;
        info->bmiHeader = header;
    }
    if (withMasks) {
        std::memcpy(block + headerBlock, masks, sizeof masks);
    }
    type.pbFormat = block;
    return MediaType(type); // copies the block into task memory
}

CardFormatList::CardFormatList(const CardVariant& variant)
    : defaultFormat(MakeVideoType(MEDIASUBTYPE_RGB24, 320, 240, FastestFrame)) {
    if (variant.noFormats) {
        return;
    }
    for (const Entry& entry : standardEntries) {
        offered.push_back(FromEntry(entry));
    }
    if (variant.undrawableFormats) {
        for (const Entry& entry : undrawableEntries) {
            offered.push_back(FromEntry(entry));
        }
    }
    if (variant.manyFormats) {
        const GUID* subtypes[] = {&MEDIASUBTYPE_RGB565, &MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_RGB32};
        for (int size = 0; size < ManyFormatsSizes; ++size) {
            const int width = 160 + 16 * size;
            const int height = (width * 3 / 4) & ~1;
            for (const GUID* subtype : subtypes) {
                offered.push_back(MakeVideoType(*subtype, width, height, FastestFrame));
            }
        }
    }
}

void CardFormatList::Describe(int index, VIDEO_STREAM_CONFIG_CAPS& caps) const {
    std::memset(&caps, 0, sizeof caps);
    const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(At(index));
    const SIZE size = {bitmap->biWidth, bitmap->biHeight};
    caps.guid = At(index).formattype;
    caps.VideoStandard = AnalogVideo_NTSC_M_J;
    caps.InputSize = {720, 480};
    caps.MinCroppingSize = size;
    caps.MaxCroppingSize = size;
    caps.CropGranularityX = 1;
    caps.CropGranularityY = 1;
    caps.CropAlignX = 1;
    caps.CropAlignY = 1;
    caps.MinOutputSize = size;
    caps.MaxOutputSize = size;
    caps.OutputGranularityX = 0;
    caps.OutputGranularityY = 0;
    caps.MinFrameInterval = FastestFrame;
    caps.MaxFrameInterval = SlowestFrame;
    const LONG bitsPerFrame = static_cast<LONG>(bitmap->biSizeImage) * 8;
    caps.MinBitsPerSecond = bitsPerFrame;
    caps.MaxBitsPerSecond = bitsPerFrame * 30;
}

HRESULT CardFormatList::Validate(const AM_MEDIA_TYPE& requested, MediaType& accepted) const {
    FrameGeometry geometry;
    if (!FrameGeometry::Describe(requested, geometry)) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    // A picture size that is not the frame's would have a sink read past the sample or short of it.
    const LONG imageSize = static_cast<LONG>(MediaTypes::Bitmap(requested)->biSizeImage);
    if (imageSize != 0 && imageSize != geometry.imageSize) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    REFERENCE_TIME duration = geometry.frameDuration;
    if (duration == 0) {
        duration = FastestFrame;
    }
    if (duration < FastestFrame || duration > SlowestFrame) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    // Exactly what the pin enumerates: the capabilities of this variant and the
    // format it starts with, which it always offers first.
    const MediaType* match = SameCapability(defaultFormat.Get(), requested) ? &defaultFormat : nullptr;
    for (const MediaType& known : offered) {
        if (SameCapability(known.Get(), requested)) {
            match = &known;
        }
    }
    if (!match) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    accepted = *match;
    *MediaTypes::FrameDuration(accepted.Get()) = duration;
    return S_OK;
}
