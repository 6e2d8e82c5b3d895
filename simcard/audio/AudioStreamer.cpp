#include "simcard/audio/AudioStreamer.h"

#include "simcard/audio/AudioFormats.h"

namespace {

constexpr REFERENCE_TIME Second = 10000000;

} // namespace

AudioStreamer::AudioStreamer(SoundSource& sound)
    : source(sound), stream(*this, PushStream::Due::AtEnd, PushStream::MediaTimes::Positions) {}

bool AudioStreamer::Prepare(const AM_MEDIA_TYPE& type) {
    const WAVEFORMATEX* format = AudioFormats::Wave(type);
    if (!format || format->nBlockAlign == 0 || bufferBytes < format->nBlockAlign) {
        return false;
    }
    wave = *format;
    bufferFrames = bufferBytes / format->nBlockAlign;
    return true;
}

// From the frame count, not by adding buffer lengths: no rounding drift, and
// one buffer's end is exactly the next one's start.
REFERENCE_TIME AudioStreamer::TimeOf(LONGLONG frame) const {
    if (wave.nSamplesPerSec == 0) {
        return 0; // never started
    }
    return frame / wave.nSamplesPerSec * Second + frame % wave.nSamplesPerSec * Second / wave.nSamplesPerSec;
}

LONGLONG AudioStreamer::PositionAt(REFERENCE_TIME time) const {
    return time / Second * wave.nSamplesPerSec + time % Second * wave.nSamplesPerSec / Second;
}

void AudioStreamer::Fill(BYTE* data) {
    source.Render(reinterpret_cast<short*>(data), bufferFrames, wave.nChannels,
                  static_cast<long>(wave.nSamplesPerSec));
}
