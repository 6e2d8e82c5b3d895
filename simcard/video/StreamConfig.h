#pragma once

#include "simcard/server/Module.h"

#include <dshow.h>

class FilterCore;
class FormatState;

// IAMStreamConfig of the capture pin: the card's format list and the
// current format, shared by every output pin.
class StreamConfig : public IAMStreamConfig {
public:
    StreamConfig(IUnknown* pin, FilterCore& core, FormatState& formats)
        : pin(pin), core(core), formats(formats) {}

    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

private:
    HRESULT Choose(const AM_MEDIA_TYPE& type);

    IUnknown* pin;
    FilterCore& core;
    FormatState& formats;
};
