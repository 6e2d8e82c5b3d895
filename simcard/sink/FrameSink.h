#pragma once

#include "simcard/FilterCore.h"

#include <dshow.h>

#include <vector>

// A renderer that draws nothing: it takes any video connection, offers no
// allocator (like the renderers here), and records every sample it is given.
// Tests and the bench use it to see what the card delivers without a display.
class FrameSink final : public IBaseFilter {
public:
    struct Sample {
        bool timed = false;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME end = 0;
        bool discontinuity = false;
        long length = 0;
    };

    // One reference, the caller's.
    static FrameSink* Create();

    IPin* Input(); // not counted: lives as long as the sink

    long FrameCount() const;
    std::vector<Sample> Samples() const;
    std::vector<BYTE> LastFrame() const;
    // The connection's picture header; false when not connected.
    bool ConnectedBitmap(BITMAPINFOHEADER& header, GUID& subtype) const;
    // Waits until the count reaches frames or the wait ends; returns the count.
    long WaitForFrames(long frames, DWORD maxWaitMs) const;

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

private:
    class InputPin;
    class PinList;

    FrameSink();
    ~FrameSink();
    HRESULT Receive(IMediaSample* sample);

    volatile LONG refs = 1;
    FilterCore core; // its lock guards the records below too
    HANDLE frameArrived;
    InputPin* input;
    long frames = 0;
    std::vector<Sample> samples;
    std::vector<BYTE> lastFrame;
};
