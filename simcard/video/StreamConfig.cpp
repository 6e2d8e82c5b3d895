#include "simcard/video/StreamConfig.h"

#include "simcard/base/FilterCore.h"
#include "simcard/stream/FrameGeometry.h"
#include "simcard/hooks/RecordedCall.h"
#include "simcard/video/FormatState.h"

#include <cstdio>

namespace {

bool SameGeometry(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    const BITMAPINFOHEADER* x = MediaTypes::Bitmap(a);
    const BITMAPINFOHEADER* y = MediaTypes::Bitmap(b);
    return x && y && a.subtype == b.subtype && a.formattype == b.formattype && x->biWidth == y->biWidth &&
           x->biHeight == y->biHeight;
}

// The journal's description of a requested format.
void Describe(const AM_MEDIA_TYPE& type, char* details, size_t size) {
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

} // namespace

STDMETHODIMP StreamConfig::SetFormat(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    char details[160];
    Describe(*type, details, sizeof details);
    return RecordedCall(
        "StreamConfig.SetFormat", [this, type] { return Choose(*type); }, "%s", details);
}

HRESULT StreamConfig::Choose(const AM_MEDIA_TYPE& type) {
    ScopedLock hold(core.Lock());
    MediaType accepted;
    if (core.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    const HRESULT hr = formats.List().Validate(type, accepted);
    if (hr != S_OK) {
        return hr;
    }
    // Only the frame rate can change under a connection.
    if (formats.AnyConnected() && !SameGeometry(accepted.Get(), formats.Current().Get())) {
        return VFW_E_ALREADY_CONNECTED;
    }
    formats.Choose(accepted, true);
    formats.SetConnectedFrameDuration(*MediaTypes::FrameDuration(accepted.Get()));
    return S_OK;
}

STDMETHODIMP StreamConfig::GetFormat(AM_MEDIA_TYPE** type) {
    if (!type) {
        return E_POINTER;
    }
    if (Faults::Injected("StreamConfig.GetFormat")) {
        *type = nullptr;
        return E_FAIL;
    }
    ScopedLock hold(core.Lock());
    *type = MediaTypes::Clone(formats.Current().Get());
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP StreamConfig::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) {
        return E_POINTER;
    }
    if (Faults::Injected("StreamConfig.GetNumberOfCapabilities")) {
        return E_FAIL;
    }
    *count = formats.List().Count();
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP StreamConfig::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    if (!type || !caps) {
        return E_POINTER;
    }
    *type = nullptr;
    if (index < 0) {
        return E_INVALIDARG;
    }
    if (index >= formats.List().Count()) {
        return S_FALSE;
    }
    *type = MediaTypes::Clone(formats.List().At(index));
    if (!*type) {
        return E_OUTOFMEMORY;
    }
    formats.List().Describe(index, *reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps));
    return S_OK;
}
