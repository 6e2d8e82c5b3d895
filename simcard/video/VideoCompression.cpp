#include "simcard/video/VideoCompression.h"

#include "simcard/base/OutParam.h"
#include "simcard/controls/CardState.h"
#include "simcard/hooks/RecordedCall.h"
#include "simcard/hooks/Options.h"

#include <cwchar>

namespace {

constexpr double DefaultQuality = 0.5;

// Copies text into a caller's buffer whose size is in bytes; with no buffer
// only the size needed is given back.
void CopyInfoText(const wchar_t* text, LPWSTR buffer, int* size) {
    if (!size) {
        return;
    }
    const int needed = static_cast<int>((std::wcslen(text) + 1) * sizeof(wchar_t));
    if (buffer && *size > 0) {
        const size_t room = static_cast<size_t>(*size) / sizeof(wchar_t);
        if (room > 0) {
            std::wcsncpy(buffer, text, room - 1);
            buffer[room - 1] = L'\0';
        }
    }
    *size = needed;
}

} // namespace

STDMETHODIMP VideoCompression::put_Quality(double quality) {
    auto change = [=] {
        if (!(quality >= 0.0 && quality <= 1.0)) {
            return E_INVALIDARG;
        }
        card.Modify([quality](CardSettings& s) { s.quality = quality; });
        return S_OK;
    };
    return RecordedCall("Compression.put_Quality", change, "quality=%.2f", quality);
}

STDMETHODIMP VideoCompression::get_Quality(double* quality) {
    return Give(quality, card.Get().quality);
}

STDMETHODIMP VideoCompression::GetInfo(LPWSTR version, int* versionSize, LPWSTR description,
                                       int* descriptionSize, LONG* keyFrameRate, LONG* pFramesPerKey,
                                       double* quality, LONG* capabilities) {
    if (Faults::Injected("Compression.GetInfo")) {
        return E_FAIL;
    }
    CopyInfoText(L"1.0", version, versionSize);
    CopyInfoText(L"Narvo TV simulated compression", description, descriptionSize);
    if (keyFrameRate) {
        *keyFrameRate = -1;
    }
    if (pFramesPerKey) {
        *pFramesPerKey = -1;
    }
    if (quality) {
        *quality = DefaultQuality;
    }
    if (capabilities) {
        *capabilities = CompressionCaps_CanQuality;
    }
    return S_OK;
}
