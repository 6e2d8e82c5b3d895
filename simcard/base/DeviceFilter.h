#pragma once

#include "simcard/base/FilterBase.h"
#include "simcard/base/SourcePin.h"
#include "simcard/server/Module.h"

#include <ocidl.h>
#include <strmif.h>

// A filter the system device enumerator makes from a moniker: it loads its
// registration's properties through IPersistPropertyBag. Load answers E_FAIL
// when SIMTV_FAIL names "<part>.Load". Like a capture driver's filter, it tells
// the graph through IAMFilterMiscFlags that it is a source. Its output pins
// stream as the filter's state changes.
class DeviceFilter : public FilterBase,
                     public IPersistPropertyBag,
                     public IAMFilterMiscFlags,
                     private ModuleObject {
public:
    SIMCARD_FILTER_IUNKNOWN

    STDMETHODIMP_(ULONG) GetMiscFlags() override;

    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

protected:
    // part names the filter in fault names and journal lines: "Filter", "AudioCapture".
    DeviceFilter(const CLSID& clsid, const char* part);

    void* OtherInterface(REFIID iid) override;
    HRESULT RecordStateCall(const char* method, const std::function<HRESULT()>& call) override;
    HRESULT StartStreaming() override;
    HRESULT PauseStreaming() override;
    HRESULT RunStreaming(REFERENCE_TIME start, IReferenceClock* clock) override;
    void StopStreaming() override;

    // The output pins there are now, in the order they start.
    virtual std::vector<SourcePin*> Outputs() = 0;
    // For the filter's destructor: every output stopped and disconnected.
    void ReleaseOutputs();

    // The registration's properties, read at Load.
    virtual void LoadProperties(IPropertyBag* bag, IErrorLog* log) = 0;
    // More of a state call's journal line after the method, "" for none.
    virtual const char* JournalDetails() const { return ""; }
    // "<part>.<method>", cut to the buffer.
    void Qualify(const char* method, char* name, size_t size) const;

    // A text property of the bag; false when it has none.
    static bool ReadText(IPropertyBag* bag, const wchar_t* property, IErrorLog* log, wchar_t* text,
                         size_t size);

private:
    const char* const part;
};
