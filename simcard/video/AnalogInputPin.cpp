#include "simcard/video/AnalogInputPin.h"

#include "simcard/base/MediaTypeEnumerator.h"

AnalogInputPin::AnalogInputPin(IBaseFilter& filter) : CardPin(filter, L"Analog Video In", PINDIR_INPUT) {}

STDMETHODIMP AnalogInputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *out = static_cast<IPin*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP AnalogInputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) {
        return E_POINTER;
    }
    *types = new MediaTypeEnumerator({});
    return S_OK;
}
