#pragma once

// Filters and pins: enough of IBaseFilter and IPin for pin walks and
// connection chains. Journal labels are "filter[<name>]" and "pin[<name>]".

#include "tests/fakes/FakeBase.h"
#include "tests/fakes/FakeListEnum.h"

namespace fakes {

class FakeFilter;

class FakePin : public Fake<IPin> {
public:
    FakePin(FakeFilter* filter, PIN_DIRECTION direction, const std::string& name);

    FakeFilter* filter;
    PIN_DIRECTION direction;
    std::string name;
    FakePin* peer = nullptr;          // set by Connect()
    HRESULT connectedToResult = S_OK; // answered while connected
    HRESULT queryPinInfoResult = S_OK;
    HRESULT queryDirectionResult = S_OK;

    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return Unexpected("Connect"); }
    STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override {
        return Unexpected("ReceiveConnection");
    }
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) override { return Unexpected("ConnectionMediaType"); }
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* result) override;
    STDMETHODIMP QueryId(LPWSTR*) override { return Unexpected("QueryId"); }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) override { return Unexpected("QueryAccept"); }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return Unexpected("EnumMediaTypes"); }
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override {
        return Unexpected("QueryInternalConnections");
    }
    STDMETHODIMP EndOfStream() override { return Unexpected("EndOfStream", S_OK); }
    STDMETHODIMP BeginFlush() override { return Unexpected("BeginFlush", S_OK); }
    STDMETHODIMP EndFlush() override { return Unexpected("EndFlush", S_OK); }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override {
        return Unexpected("NewSegment", S_OK);
    }
};

// Links an output pin and an input pin both ways (no journal line).
void Connect(FakePin& output, FakePin& input);

class FakeFilter : public Fake<IBaseFilter> {
public:
    explicit FakeFilter(const std::string& name);

    std::string name;
    std::vector<std::unique_ptr<FakePin>> pins;
    HRESULT enumPinsResult = S_OK;
    FILTER_STATE state = State_Stopped; // what GetState reports

    FakePin& AddPin(PIN_DIRECTION direction, const std::string& pinName);

    STDMETHODIMP GetClassID(CLSID*) override { return Unexpected("GetClassID"); }
    STDMETHODIMP Stop() override { return Unexpected("Stop", S_OK); }
    STDMETHODIMP Pause() override { return Unexpected("Pause", S_OK); }
    STDMETHODIMP Run(REFERENCE_TIME) override { return Unexpected("Run", S_OK); }
    STDMETHODIMP GetState(DWORD, FILTER_STATE* result) override;
    STDMETHODIMP SetSyncSource(IReferenceClock*) override { return Unexpected("SetSyncSource", S_OK); }
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    STDMETHODIMP EnumPins(IEnumPins** result) override;
    STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return Unexpected("FindPin"); }
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override {
        return Unexpected("JoinFilterGraph", S_OK);
    }
    STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return Unexpected("QueryVendorInfo"); }
};

// A pin enumerator over a filter's pins as they were when EnumPins made it.
class FakePinEnum : public FakeListEnum<IEnumPins, IPin> {
public:
    explicit FakePinEnum(FakeFilter* filter);
};

} // namespace fakes
