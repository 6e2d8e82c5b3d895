#include "simcard/StreamConfig.h"

#include "simcard/CaptureFilter.h"
#include "simcard/FrameGeometry.h"
#include "simcard/Journal.h"

namespace {

bool SameGeometry(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    const BITMAPINFOHEADER* x = MediaTypes::Bitmap(a);
    const BITMAPINFOHEADER* y = MediaTypes::Bitmap(b);
    return x && y && a.subtype == b.subtype && a.formattype == b.formattype && x->biWidth == y->biWidth &&
           x->biHeight == y->biHeight;
}

void JournalSetFormat(HRESULT hr, const AM_MEDIA_TYPE* type) {
    const BITMAPINFOHEADER* bitmap = type ? MediaTypes::Bitmap(*type) : nullptr;
    const REFERENCE_TIME* duration = type ? MediaTypes::FrameDuration(*type) : nullptr;
    if (!bitmap || !duration) {
        Journal::Record(hr, "StreamConfig.SetFormat invalid");
        return;
    }
    Journal::Record(hr, "StreamConfig.SetFormat subtype=%s width=%ld height=%ld avgTimePerFrame=%lld",
                    MediaTypes::SubtypeName(type->subtype), static_cast<long>(bitmap->biWidth),
                    static_cast<long>(bitmap->biHeight), static_cast<long long>(*duration));
}

} // namespace

STDMETHODIMP StreamConfig::SetFormat(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    HRESULT hr = S_OK;
    EnterCriticalSection(&filter.Lock());
    MediaType accepted;
    if (Faults::Injected("StreamConfig.SetFormat")) {
        hr = E_FAIL;
    } else if (filter.State() != State_Stopped) {
        hr = VFW_E_NOT_STOPPED;
    } else if ((hr = filter.Formats().Validate(*type, accepted)) != S_OK) {
        // refused as invalid
    } else if (filter.AnyOutputConnected() && !SameGeometry(accepted.Get(), filter.CurrentFormat().Get())) {
        // Only the frame rate can change under a connection.
        hr = VFW_E_ALREADY_CONNECTED;
    } else {
        filter.ChooseFormat(accepted, true);
        filter.UpdateConnectedFrameDuration(*MediaTypes::FrameDuration(accepted.Get()));
    }
    LeaveCriticalSection(&filter.Lock());
    JournalSetFormat(hr, type);
    return hr;
}

STDMETHODIMP StreamConfig::GetFormat(AM_MEDIA_TYPE** type) {
    if (!type) {
        return E_POINTER;
    }
    if (Faults::Injected("StreamConfig.GetFormat")) {
        *type = nullptr;
        return E_FAIL;
    }
    EnterCriticalSection(&filter.Lock());
    *type = MediaTypes::Clone(filter.CurrentFormat().Get());
    LeaveCriticalSection(&filter.Lock());
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP StreamConfig::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) {
        return E_POINTER;
    }
    if (Faults::Injected("StreamConfig.GetNumberOfCapabilities")) {
        return E_FAIL;
    }
    *count = filter.Formats().Count();
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
    if (index >= filter.Formats().Count()) {
        return S_FALSE;
    }
    *type = MediaTypes::Clone(filter.Formats().At(index));
    if (!*type) {
        return E_OUTOFMEMORY;
    }
    filter.Formats().Describe(index, *reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps));
    return S_OK;
}
