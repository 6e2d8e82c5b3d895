#pragma once

#include "simcard/base/MediaTypes.h"
#include "simcard/server/Module.h"

#include <dshow.h>

class FilterCore;

// IAMStreamConfig of a capture pin, the rules every pin of the card keeps
// written once: SetFormat takes a listed format only while the filter is
// stopped and only if the pin's connection can carry it, and is journalled as
// "<part>.SetFormat"; the capabilities are the pin's list. GetFormat and
// GetNumberOfCapabilities answer E_FAIL when "<part>.<method>" is a fault
// point that SIMTV_FAIL names. The pin's kind says what its formats are.
class StreamConfigBase : public IAMStreamConfig {
public:
    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

protected:
    StreamConfigBase(IUnknown* pin, FilterCore& core, const char* part, int capsSize);
    ~StreamConfigBase() = default;

    // The journal's description of a requested format.
    virtual void DescribeRequest(const AM_MEDIA_TYPE& type, char* details, size_t size) const = 0;
    virtual HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const = 0;
    // False when a connection keeps the pin from changing to the format.
    virtual bool FitsConnection(const AM_MEDIA_TYPE& accepted) const = 0;
    virtual void Take(const MediaType& accepted) = 0;
    virtual const MediaType& Current() const = 0;
    virtual int Count() const = 0;
    virtual MediaType At(int index) const = 0;
    virtual void DescribeCaps(int index, BYTE* caps) const = 0;

private:
    HRESULT Choose(const AM_MEDIA_TYPE& type);
    bool Refused(const char* method) const;

    IUnknown* pin;
    FilterCore& core;
    const char* const part;
    const int capsSize;
};
