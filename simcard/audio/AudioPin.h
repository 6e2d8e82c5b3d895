#pragma once

#include "common/Ownership.h"
#include "simcard/audio/AudioBufferNegotiation.h"
#include "simcard/audio/AudioPinSettings.h"
#include "simcard/audio/AudioStreamConfig.h"
#include "simcard/audio/AudioStreamer.h"
#include "simcard/base/SourcePin.h"

#include <vector>

class FilterCore;

// The capture pin of an audio device: PCM in the format chosen through
// IAMStreamConfig (48 kHz stereo unless one was), buffers as suggested through
// IAMBufferNegotiation, its own allocator when the peer offers none.
class AudioPin final : public SourcePin {
public:
    AudioPin(IBaseFilter& filter, FilterCore& core, SoundSource& source, const char* journalDetails);

private:
    void* OtherInterface(REFIID iid) override;
    HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const override;
    std::vector<MediaType> Proposals() const override;
    HRESULT WantedBuffers(const AM_MEDIA_TYPE& type, const ALLOCATOR_PROPERTIES& requirements,
                          ALLOCATOR_PROPERTIES& wanted) override;
    void Connected(const ALLOCATOR_PROPERTIES& actual) override;
    void Disconnected() override;
    PushStream& Stream() override { return streamer.Stream(); }

    MediaType connection;
    AudioPinSettings settings;
    AudioStreamConfig streamConfig;
    AudioBufferNegotiation bufferNegotiation;
    AudioStreamer streamer;
};
