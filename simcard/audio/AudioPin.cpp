#include "simcard/audio/AudioPin.h"

#include <algorithm>

namespace {

// Without a suggestion: eight buffers of 40 ms each, a common capture latency.
constexpr long DefaultBuffers = 8;
constexpr long DefaultBuffersPerSecond = 25;

} // namespace

AudioPin::AudioPin(IBaseFilter& owner, FilterCore& filterCore, SoundSource& source,
                   const char* journalDetails)
    : SourcePin(owner, filterCore, L"Capture", PIN_CATEGORY_CAPTURE, connection),
      streamConfig(this, filterCore, settings, journalDetails), bufferNegotiation(this, filterCore, settings),
      streamer(source) {}

void* AudioPin::OtherInterface(REFIID iid) {
    if (iid == IID_IAMStreamConfig) {
        return static_cast<IAMStreamConfig*>(&streamConfig);
    }
    return iid == IID_IAMBufferNegotiation ? static_cast<IAMBufferNegotiation*>(&bufferNegotiation) : nullptr;
}

// The chosen format alone once SetFormat chose it; else every format, the
// current one first.
std::vector<MediaType> AudioPin::Proposals() const {
    std::vector<MediaType> proposals{settings.format};
    if (!settings.chosen) {
        const WAVEFORMATEX& current = *AudioFormats::Wave(settings.format.Get());
        for (int i = 0; i < AudioFormats::Count(); ++i) {
            MediaType other = AudioFormats::At(i);
            const WAVEFORMATEX& wave = *AudioFormats::Wave(other.Get());
            if (wave.nSamplesPerSec != current.nSamplesPerSec || wave.nChannels != current.nChannels) {
                proposals.push_back(other);
            }
        }
    }
    return proposals;
}

HRESULT AudioPin::Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const {
    return AudioFormats::Validate(type, accepted);
}

HRESULT AudioPin::WantedBuffers(const AM_MEDIA_TYPE& type, const ALLOCATOR_PROPERTIES& requirements,
                                ALLOCATOR_PROPERTIES& wanted) {
    const WAVEFORMATEX& wave = *AudioFormats::Wave(type);
    const ALLOCATOR_PROPERTIES& suggested = settings.suggested;
    // A suggested size is kept to whole sample frames, at least one.
    const long size = suggested.cbBuffer > 0
                          ? suggested.cbBuffer
                          : static_cast<long>(wave.nAvgBytesPerSec / DefaultBuffersPerSecond);
    const long bufferBytes = std::max(size / wave.nBlockAlign, 1L) * wave.nBlockAlign;
    streamer.SetBufferBytes(bufferBytes);

    wanted.cBuffers = suggested.cBuffers > 0 ? std::max(suggested.cBuffers, 2L)
                                             : std::max(requirements.cBuffers, DefaultBuffers);
    wanted.cbBuffer = bufferBytes;
    wanted.cbAlign = suggested.cbAlign > 0 ? suggested.cbAlign : std::max(requirements.cbAlign, 1L);
    wanted.cbPrefix = suggested.cbPrefix >= 0 ? suggested.cbPrefix : requirements.cbPrefix;
    return S_OK;
}

void AudioPin::Connected(const ALLOCATOR_PROPERTIES& actual) {
    settings.format = connectionType;
    settings.connected = true;
    settings.actual = actual;
}

void AudioPin::Disconnected() {
    settings.connected = false;
    settings.actual = ALLOCATOR_PROPERTIES{};
}
