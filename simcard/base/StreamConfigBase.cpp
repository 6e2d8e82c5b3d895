#include "simcard/base/StreamConfigBase.h"

#include "simcard/base/FilterCore.h"
#include "simcard/hooks/RecordedCall.h"

#include <cstdio>

StreamConfigBase::StreamConfigBase(IUnknown* owner, FilterCore& filterCore, const char* partName, int size)
    : pin(owner), core(filterCore), part(partName), capsSize(size) {}

bool StreamConfigBase::Refused(const char* method) const {
    char name[64];
    std::snprintf(name, sizeof name, "%s.%s", part, method);
    return Faults::Injected(name);
}

STDMETHODIMP StreamConfigBase::SetFormat(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    char method[64];
    std::snprintf(method, sizeof method, "%s.SetFormat", part);
    char details[512];
    DescribeRequest(*type, details, sizeof details);
    return RecordedCall(
        method, [this, type] { return Choose(*type); }, "%s", details);
}

HRESULT StreamConfigBase::Choose(const AM_MEDIA_TYPE& type) {
    ScopedLock hold(core.Lock());
    if (core.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    MediaType accepted;
    const HRESULT hr = Validate(type, accepted);
    if (hr != S_OK) {
        return hr;
    }
    if (!FitsConnection(accepted.Get())) {
        return VFW_E_ALREADY_CONNECTED;
    }
    Take(accepted);
    return S_OK;
}

STDMETHODIMP StreamConfigBase::GetFormat(AM_MEDIA_TYPE** type) {
    if (!type) {
        return E_POINTER;
    }
    if (Refused("GetFormat")) {
        *type = nullptr;
        return E_FAIL;
    }
    ScopedLock hold(core.Lock());
    *type = MediaTypes::Clone(Current().Get());
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP StreamConfigBase::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) {
        return E_POINTER;
    }
    if (Refused("GetNumberOfCapabilities")) {
        return E_FAIL;
    }
    *count = Count();
    *size = capsSize;
    return S_OK;
}

STDMETHODIMP StreamConfigBase::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    if (!type || !caps) {
        return E_POINTER;
    }
    *type = nullptr;
    if (index < 0) {
        return E_INVALIDARG;
    }
    if (index >= Count()) {
        return S_FALSE;
    }
    *type = MediaTypes::Clone(At(index).Get());
    if (!*type) {
        return E_OUTOFMEMORY;
    }
    DescribeCaps(index, caps);
    return S_OK;
}
