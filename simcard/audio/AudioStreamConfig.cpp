#include "simcard/audio/AudioStreamConfig.h"

#include "simcard/base/FilterCore.h"
#include "simcard/hooks/RecordedCall.h"

#include <cstdio>

STDMETHODIMP AudioStreamConfig::SetFormat(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    char format[80] = "invalid";
    if (const WAVEFORMATEX* wave = AudioFormats::Wave(*type)) {
        std::snprintf(format, sizeof format, "rate=%lu channels=%u bits=%u",
                      static_cast<unsigned long>(wave->nSamplesPerSec), wave->nChannels,
                      wave->wBitsPerSample);
    }
    return RecordedCall(
        "AudioCapture.SetFormat", [this, type] { return Choose(*type); }, "%s %s", details, format);
}

HRESULT AudioStreamConfig::Choose(const AM_MEDIA_TYPE& type) {
    ScopedLock hold(core.Lock());
    if (core.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    MediaType accepted;
    const HRESULT hr = AudioFormats::Validate(type, accepted);
    if (hr != S_OK) {
        return hr;
    }
    if (settings.connected) {
        const WAVEFORMATEX* current = AudioFormats::Wave(settings.format.Get());
        const WAVEFORMATEX* wanted = AudioFormats::Wave(accepted.Get());
        if (current->nSamplesPerSec != wanted->nSamplesPerSec || current->nChannels != wanted->nChannels) {
            return VFW_E_ALREADY_CONNECTED;
        }
    }
    settings.format = accepted;
    settings.chosen = true;
    return S_OK;
}

STDMETHODIMP AudioStreamConfig::GetFormat(AM_MEDIA_TYPE** type) {
    if (!type) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *type = MediaTypes::Clone(settings.format.Get());
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP AudioStreamConfig::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) {
        return E_POINTER;
    }
    *count = AudioFormats::Count();
    *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP AudioStreamConfig::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    if (!type || !caps) {
        return E_POINTER;
    }
    *type = nullptr;
    if (index < 0) {
        return E_INVALIDARG;
    }
    if (index >= AudioFormats::Count()) {
        return S_FALSE;
    }
    *type = MediaTypes::Clone(AudioFormats::At(index).Get());
    if (!*type) {
        return E_OUTOFMEMORY;
    }
    AudioFormats::Describe(index, *reinterpret_cast<AUDIO_STREAM_CONFIG_CAPS*>(caps));
    return S_OK;
}
