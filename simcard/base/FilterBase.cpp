#include "simcard/base/FilterBase.h"

#include "simcard/base/OutParam.h"
#include "simcard/base/PinEnumerator.h"

#include <cwchar>
#include <new>

FilterBase::FilterBase(const CLSID& id, bool liveSource)
    : clsid(id), pausedState(liveSource ? VFW_S_CANT_CUE : S_OK) {
    InitializeCriticalSection(&stateChange);
}

FilterBase::~FilterBase() {
    DeleteCriticalSection(&stateChange);
}

STDMETHODIMP FilterBase::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
        *out = static_cast<IBaseFilter*>(this);
    } else {
        *out = OtherInterface(iid);
    }
    if (!*out) {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FilterBase::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) FilterBase::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP FilterBase::GetClassID(CLSID* id) {
    return Give(id, clsid);
}

STDMETHODIMP FilterBase::Stop() {
    ScopedLock change(stateChange);
    return RecordStateCall("Stop", [this] {
        // Outside the data lock: a thread still delivering may call the pins.
        StopStreaming();
        core.SetState(State_Stopped);
        return S_OK;
    });
}

STDMETHODIMP FilterBase::Pause() {
    ScopedLock change(stateChange);
    return RecordStateCall("Pause", [this] {
        HRESULT hr = S_OK;
        {
            ScopedLock hold(core.Lock());
            const FILTER_STATE state = core.State();
            if (state == State_Stopped) {
                hr = StartStreaming();
            } else if (state == State_Running) {
                hr = PauseStreaming();
            }
            if (SUCCEEDED(hr)) {
                core.SetState(State_Paused);
            }
        }
        if (FAILED(hr)) {
            StopStreaming();
        }
        return hr;
    });
}

STDMETHODIMP FilterBase::Run(REFERENCE_TIME start) {
    ScopedLock change(stateChange);
    return RecordStateCall("Run", [this, start] {
        HRESULT hr = core.State() == State_Stopped ? Pause() : S_OK;
        if (SUCCEEDED(hr)) {
            ScopedLock hold(core.Lock());
            hr = RunStreaming(start, core.Clock());
            if (SUCCEEDED(hr)) {
                core.SetState(State_Running);
            }
        }
        return hr;
    });
}

STDMETHODIMP FilterBase::GetState(DWORD, FILTER_STATE* current) {
    return core.GetState(current, pausedState);
}

STDMETHODIMP FilterBase::SetSyncSource(IReferenceClock* clock) {
    return core.SetSyncSource(clock);
}

STDMETHODIMP FilterBase::GetSyncSource(IReferenceClock** clock) {
    return core.GetSyncSource(clock);
}

STDMETHODIMP FilterBase::EnumPins(IEnumPins** pins) {
    if (!pins) {
        return E_POINTER;
    }
    *pins = new (std::nothrow) PinEnumerator(this, Pins());
    return *pins ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FilterBase::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) {
        return E_POINTER;
    }
    *pin = nullptr;
    for (IPin* candidate : Pins()) {
        TaskMem<WCHAR> candidateId;
        if (SUCCEEDED(candidate->QueryId(candidateId.Put())) && std::wcscmp(candidateId.Get(), id) == 0) {
            *pin = ComRef<IPin>::Share(candidate).Detach();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP FilterBase::QueryFilterInfo(FILTER_INFO* info) {
    return core.QueryFilterInfo(info);
}

STDMETHODIMP FilterBase::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    core.JoinFilterGraph(graph, graph ? name : nullptr);
    OnGraphChanged(graph, name);
    return S_OK;
}

STDMETHODIMP FilterBase::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;
}
