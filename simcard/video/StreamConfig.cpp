#include "simcard/video/StreamConfig.h"

#include "simcard/video/FormatState.h"

#include <cstdio>

namespace {

bool SameGeometry(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    const BITMAPINFOHEADER* x = MediaTypes::Bitmap(a);
    const BITMAPINFOHEADER* y = MediaTypes::Bitmap(b);
    return x && y && a.subtype == b.subtype && a.formattype == b.formattype && x->biWidth == y->biWidth &&
           x->biHeight == y->biHeight;
}

} // namespace

StreamConfig::StreamConfig(IUnknown* pin, FilterCore& core, FormatState& formatState)
    : StreamConfigBase(pin, core, "StreamConfig", sizeof(VIDEO_STREAM_CONFIG_CAPS)), formats(formatState) {}

void StreamConfig::DescribeRequest(const AM_MEDIA_TYPE& type, char* details, size_t size) const {
    const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(type);
    const REFERENCE_TIME* duration = MediaTypes::FrameDuration(type);
    if (!bitmap || !duration) {
        std::snprintf(details, size, "invalid");
        return;
    }
    std::snprintf(details, size, "subtype=%s width=%ld height=%ld avgTimePerFrame=%lld",
                  MediaTypes::SubtypeName(type.subtype), static_cast<long>(bitmap->biWidth),
                  static_cast<long>(bitmap->biHeight), static_cast<long long>(*duration));
}

HRESULT StreamConfig::Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const {
    return formats.List().Validate(type, accepted);
}

bool StreamConfig::FitsConnection(const AM_MEDIA_TYPE& accepted) const {
    return !formats.AnyConnected() || SameGeometry(accepted, formats.Current().Get());
}

void StreamConfig::Take(const MediaType& accepted) {
    formats.Choose(accepted, true);
    formats.SetConnectedFrameDuration(*MediaTypes::FrameDuration(accepted.Get()));
}

const MediaType& StreamConfig::Current() const {
    return formats.Current();
}

int StreamConfig::Count() const {
    return formats.List().Count();
}

MediaType StreamConfig::At(int index) const {
    return MediaType(formats.List().At(index));
}

void StreamConfig::DescribeCaps(int index, BYTE* caps) const {
    formats.List().Describe(index, *reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps));
}
