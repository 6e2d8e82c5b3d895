#pragma once

#include "simcard/AnalogInputPin.h"
#include "simcard/CardState.h"
#include "simcard/Crossbar.h"
#include "simcard/FilterCore.h"
#include "simcard/FormatCatalogue.h"
#include "simcard/Module.h"
#include "simcard/Options.h"
#include "simcard/OutputPin.h"
#include "simcard/ProcAmp.h"
#include "simcard/Tuner.h"
#include "simcard/TvAudio.h"

#include <dshow.h>
#include <ocidl.h>

#include <vector>

// The video capture filter "Narvo TV": the analog input pin, the capture pin
// (and, in a variant, a preview pin), and every control interface of the card
// on the filter object itself. It never holds a counted reference on its graph.
class CaptureFilter final : public IBaseFilter,
                            public IPersistPropertyBag,
                            public ISpecifyPropertyPages,
                            private ModuleObject {
public:
    static HRESULT Create(REFIID iid, void** out);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetClassID(CLSID* id) override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;

    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    STDMETHODIMP GetPages(CAUUID* pages) override;

    // For the pins and their interfaces.
    CRITICAL_SECTION& Lock() { return core.Lock(); }
    FILTER_STATE State() const { return core.State(); }
    CardState& Card() { return card; }
    const FormatCatalogue& Formats() const { return formats; }
    const MediaType& CurrentFormat() const { return currentFormat; }
    bool FormatChosen() const { return formatChosen; }
    // Makes the format current and tells the connected pins' peers nothing:
    // only the frame duration may change while a pin is connected.
    void ChooseFormat(const MediaType& format, bool bySetFormat);
    bool AnyOutputConnected() const;
    void UpdateConnectedFrameDuration(REFERENCE_TIME duration);

private:
    CaptureFilter();
    ~CaptureFilter();

    std::vector<IPin*> Pins();
    std::vector<OutputPin*> Outputs();

    volatile LONG refs = 1;
    FilterCore core;              // its lock guards the data of the filter and its pins
    CRITICAL_SECTION stateChange; // serialises Run/Pause/Stop, held while threads end

    const CardVariant variant;
    bool inputPinPresent;
    CardState card;
    FormatCatalogue formats;
    MediaType currentFormat;
    bool formatChosen = false;

    AnalogInputPin inputPin;
    OutputPin capturePin;
    OutputPin previewPin;
    Crossbar crossbar;
    Tuner tuner;
    TvAudio tvAudio;
    ProcAmp procAmp;
};
