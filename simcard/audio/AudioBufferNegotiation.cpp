#include "simcard/audio/AudioBufferNegotiation.h"

#include "simcard/base/FilterCore.h"

STDMETHODIMP AudioBufferNegotiation::SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* properties) {
    if (!properties) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    if (settings.connected) {
        return VFW_E_ALREADY_CONNECTED;
    }
    settings.suggested = *properties;
    return S_OK;
}

STDMETHODIMP AudioBufferNegotiation::GetAllocatorProperties(ALLOCATOR_PROPERTIES* properties) {
    if (!properties) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    if (!settings.connected) {
        return VFW_E_NOT_CONNECTED;
    }
    *properties = settings.actual;
    return S_OK;
}
