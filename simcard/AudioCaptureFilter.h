#pragma once

#include "simcard/FilterCore.h"
#include "simcard/Module.h"

#include <dshow.h>
#include <ocidl.h>

// An audio capture device of the simulated system: a filter without pins
// that joins a graph and runs and stops with it. It makes no sound.
class AudioCaptureFilter final : public IBaseFilter, public IPersistPropertyBag, private ModuleObject {
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

private:
    AudioCaptureFilter() = default;
    ~AudioCaptureFilter() = default;
    HRESULT ChangeState(FILTER_STATE newState, const char* method);

    volatile LONG refs = 1;
    FilterCore core;
    char deviceName[384] = {}; // friendly name, UTF-8, for the journal
};
