#pragma once

#include <dshow.h>

#include <vector>

// IEnumPins over the pins a filter had when the enumerator was made. Keeps
// the filter alive, and with it the pins (and the DLL the filter counts on).
class PinEnumerator final : public IEnumPins {
public:
    PinEnumerator(IBaseFilter* filter, const std::vector<IPin*>& pins, size_t position = 0);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** clone) override;

private:
    ~PinEnumerator();

    volatile LONG refs = 1;
    IBaseFilter* filter;
    std::vector<IPin*> pins;
    size_t position;
};
