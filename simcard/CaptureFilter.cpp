#include "simcard/CaptureFilter.h"

#include "simcard/Guids.h"
#include "simcard/Journal.h"
#include "simcard/FilterPins.h"

#include <cstring>
#include <cwchar>
#include <new>

HRESULT CaptureFilter::Create(REFIID iid, void** out) {
    auto* filter = new (std::nothrow) CaptureFilter();
    if (!filter) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = filter->QueryInterface(iid, out);
    filter->Release();
    return hr;
}

CaptureFilter::CaptureFilter()
    : variant(CardVariant::FromEnvironment()), inputPinPresent(!variant.noInputPin), formats(variant),
      currentFormat(formats.Default()), inputPin(*this),
      capturePin(*this, L"Capture", PIN_CATEGORY_CAPTURE, true),
      previewPin(*this, L"Preview", PIN_CATEGORY_PREVIEW, false),
      crossbar(static_cast<IBaseFilter*>(this), card, variant.crossbarNoInputs),
      tuner(static_cast<IBaseFilter*>(this), card), tvAudio(static_cast<IBaseFilter*>(this), card),
      procAmp(static_cast<IBaseFilter*>(this), card) {
    InitializeCriticalSection(&stateChange);
}

CaptureFilter::~CaptureFilter() {
    for (OutputPin* pin : Outputs()) {
        pin->Deactivate();
        pin->Disconnect();
    }
    DeleteCriticalSection(&stateChange);
}

STDMETHODIMP CaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
        *out = static_cast<IBaseFilter*>(this);
    } else if (iid == IID_IPersistPropertyBag) {
        *out = static_cast<IPersistPropertyBag*>(this);
    } else if (iid == IID_ISpecifyPropertyPages) {
        *out = static_cast<ISpecifyPropertyPages*>(this);
    } else if (iid == IID_IAMCrossbar && !variant.noCrossbar) {
        *out = static_cast<IAMCrossbar*>(&crossbar);
    } else if ((iid == IID_IAMTVTuner || iid == IID_IAMTuner) && !variant.noTuner) {
        *out = static_cast<IAMTVTuner*>(&tuner);
    } else if (iid == IID_IAMTVAudio) {
        *out = static_cast<IAMTVAudio*>(&tvAudio);
    } else if (iid == IID_IAMVideoProcAmp) {
        *out = static_cast<IAMVideoProcAmp*>(&procAmp);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CaptureFilter::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) CaptureFilter::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP CaptureFilter::GetClassID(CLSID* id) {
    if (!id) {
        return E_POINTER;
    }
    *id = CLSID_SimTvCaptureFilter;
    return S_OK;
}

std::vector<IPin*> CaptureFilter::Pins() {
    std::vector<IPin*> pins;
    if (inputPinPresent) {
        pins.push_back(&inputPin);
    }
    pins.push_back(&capturePin);
    if (variant.previewPin) {
        pins.push_back(&previewPin);
    }
    return pins;
}

std::vector<OutputPin*> CaptureFilter::Outputs() {
    std::vector<OutputPin*> pins{&capturePin};
    if (variant.previewPin) {
        pins.push_back(&previewPin);
    }
    return pins;
}

STDMETHODIMP CaptureFilter::Stop() {
    HRESULT hr = S_OK;
    EnterCriticalSection(&stateChange);
    if (Faults::Injected("Filter.Stop")) {
        hr = E_FAIL;
    } else {
        core.SetState(State_Stopped);
        // Outside the data lock: a thread still delivering may call the pins.
        for (OutputPin* pin : Outputs()) {
            pin->Deactivate();
        }
    }
    LeaveCriticalSection(&stateChange);
    Journal::Record(hr, "Filter.Stop");
    return hr;
}

STDMETHODIMP CaptureFilter::Pause() {
    HRESULT hr = S_OK;
    EnterCriticalSection(&stateChange);
    EnterCriticalSection(&core.Lock());
    const FILTER_STATE state = core.State();
    // A refused Run also refuses the pause that starts it: Wine's graph runs
    // filters asynchronously after pausing them and would not see Run fail.
    if (Faults::Injected("Filter.Pause") || (state == State_Stopped && Faults::Injected("Filter.Run"))) {
        hr = E_FAIL;
    } else if (state == State_Stopped) {
        for (OutputPin* pin : Outputs()) {
            if (FAILED(hr = pin->Activate())) {
                break;
            }
        }
    } else if (state == State_Running) {
        for (OutputPin* pin : Outputs()) {
            pin->Pause();
        }
    }
    if (SUCCEEDED(hr)) {
        core.SetState(State_Paused);
    }
    LeaveCriticalSection(&core.Lock());
    if (FAILED(hr)) {
        for (OutputPin* pin : Outputs()) {
            pin->Deactivate();
        }
    }
    LeaveCriticalSection(&stateChange);
    Journal::Record(hr, "Filter.Pause");
    return hr;
}

