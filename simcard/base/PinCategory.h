#pragma once

#include "simcard/server/Module.h"

#include <dshow.h>

// IKsPropertySet of an output pin: answers the pin category, which is how the
// capture graph builder tells a capture pin from a preview pin.
class PinCategory : public IKsPropertySet {
public:
    PinCategory(IUnknown* pin, const GUID& category) : pin(pin), category(category) {}

    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* data,
                     DWORD dataSize) override;
    STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* data, DWORD dataSize,
                     DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

private:
    IUnknown* pin;
    GUID category;
};
