#pragma once

#include "simcard/audio/SoundSource.h"
#include "simcard/base/PushStream.h"

// The stream of an audio capture pin: each buffer holds the sound of the
// stream time it covers and is due once the clock has passed its end; media
// times count sample frames.
class AudioStreamer final : private PushStream::Content {
public:
    explicit AudioStreamer(SoundSource& source);

    PushStream& Stream() { return stream; }
    // What each buffer carries: a whole number of the format's blocks, set
    // when the connection's buffers are decided.
    void SetBufferBytes(long bytes) { bufferBytes = bytes; }

private:
    bool Prepare(const AM_MEDIA_TYPE& type) override;
    long BufferBytes() const override { return bufferFrames * wave.nBlockAlign; }
    LONGLONG BufferLength() const override { return bufferFrames; }
    REFERENCE_TIME TimeOf(LONGLONG frame) const override;
    LONGLONG PositionAt(REFERENCE_TIME time) const override;
    void Fill(BYTE* data) override;

    SoundSource& source;
    long bufferBytes = 0;
    WAVEFORMATEX wave = {};
    long bufferFrames = 0;
    PushStream stream; // last: stopped before the rest goes
};
