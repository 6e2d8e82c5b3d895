#pragma once

#include "simcard/audio/AudioPinSettings.h"
#include "simcard/server/Module.h"

#include <dshow.h>

class FilterCore;

// IAMStreamConfig of an audio capture pin: the PCM formats and the current
// one. A new format needs the filter stopped and, once connected, is refused.
class AudioStreamConfig : public IAMStreamConfig {
public:
    AudioStreamConfig(IUnknown* pin, FilterCore& core, AudioPinSettings& settings, const char* details)
        : pin(pin), core(core), settings(settings), details(details) {}

    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

private:
    HRESULT Choose(const AM_MEDIA_TYPE& type);

    IUnknown* pin;
    FilterCore& core;
    AudioPinSettings& settings;
    const char* details; // the device for the journal, kept by the filter
};
