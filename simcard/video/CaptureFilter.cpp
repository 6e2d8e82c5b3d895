#include "simcard/video/CaptureFilter.h"

#include "simcard/controls/CardAudioOutput.h"
#include "simcard/server/Guids.h"
#include "simcard/hooks/Journal.h"
#include "simcard/hooks/RecordedCall.h"

#include <cstring>
#include <cwchar>
#include <new>

CaptureFilter::CaptureFilter()
    : DeviceFilter(CLSID_SimTvCaptureFilter, "Filter"), variant(CardVariant::FromEnvironment()),
      inputPinPresent(!variant.noInputPin), formats(variant), inputPin(*this),
      capturePin(*this, Core(), formats, FormatState::CapturePin, card, L"Capture", PIN_CATEGORY_CAPTURE),
      previewPin(*this, Core(), formats, FormatState::PreviewPin, card, L"Preview", PIN_CATEGORY_PREVIEW),
      crossbar(static_cast<IBaseFilter*>(this), card, variant.crossbarNoInputs),
      tuner(static_cast<IBaseFilter*>(this), card), tvAudio(static_cast<IBaseFilter*>(this), card),
      procAmp(static_cast<IBaseFilter*>(this), card) {
    CardAudioOutput::Attach(card);
}

CaptureFilter::~CaptureFilter() {
    CardAudioOutput::Detach(card);
    ReleaseOutputs();
}

void* CaptureFilter::OtherInterface(REFIID iid) {
    if (void* persist = DeviceFilter::OtherInterface(iid)) {
        return persist;
    }
    if (iid == IID_ISpecifyPropertyPages) {
        return static_cast<ISpecifyPropertyPages*>(this);
    }
    if (iid == IID_IAMCrossbar && !variant.noCrossbar) {
        return static_cast<IAMCrossbar*>(&crossbar);
    }
    if ((iid == IID_IAMTVTuner || iid == IID_IAMTuner) && !variant.noTuner) {
        return static_cast<IAMTVTuner*>(&tuner);
    }
    if (iid == IID_IAMTVAudio) {
        return static_cast<IAMTVAudio*>(&tvAudio);
    }
    if (iid == IID_IAMVideoProcAmp) {
        return static_cast<IAMVideoProcAmp*>(&procAmp);
    }
    return nullptr;
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

std::vector<SourcePin*> CaptureFilter::Outputs() {
    std::vector<SourcePin*> pins{&capturePin};
    if (variant.previewPin) {
        pins.push_back(&previewPin);
    }
    return pins;
}

HRESULT CaptureFilter::StartStreaming() {
    // A refused Run also refuses the pause that starts it: Wine's graph runs
    // filters asynchronously after pausing them and would not see Run fail.
    if (Faults::Injected("Filter.Run")) {
        return E_FAIL;
    }
    return DeviceFilter::StartStreaming();
}

void CaptureFilter::OnGraphChanged(IFilterGraph* graph, LPCWSTR name) {
    if (!graph) {
        Journal::Record(S_OK, "Filter.LeaveFilterGraph");
        return;
    }
    char narrow[384];
    Journal::ToUtf8(name, narrow, sizeof narrow);
    Journal::Record(S_OK, "Filter.JoinFilterGraph name=\"%s\"", narrow);
}

void CaptureFilter::LoadProperties(IPropertyBag* bag, IErrorLog* log) {
    // A registration may give one device the role of a card without its input pin.
    wchar_t role[32];
    if (ReadText(bag, L"SimTvRole", log, role, sizeof role / sizeof role[0]) &&
        std::wcscmp(role, L"NoInputPin") == 0) {
        inputPinPresent = false;
    }
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
