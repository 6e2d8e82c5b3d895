#pragma once

#include "common/Ownership.h"
#include "simcard/base/FilterCore.h"

#include <dshow.h>

#include <functional>
#include <vector>

// IUnknown, IBaseFilter and IMediaFilter of every filter here, the state
// logic written once. A filter says which pins it has, which further
// interfaces it answers, and what it does when streaming starts, runs,
// pauses and stops; the state changes only when those hooks succeed.
// Run/Pause/Stop are serialised; the hooks run under the data lock, all but
// StopStreaming, which may wait for a streaming thread that calls the pins.
class FilterBase : public IBaseFilter {
public:
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

protected:
    // A live source answers VFW_S_CANT_CUE to GetState while paused.
    FilterBase(const CLSID& clsid, bool liveSource);
    virtual ~FilterBase();

    FilterCore& Core() { return core; }
    const FilterCore& Core() const { return core; }

    // The pins the filter has now, in enumeration order.
    virtual std::vector<IPin*> Pins() { return {}; }
    // An interface beyond IBaseFilter's own, not yet counted; null for none.
    virtual void* OtherInterface(REFIID) { return nullptr; }

    // Stopped to paused, running to paused, paused to running, and back to
    // stopped; StopStreaming also undoes a StartStreaming that failed.
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT PauseStreaming() { return S_OK; }
    virtual HRESULT RunStreaming(REFERENCE_TIME, IReferenceClock*) { return S_OK; }
    virtual void StopStreaming() {}

    // Wraps Run, Pause and Stop ("Run", ...): a filter of the card refuses
    // and journals them here. The plain filter just makes the call.
    virtual HRESULT RecordStateCall(const char*, const std::function<HRESULT()>& call) { return call(); }
    // After the filter joined a graph (graph set) or left it.
    virtual void OnGraphChanged(IFilterGraph*, LPCWSTR) {}

private:
    volatile LONG refs = 1;
    const CLSID clsid;
    const HRESULT pausedState;
    FilterCore core;
    CRITICAL_SECTION stateChange;
};

// IUnknown and IPersist of a filter that adds interfaces of its own: one
// answer for all of its bases.
#define SIMCARD_FILTER_IUNKNOWN                                                                              \
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {                                           \
        return FilterBase::QueryInterface(iid, out);                                                         \
    }                                                                                                        \
    STDMETHODIMP_(ULONG) AddRef() override {                                                                 \
        return FilterBase::AddRef();                                                                         \
    }                                                                                                        \
    STDMETHODIMP_(ULONG) Release() override {                                                                \
        return FilterBase::Release();                                                                        \
    }                                                                                                        \
    STDMETHODIMP GetClassID(CLSID* id) override {                                                            \
        return FilterBase::GetClassID(id);                                                                   \
    }
