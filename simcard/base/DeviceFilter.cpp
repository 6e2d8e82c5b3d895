#include "simcard/base/DeviceFilter.h"

#include "simcard/hooks/RecordedCall.h"

#include <cstdio>
#include <cwchar>

DeviceFilter::DeviceFilter(const CLSID& clsid, const char* filterPart)
    : FilterBase(clsid, true), part(filterPart) {}

void* DeviceFilter::OtherInterface(REFIID iid) {
    if (iid == IID_IAMFilterMiscFlags) {
        return static_cast<IAMFilterMiscFlags*>(this);
    }
    return iid == IID_IPersistPropertyBag ? static_cast<IPersistPropertyBag*>(this) : nullptr;
}

STDMETHODIMP_(ULONG) DeviceFilter::GetMiscFlags() {
    return AM_FILTER_MISC_FLAGS_IS_SOURCE;
}

void DeviceFilter::Qualify(const char* method, char* name, size_t size) const {
    std::snprintf(name, size, "%s.%s", part, method);
}

HRESULT DeviceFilter::RecordStateCall(const char* method, const std::function<HRESULT()>& call) {
    char name[40];
    Qualify(method, name, sizeof name);
    const char* details = JournalDetails();
    return details[0] ? RecordedCall(name, call, "%s", details) : RecordedCall(name, call);
}

HRESULT DeviceFilter::StartStreaming() {
    for (SourcePin* pin : Outputs()) {
        const HRESULT hr = pin->Activate();
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

HRESULT DeviceFilter::PauseStreaming() {
    for (SourcePin* pin : Outputs()) {
        pin->Pause();
    }
    return S_OK;
}

HRESULT DeviceFilter::RunStreaming(REFERENCE_TIME start, IReferenceClock* clock) {
    for (SourcePin* pin : Outputs()) {
        pin->Run(start, clock);
    }
    return S_OK;
}

void DeviceFilter::StopStreaming() {
    for (SourcePin* pin : Outputs()) {
        pin->Deactivate();
    }
}

void DeviceFilter::ReleaseOutputs() {
    for (SourcePin* pin : Outputs()) {
        pin->Deactivate();
        pin->Disconnect();
    }
}

STDMETHODIMP DeviceFilter::InitNew() {
    return S_OK;
}

STDMETHODIMP DeviceFilter::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) {
        return E_POINTER;
    }
    char name[40];
    Qualify("Load", name, sizeof name);
    if (Faults::Injected(name)) {
        return E_FAIL;
    }
    LoadProperties(bag, log);
    return S_OK;
}

STDMETHODIMP DeviceFilter::Save(IPropertyBag*, BOOL, BOOL) {
    return E_NOTIMPL;
}

bool DeviceFilter::ReadText(IPropertyBag* bag, const wchar_t* property, IErrorLog* log, wchar_t* text,
                            size_t size) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    const bool read = SUCCEEDED(bag->Read(property, &value, log)) && value.vt == VT_BSTR && value.bstrVal;
    if (read) {
        std::wcsncpy(text, value.bstrVal, size - 1);
        text[size - 1] = L'\0';
    }
    VariantClear(&value);
    return read;
}
