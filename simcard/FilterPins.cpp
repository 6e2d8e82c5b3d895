#include "simcard/FilterPins.h"

#include "simcard/PinEnumerator.h"

#include <cwchar>
#include <new>

HRESULT EnumFilterPins(IBaseFilter* filter, const std::vector<IPin*>& pins, IEnumPins** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = new (std::nothrow) PinEnumerator(filter, pins);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT FindFilterPin(const std::vector<IPin*>& pins, LPCWSTR id, IPin** out) {
    if (!id || !out) {
        return E_POINTER;
    }
    *out = nullptr;
    for (IPin* candidate : pins) {
        LPWSTR candidateId = nullptr;
        if (SUCCEEDED(candidate->QueryId(&candidateId))) {
            const bool same = std::wcscmp(candidateId, id) == 0;
            CoTaskMemFree(candidateId);
            if (same) {
                *out = candidate;
                candidate->AddRef();
                return S_OK;
            }
        }
    }
    return VFW_E_NOT_FOUND;
}
