#pragma once

#include <dshow.h>

class CaptureFilter;

// The card's analog video input. A real driver connects it to its crossbar
// filter; here the crossbar lives on the capture filter, so the pin exists
// (the viewer looks for it) but accepts no connection.
class AnalogInputPin : public IPin {
public:
    explicit AnalogInputPin(CaptureFilter& filter) : filter(filter) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    CaptureFilter& filter;
};

// A copy of a pin name in task memory, as QueryId gives it.
HRESULT CopyPinId(const wchar_t* name, LPWSTR* id);
// Fills PIN_INFO with the name bounded to its 128 characters.
void FillPinInfo(PIN_INFO& info, IBaseFilter* filter, PIN_DIRECTION direction, const wchar_t* name);
