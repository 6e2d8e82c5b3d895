#include "simcard/audio/AudioFormats.h"

#include <cstring>

namespace {

struct Format {
    long rate;
    int channels;
};

const Format formats[] = {{48000, 2}, {48000, 1}, {44100, 2}, {44100, 1}};
constexpr int FormatCount = sizeof formats / sizeof formats[0];
constexpr int BitsPerSample = 16;

WAVEFORMATEX WaveOf(const Format& format) {
    WAVEFORMATEX wave = {};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = static_cast<DWORD>(format.rate);
    wave.wBitsPerSample = BitsPerSample;
    wave.nBlockAlign = static_cast<WORD>(format.channels * BitsPerSample / 8);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    wave.cbSize = 0;
    return wave;
}

} // namespace

namespace AudioFormats {

int Count() {
    return FormatCount;
}

MediaType At(int index) {
    WAVEFORMATEX wave = WaveOf(formats[index]);
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = wave.nBlockAlign;
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = sizeof wave;
    type.pbFormat = reinterpret_cast<BYTE*>(&wave);
    return MediaType(type); // copies the format block
}

void Describe(int index, AUDIO_STREAM_CONFIG_CAPS& caps) {
    std::memset(&caps, 0, sizeof caps);
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = caps.MaximumChannels = static_cast<ULONG>(formats[index].channels);
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = caps.MaximumBitsPerSample = BitsPerSample;
    caps.BitsPerSampleGranularity = 8;
    caps.MinimumSampleFrequency = caps.MaximumSampleFrequency = static_cast<ULONG>(formats[index].rate);
    caps.SampleFrequencyGranularity = 1;
}

const WAVEFORMATEX* Wave(const AM_MEDIA_TYPE& type) {
    // A PCMWAVEFORMAT block (no cbSize) is enough for PCM.
    if (type.formattype != FORMAT_WaveFormatEx || type.cbFormat < sizeof(PCMWAVEFORMAT) || !type.pbFormat) {
        return nullptr;
    }
    return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
}

HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) {
    const WAVEFORMATEX* wave = Wave(type);
    if (type.majortype != MEDIATYPE_Audio || type.subtype != MEDIASUBTYPE_PCM || !wave ||
        wave->wFormatTag != WAVE_FORMAT_PCM) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    for (int i = 0; i < FormatCount; ++i) {
        const WAVEFORMATEX own = WaveOf(formats[i]);
        if (wave->nChannels == own.nChannels && wave->nSamplesPerSec == own.nSamplesPerSec &&
            wave->wBitsPerSample == own.wBitsPerSample && wave->nBlockAlign == own.nBlockAlign &&
            wave->nAvgBytesPerSec == own.nAvgBytesPerSec) {
            accepted = At(i);
            return S_OK;
        }
    }
    return VFW_E_INVALIDMEDIATYPE;
}

} // namespace AudioFormats
