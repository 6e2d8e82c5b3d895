#include "simcard/audio/AudioStreamConfig.h"

#include <cstdio>

AudioStreamConfig::AudioStreamConfig(IUnknown* pin, FilterCore& core, AudioPinSettings& pinSettings,
                                     const char* deviceDetails)
    : StreamConfigBase(pin, core, "AudioCapture", sizeof(AUDIO_STREAM_CONFIG_CAPS)), settings(pinSettings),
      details(deviceDetails) {}

void AudioStreamConfig::DescribeRequest(const AM_MEDIA_TYPE& type, char* text, size_t size) const {
    char format[80] = "invalid";
    if (const WAVEFORMATEX* wave = AudioFormats::Wave(type)) {
        std::snprintf(format, sizeof format, "rate=%lu channels=%u bits=%u",
                      static_cast<unsigned long>(wave->nSamplesPerSec), wave->nChannels,
                      wave->wBitsPerSample);
    }
    std::snprintf(text, size, "%s %s", details, format);
}

HRESULT AudioStreamConfig::Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const {
    return AudioFormats::Validate(type, accepted);
}

bool AudioStreamConfig::FitsConnection(const AM_MEDIA_TYPE& accepted) const {
    if (!settings.connected) {
        return true;
    }
    const WAVEFORMATEX* current = AudioFormats::Wave(settings.format.Get());
    const WAVEFORMATEX* wanted = AudioFormats::Wave(accepted);
    return current->nSamplesPerSec == wanted->nSamplesPerSec && current->nChannels == wanted->nChannels;
}

void AudioStreamConfig::Take(const MediaType& accepted) {
    settings.format = accepted;
    settings.chosen = true;
}

void AudioStreamConfig::DescribeCaps(int index, BYTE* caps) const {
    AudioFormats::Describe(index, *reinterpret_cast<AUDIO_STREAM_CONFIG_CAPS*>(caps));
}