STDMETHODIMP CaptureFilter::Run(REFERENCE_TIME start) {
    HRESULT hr = S_OK;
    EnterCriticalSection(&stateChange);
    if (Faults::Injected("Filter.Run")) {
        hr = E_FAIL;
    } else {
        if (core.State() == State_Stopped) {
            hr = Pause();
        }
        if (SUCCEEDED(hr)) {
            EnterCriticalSection(&core.Lock());
            for (OutputPin* pin : Outputs()) {
                pin->Run(start, core.Clock());
            }
            core.SetState(State_Running);
            LeaveCriticalSection(&core.Lock());
        }
    }
    LeaveCriticalSection(&stateChange);
    Journal::Record(hr, "Filter.Run");
    return hr;
}

STDMETHODIMP CaptureFilter::GetState(DWORD, FILTER_STATE* current) {
    return core.GetState(current, VFW_S_CANT_CUE);
}

STDMETHODIMP CaptureFilter::SetSyncSource(IReferenceClock* clock) {
    return core.SetSyncSource(clock);
}

STDMETHODIMP CaptureFilter::GetSyncSource(IReferenceClock** clock) {
    return core.GetSyncSource(clock);
}

STDMETHODIMP CaptureFilter::EnumPins(IEnumPins** pins) {
    return EnumFilterPins(this, Pins(), pins);
}

STDMETHODIMP CaptureFilter::FindPin(LPCWSTR id, IPin** pin) {
    return FindFilterPin(Pins(), id, pin);
}

STDMETHODIMP CaptureFilter::QueryFilterInfo(FILTER_INFO* info) {
    return core.QueryFilterInfo(info);
}

STDMETHODIMP CaptureFilter::JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName) {
    core.JoinFilterGraph(newGraph, newGraph ? newName : nullptr);
    char narrow[384];
    Journal::ToUtf8(newName, narrow, sizeof narrow);
    if (newGraph) {
        Journal::Record(S_OK, "Filter.JoinFilterGraph name=\"%s\"", narrow);
    } else {
        Journal::Record(S_OK, "Filter.LeaveFilterGraph");
    }
    return S_OK;
}

STDMETHODIMP CaptureFilter::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;
}

STDMETHODIMP CaptureFilter::InitNew() {
    return S_OK;
}

STDMETHODIMP CaptureFilter::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) {
        return E_POINTER;
    }
    if (Faults::Injected("Filter.Load")) {
        return E_FAIL;
    }
    // A registration may give one device the role of a card without its input pin.
    VARIANT role;
    VariantInit(&role);
    role.vt = VT_BSTR;
    if (SUCCEEDED(bag->Read(L"SimTvRole", &role, log)) && role.vt == VT_BSTR && role.bstrVal &&
        std::wcscmp(role.bstrVal, L"NoInputPin") == 0) {
        inputPinPresent = false;
    }
    VariantClear(&role);
    return S_OK;
}

STDMETHODIMP CaptureFilter::Save(IPropertyBag*, BOOL, BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP CaptureFilter::GetPages(CAUUID* pages) {
    if (!pages) {
        return E_POINTER;
    }
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (Faults::Injected("Filter.GetPages")) {
        return E_FAIL;
    }
    const GUID all[] = {CLSID_SimTvInputPage, CLSID_SimTvPicturePage, CLSID_SimTvTunerPage};
    const ULONG count = variant.onePage ? 1 : 3;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * count));
    if (!pages->pElems) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(pages->pElems, all, sizeof(GUID) * count);
    pages->cElems = count;
    return S_OK;
}

void CaptureFilter::ChooseFormat(const MediaType& format, bool bySetFormat) {
    currentFormat = format;
    formatChosen = formatChosen || bySetFormat;
}

bool CaptureFilter::AnyOutputConnected() const {
    return capturePin.IsConnected() || previewPin.IsConnected();
}

void CaptureFilter::UpdateConnectedFrameDuration(REFERENCE_TIME duration) {
    capturePin.SetConnectionFrameDuration(duration);
    previewPin.SetConnectionFrameDuration(duration);
}
