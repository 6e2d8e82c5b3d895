#pragma once

#include "simcard/video/AnalogInputPin.h"
#include "simcard/controls/CardState.h"
#include "simcard/controls/Crossbar.h"
#include "simcard/hooks/Options.h"
#include "simcard/video/OutputPin.h"
#include "simcard/controls/ProcAmp.h"
#include "simcard/controls/Tuner.h"
#include "simcard/controls/TvAudio.h"
#include "simcard/base/DeviceFilter.h"
#include "simcard/video/FormatState.h"

#include <dshow.h>
#include <ocidl.h>

#include <vector>

// The video capture filter "Narvo TV": the analog input pin, the capture pin
// (and, in a variant, a preview pin), and every control interface of the card
// on the filter object itself. It never holds a counted reference on its graph.
class CaptureFilter final : public DeviceFilter, public ISpecifyPropertyPages {
public:
    CaptureFilter();

    SIMCARD_FILTER_IUNKNOWN

    STDMETHODIMP GetPages(CAUUID* pages) override;

private:
    ~CaptureFilter() override;

    std::vector<IPin*> Pins() override;
    void* OtherInterface(REFIID iid) override;
    std::vector<SourcePin*> Outputs() override;
    HRESULT StartStreaming() override;
    void LoadProperties(IPropertyBag* bag, IErrorLog* log) override;
    void OnGraphChanged(IFilterGraph* graph, LPCWSTR name) override;

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
