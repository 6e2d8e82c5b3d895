#pragma once

#include "common/Ownership.h"
#include "simcard/audio/AudioBufferNegotiation.h"
#include "simcard/audio/AudioPinSettings.h"
#include "simcard/audio/AudioStreamConfig.h"
#include "simcard/audio/AudioStreamer.h"
#include "simcard/base/CardPin.h"
#include "simcard/video/PinCategory.h"

#include <vector>

class FilterCore;

// The capture pin of an audio device: PCM in the format chosen through
// IAMStreamConfig (48 kHz stereo unless one was), buffers as suggested through
// IAMBufferNegotiation, its own allocator when the peer offers none.
class AudioPin final : public CardPin {
public:
    AudioPin(IBaseFilter& filter, FilterCore& core, SoundSource& source, const char* journalDetails);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    // Called by the filter under its lock.
    HRESULT Activate();
    void Run(REFERENCE_TIME start, IReferenceClock* clock);
    void Pause();
    void Deactivate(); // waits for the streaming thread: call without the filter lock

private:
    std::vector<MediaType> Proposals() const;
    HRESULT TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type);
    HRESULT DecideAllocator();
    HRESULT UseAllocator(ComRef<IMemAllocator>& candidate, const ALLOCATOR_PROPERTIES& wanted);
    void DropConnection();

    FilterCore& core;
    AudioPinSettings settings;
    PinCategory category;
    AudioStreamConfig streamConfig;
    AudioBufferNegotiation bufferNegotiation;

    ComRef<IPin> peer;
    ComRef<IMemInputPin> peerInput;
    ComRef<IMemAllocator> allocator;
    long bufferBytes = 0; // what each sample carries
    AudioStreamer streamer;
};
