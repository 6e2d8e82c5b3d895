#include "simcard/base/PinCategory.h"

#include <vfwmsgs.h>

STDMETHODIMP PinCategory::Set(REFGUID set, DWORD, void*, DWORD, void*, DWORD) {
    return set == AMPROPSETID_Pin ? E_PROP_ID_UNSUPPORTED : E_PROP_SET_UNSUPPORTED;
}

STDMETHODIMP PinCategory::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataSize,
                              DWORD* returned) {
    if (set != AMPROPSETID_Pin) {
        return E_PROP_SET_UNSUPPORTED;
    }
    if (id != AMPROPERTY_PIN_CATEGORY) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (!data && !returned) {
        return E_POINTER;
    }
    if (returned) {
        *returned = sizeof(GUID);
    }
    if (!data) {
        return S_OK;
    }
    if (dataSize < sizeof(GUID)) {
        return E_UNEXPECTED;
    }
    *static_cast<GUID*>(data) = category;
    return S_OK;
}

STDMETHODIMP PinCategory::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin) {
        return E_PROP_SET_UNSUPPORTED;
    }
    if (id != AMPROPERTY_PIN_CATEGORY) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (support) {
        *support = KSPROPERTY_SUPPORT_GET;
    }
    return S_OK;
}
