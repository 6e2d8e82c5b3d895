#include "simcard/base/MediaTypeEnumerator.h"

MediaTypeEnumerator::MediaTypeEnumerator(const std::vector<MediaType>& list, size_t start)
    : types(list), position(start) {}

STDMETHODIMP MediaTypeEnumerator::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) {
        *out = static_cast<IEnumMediaTypes*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) MediaTypeEnumerator::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) MediaTypeEnumerator::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP MediaTypeEnumerator::Next(ULONG count, AM_MEDIA_TYPE** out, ULONG* fetched) {
    if (!out || (count > 1 && !fetched)) {
        return E_POINTER;
    }
    ULONG given = 0;
    while (given < count && position < types.size()) {
        out[given] = MediaTypes::Clone(types[position].Get());
        if (!out[given]) {
            break;
        }
        ++position;
        ++given;
    }
    if (fetched) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP MediaTypeEnumerator::Skip(ULONG count) {
    if (position + count > types.size()) {
        position = types.size();
        return S_FALSE;
    }
    position += count;
    return S_OK;
}

STDMETHODIMP MediaTypeEnumerator::Reset() {
    position = 0;
    return S_OK;
}

STDMETHODIMP MediaTypeEnumerator::Clone(IEnumMediaTypes** clone) {
    if (!clone) {
        return E_POINTER;
    }
    *clone = new MediaTypeEnumerator(types, position);
    return S_OK;
}
