#include "simcard/AnalogInputPin.h"

#include "simcard/CaptureFilter.h"
#include "simcard/MediaTypeEnumerator.h"

#include <cstring>
#include <cwchar>

namespace {
const wchar_t PinName[] = L"Analog Video In";
}

HRESULT CopyPinId(const wchar_t* name, LPWSTR* id) {
    if (!id) {
        return E_POINTER;
    }
    const size_t bytes = (std::wcslen(name) + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(*id, name, bytes);
    return S_OK;
}

void FillPinInfo(PIN_INFO& info, IBaseFilter* filter, PIN_DIRECTION direction, const wchar_t* name) {
    info.pFilter = filter;
    filter->AddRef();
    info.dir = direction;
    const size_t room = sizeof info.achName / sizeof info.achName[0];
    std::wcsncpy(info.achName, name, room - 1);
    info.achName[room - 1] = L'\0';
}

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

STDMETHODIMP_(ULONG) AnalogInputPin::AddRef() {
    return filter.AddRef();
}
STDMETHODIMP_(ULONG) AnalogInputPin::Release() {
    return filter.Release();
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

STDMETHODIMP AnalogInputPin::QueryPinInfo(PIN_INFO* info) {
    if (!info) {
        return E_POINTER;
    }
    FillPinInfo(*info, &filter, PINDIR_INPUT, PinName);
    return S_OK;
}

STDMETHODIMP AnalogInputPin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) {
        return E_POINTER;
    }
    *direction = PINDIR_INPUT;
    return S_OK;
}

STDMETHODIMP AnalogInputPin::QueryId(LPWSTR* id) {
    return CopyPinId(PinName, id);
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

STDMETHODIMP AnalogInputPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
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
STDMETHODIMP AnalogInputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    return S_OK;
}
