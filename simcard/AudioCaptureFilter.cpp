#include "simcard/AudioCaptureFilter.h"

#include "simcard/FilterPins.h"
#include "simcard/Guids.h"
#include "simcard/Journal.h"
#include "simcard/Options.h"

#include <cstring>
#include <new>

HRESULT AudioCaptureFilter::Create(REFIID iid, void** out) {
    auto* filter = new (std::nothrow) AudioCaptureFilter();
    if (!filter) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = filter->QueryInterface(iid, out);
    filter->Release();
    return hr;
}

STDMETHODIMP AudioCaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
        *out = static_cast<IBaseFilter*>(this);
    } else if (iid == IID_IPersistPropertyBag) {
        *out = static_cast<IPersistPropertyBag*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) AudioCaptureFilter::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) AudioCaptureFilter::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP AudioCaptureFilter::GetClassID(CLSID* id) {
    if (!id) {
        return E_POINTER;
    }
    *id = CLSID_SimTvAudioCaptureFilter;
    return S_OK;
}

HRESULT AudioCaptureFilter::ChangeState(FILTER_STATE newState, const char* method) {
    char qualified[32] = "AudioCapture.";
    std::strncat(qualified, method, sizeof qualified - std::strlen(qualified) - 1);
    const HRESULT hr = Faults::Injected(qualified) ? E_FAIL : S_OK;
    if (hr == S_OK) {
        core.SetState(newState);
    }
    Journal::Record(hr, "AudioCapture.%s device=\"%s\"", method, deviceName);
    return hr;
}

STDMETHODIMP AudioCaptureFilter::Stop() {
    return ChangeState(State_Stopped, "Stop");
}
STDMETHODIMP AudioCaptureFilter::Pause() {
    return ChangeState(State_Paused, "Pause");
}
STDMETHODIMP AudioCaptureFilter::Run(REFERENCE_TIME) {
    return ChangeState(State_Running, "Run");
}

STDMETHODIMP AudioCaptureFilter::GetState(DWORD, FILTER_STATE* current) {
    return core.GetState(current, VFW_S_CANT_CUE);
}

STDMETHODIMP AudioCaptureFilter::SetSyncSource(IReferenceClock* clock) {
    return core.SetSyncSource(clock);
}

STDMETHODIMP AudioCaptureFilter::GetSyncSource(IReferenceClock** clock) {
    return core.GetSyncSource(clock);
}

STDMETHODIMP AudioCaptureFilter::EnumPins(IEnumPins** pins) {
    return EnumFilterPins(this, {}, pins);
}

STDMETHODIMP AudioCaptureFilter::FindPin(LPCWSTR id, IPin** pin) {
    return FindFilterPin({}, id, pin);
}

STDMETHODIMP AudioCaptureFilter::QueryFilterInfo(FILTER_INFO* info) {
    return core.QueryFilterInfo(info);
}

STDMETHODIMP AudioCaptureFilter::JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName) {
    core.JoinFilterGraph(newGraph, newGraph ? newName : nullptr);
    Journal::Record(S_OK, "AudioCapture.%s device=\"%s\"", newGraph ? "JoinFilterGraph" : "LeaveFilterGraph",
                    deviceName);
    return S_OK;
}

STDMETHODIMP AudioCaptureFilter::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;
}

STDMETHODIMP AudioCaptureFilter::InitNew() {
    return S_OK;
}

STDMETHODIMP AudioCaptureFilter::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) {
        return E_POINTER;
    }
    if (Faults::Injected("AudioCapture.Load")) {
        return E_FAIL;
    }
    VARIANT friendly;
    VariantInit(&friendly);
    friendly.vt = VT_BSTR;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &friendly, log)) && friendly.vt == VT_BSTR) {
        Journal::ToUtf8(friendly.bstrVal, deviceName, sizeof deviceName);
    }
    VariantClear(&friendly);
    return S_OK;
}

STDMETHODIMP AudioCaptureFilter::Save(IPropertyBag*, BOOL, BOOL) {
    return E_NOTIMPL;
}
