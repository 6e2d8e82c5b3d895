#include "simcard/video/AnalogInputPin.h"

#include "simcard/base/MediaTypeEnumerator.h"

#include <cstring>

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

STDMETHODIMP AnalogInputPin::Connect(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;
}
STDMETHODIMP AnalogInputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
    return connector && type ? VFW_E_TYPE_NOT_ACCEPTED : E_POINTER;
}
STDMETHODIMP AnalogInputPin::Disconnect() {
    return S_FALSE;
}

STDMETHODIMP AnalogInputPin::ConnectedTo(IPin** pin) {
    if (!pin) {
        return E_POINTER;
    }
    *pin = nullptr;
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP AnalogInputPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    std::memset(type, 0, sizeof *type);
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP AnalogInputPin::QueryAccept(const AM_MEDIA_TYPE*) {
    return S_FALSE;
}

STDMETHODIMP AnalogInputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) {
        return E_POINTER;
    }
    *types = new MediaTypeEnumerator({});
    return S_OK;
}

STDMETHODIMP AnalogInputPin::EndOfStream() {
    return S_OK;
}
STDMETHODIMP AnalogInputPin::BeginFlush() {
    return S_OK;
}
STDMETHODIMP AnalogInputPin::EndFlush() {
    return S_OK;
}
