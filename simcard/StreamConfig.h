#pragma once

#include "simcard/Module.h"

#include <dshow.h>

class CaptureFilter;

// IAMStreamConfig of the capture pin: the card's format catalogue and the
// current format, shared by every output pin.
class StreamConfig : public IAMStreamConfig {
public:
    StreamConfig(IUnknown* pin, CaptureFilter& filter) : pin(pin), filter(filter) {}

    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

private:
    IUnknown* pin;
    CaptureFilter& filter;
};
