#pragma once

#include "simcard/audio/AudioPinSettings.h"
#include "simcard/server/Module.h"

#include <dshow.h>

class FilterCore;

// IAMBufferNegotiation of an audio capture pin: a program suggests the
// buffers before connecting (a recorder asks for small ones to keep latency
// low) and reads back what the connection got.
class AudioBufferNegotiation : public IAMBufferNegotiation {
public:
    AudioBufferNegotiation(IUnknown* pin, FilterCore& core, AudioPinSettings& settings)
        : pin(pin), core(core), settings(settings) {}

    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* properties) override;
    STDMETHODIMP GetAllocatorProperties(ALLOCATOR_PROPERTIES* properties) override;

private:
    IUnknown* pin;
    FilterCore& core;
    AudioPinSettings& settings;
};
