#include "simcard/base/PinEnumerator.h"

PinEnumerator::PinEnumerator(IBaseFilter* owner, const std::vector<IPin*>& list, size_t start)
    : filter(owner), pins(list), position(start) {
    filter->AddRef();
}

PinEnumerator::~PinEnumerator() {
    filter->Release();
}

STDMETHODIMP PinEnumerator::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IEnumPins) {
        *out = static_cast<IEnumPins*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PinEnumerator::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) PinEnumerator::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP PinEnumerator::Next(ULONG count, IPin** out, ULONG* fetched) {
    if (!out || (count > 1 && !fetched)) {
        return E_POINTER;
    }
    ULONG given = 0;
    while (given < count && position < pins.size()) {
        out[given] = pins[position++];
        out[given]->AddRef();
        ++given;
    }
    if (fetched) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP PinEnumerator::Skip(ULONG count) {
    if (position + count > pins.size()) {
        position = pins.size();
        return S_FALSE;
    }
    position += count;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Reset() {
    position = 0;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Clone(IEnumPins** clone) {
    if (!clone) {
        return E_POINTER;
    }
    *clone = new PinEnumerator(filter, pins, position);
    return S_OK;
}
