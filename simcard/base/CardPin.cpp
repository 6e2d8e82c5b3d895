#include "simcard/base/CardPin.h"

#include "simcard/base/OutParam.h"

#include <cstring>
#include <cwchar>

CardPin::CardPin(IBaseFilter& filter, const wchar_t* pinName, PIN_DIRECTION pinDirection)
    : owner(filter), name(pinName), direction(pinDirection) {}

STDMETHODIMP_(ULONG) CardPin::AddRef() {
    return owner.AddRef();
}
STDMETHODIMP_(ULONG) CardPin::Release() {
    return owner.Release();
}

STDMETHODIMP CardPin::QueryPinInfo(PIN_INFO* info) {
    if (!info) {
        return E_POINTER;
    }
    info->pFilter = &owner;
    owner.AddRef();
    info->dir = direction;
    const size_t room = sizeof info->achName / sizeof info->achName[0];
    std::wcsncpy(info->achName, name, room - 1);
    info->achName[room - 1] = L'\0';
    return S_OK;
}

STDMETHODIMP CardPin::QueryDirection(PIN_DIRECTION* out) {
    return Give(out, direction);
}

STDMETHODIMP CardPin::QueryId(LPWSTR* id) {
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

STDMETHODIMP CardPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

STDMETHODIMP CardPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    return S_OK;
}

STDMETHODIMP CardPin::Connect(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;
}
STDMETHODIMP CardPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
    if (direction == PINDIR_OUTPUT) {
        return E_UNEXPECTED; // only an input pin receives a connection
    }
    return connector && type ? VFW_E_TYPE_NOT_ACCEPTED : E_POINTER;
}
STDMETHODIMP CardPin::Disconnect() {
    return S_FALSE;
}

STDMETHODIMP CardPin::ConnectedTo(IPin** pin) {
    if (!pin) {
        return E_POINTER;
    }
    *pin = nullptr;
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP CardPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    std::memset(type, 0, sizeof *type);
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP CardPin::QueryAccept(const AM_MEDIA_TYPE*) {
    return S_FALSE;
}

// The stream's notifications travel downstream: an output pin never gets them.
STDMETHODIMP CardPin::EndOfStream() {
    return direction == PINDIR_OUTPUT ? E_UNEXPECTED : S_OK;
}
STDMETHODIMP CardPin::BeginFlush() {
    return direction == PINDIR_OUTPUT ? E_UNEXPECTED : S_OK;
}
STDMETHODIMP CardPin::EndFlush() {
    return direction == PINDIR_OUTPUT ? E_UNEXPECTED : S_OK;
}
