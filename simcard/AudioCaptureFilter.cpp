#include "simcard/AudioCaptureFilter.h"

#include "simcard/Guids.h"
#include "simcard/Journal.h"
#include "simcard/Options.h"
#include "simcard/PinEnumerator.h"

#include <cstring>
#include <cwchar>
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

AudioCaptureFilter::AudioCaptureFilter() {
    InitializeCriticalSection(&lock);
}

AudioCaptureFilter::~AudioCaptureFilter() {
    if (clock) {
        clock->Release();
    }
    DeleteCriticalSection(&lock);
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
        EnterCriticalSection(&lock);
        state = newState;
        LeaveCriticalSection(&lock);
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
    if (!current) {
        return E_POINTER;
    }
    EnterCriticalSection(&lock);
    *current = state;
    LeaveCriticalSection(&lock);
    return *current == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP AudioCaptureFilter::SetSyncSource(IReferenceClock* newClock) {
    EnterCriticalSection(&lock);
    if (newClock) {
        newClock->AddRef();
    }
    if (clock) {
        clock->Release();
    }
    clock = newClock;
    LeaveCriticalSection(&lock);
    return S_OK;
}

STDMETHODIMP AudioCaptureFilter::GetSyncSource(IReferenceClock** current) {
    if (!current) {
        return E_POINTER;
    }
    EnterCriticalSection(&lock);
    *current = clock;
    if (clock) {
        clock->AddRef();
    }
    LeaveCriticalSection(&lock);
    return S_OK;
}

STDMETHODIMP AudioCaptureFilter::EnumPins(IEnumPins** pins) {
    if (!pins) {
        return E_POINTER;
    }
    *pins = new (std::nothrow) PinEnumerator(this, {});
    return *pins ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP AudioCaptureFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) {
        return E_POINTER;
    }
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP AudioCaptureFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) {
        return E_POINTER;
    }
    EnterCriticalSection(&lock);
    std::memcpy(info->achName, name, sizeof info->achName);
    info->pGraph = graph;
    if (graph) {
        graph->AddRef();
    }
    LeaveCriticalSection(&lock);
    return S_OK;
}

STDMETHODIMP AudioCaptureFilter::JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName) {
    EnterCriticalSection(&lock);
    graph = newGraph;
    std::memset(name, 0, sizeof name);
    if (newGraph && newName) {
        std::wcsncpy(name, newName, sizeof name / sizeof name[0] - 1);
    }
    LeaveCriticalSection(&lock);
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
