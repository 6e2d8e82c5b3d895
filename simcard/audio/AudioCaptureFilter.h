#pragma once

#include "simcard/server/Module.h"
#include "simcard/base/FilterBase.h"

#include <dshow.h>
#include <ocidl.h>

// An audio capture device of the simulated system: a filter without pins
// that joins a graph and runs and stops with it. It makes no sound.
class AudioCaptureFilter final : public FilterBase, public IPersistPropertyBag, private ModuleObject {
public:
    static HRESULT Create(REFIID iid, void** out);

    SIMCARD_FILTER_IUNKNOWN

    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

private:
    AudioCaptureFilter();
    ~AudioCaptureFilter() override = default;

    void* OtherInterface(REFIID iid) override;
    HRESULT RecordStateCall(const char* method, const std::function<HRESULT()>& call) override;
    void OnGraphChanged(IFilterGraph* graph, LPCWSTR name) override;

    char deviceName[384] = {}; // friendly name, UTF-8, for the journal
};
