#include "simcard/audio/AudioCaptureFilter.h"

#include "simcard/server/Guids.h"
#include "simcard/hooks/Journal.h"
#include "simcard/hooks/RecordedCall.h"

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

AudioCaptureFilter::AudioCaptureFilter() : FilterBase(CLSID_SimTvAudioCaptureFilter, true) {}

void* AudioCaptureFilter::OtherInterface(REFIID iid) {
    return iid == IID_IPersistPropertyBag ? static_cast<IPersistPropertyBag*>(this) : nullptr;
}

HRESULT AudioCaptureFilter::RecordStateCall(const char* method, const std::function<HRESULT()>& call) {
    char qualified[32] = "AudioCapture.";
    std::strncat(qualified, method, sizeof qualified - std::strlen(qualified) - 1);
    return RecordedCall(qualified, call, "device=\"%s\"", deviceName);
}

void AudioCaptureFilter::OnGraphChanged(IFilterGraph* graph, LPCWSTR) {
    Journal::Record(S_OK, "AudioCapture.%s device=\"%s\"", graph ? "JoinFilterGraph" : "LeaveFilterGraph",
                    deviceName);
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
