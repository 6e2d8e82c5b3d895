#pragma once

#include "simcard/video/AnalogInputPin.h"
#include "simcard/controls/CardState.h"
#include "simcard/controls/Crossbar.h"
#include "simcard/server/Module.h"
#include "simcard/hooks/Options.h"
#include "simcard/video/OutputPin.h"
#include "simcard/controls/ProcAmp.h"
#include "simcard/controls/Tuner.h"
#include "simcard/controls/TvAudio.h"
#include "simcard/base/FilterBase.h"
#include "simcard/video/FormatState.h"

#include <dshow.h>
#include <ocidl.h>

#include <vector>

// The video capture filter "Narvo TV": the analog input pin, the capture pin
// (and, in a variant, a preview pin), and every control interface of the card
// on the filter object itself. It never holds a counted reference on its graph.
class CaptureFilter final : public FilterBase,
                            public IPersistPropertyBag,
                            public ISpecifyPropertyPages,
                            private ModuleObject {
public:
    static HRESULT Create(REFIID iid, void** out);

    SIMCARD_FILTER_IUNKNOWN

    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    STDMETHODIMP GetPages(CAUUID* pages) override;

private:
    CaptureFilter();
    ~CaptureFilter() override;

    std::vector<IPin*> Pins() override;
    void* OtherInterface(REFIID iid) override;
    HRESULT StartStreaming() override;
    HRESULT PauseStreaming() override;
    HRESULT RunStreaming(REFERENCE_TIME start, IReferenceClock* clock) override;
    void StopStreaming() override;
    HRESULT RecordStateCall(const char* method, const std::function<HRESULT()>& call) override;
    void OnGraphChanged(IFilterGraph* graph, LPCWSTR name) override;

    std::vector<OutputPin*> Outputs();

    const CardVariant variant;
    bool inputPinPresent;
    CardState card;
    FormatState formats;

    AnalogInputPin inputPin;
    OutputPin capturePin;
    OutputPin previewPin;
    Crossbar crossbar;
    Tuner tuner;
    TvAudio tvAudio;
    ProcAmp procAmp;
};
