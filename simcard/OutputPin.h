#pragma once

#include "simcard/CardPin.h"
#include "simcard/FrameStreamer.h"
#include "simcard/MediaTypes.h"
#include "simcard/PinCategory.h"
#include "simcard/StreamConfig.h"
#include "simcard/VideoCompression.h"

#include <vector>

class CaptureFilter;

// A video output pin of the card, capture or preview. It proposes the card's
// current format (only that one once SetFormat chose it), makes its own
// allocator when the peer offers none, and streams through a FrameStreamer.
class OutputPin : public CardPin {
public:
    OutputPin(CaptureFilter& filter, const wchar_t* name, const GUID& category, bool capturePin);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    // Called by the filter under its lock.
    bool IsConnected() const { return peer != nullptr; }
    const AM_MEDIA_TYPE& ConnectionType() const { return connectionType.Get(); }
    void SetConnectionFrameDuration(REFERENCE_TIME duration);
    HRESULT Activate();
    void Run(REFERENCE_TIME start, IReferenceClock* clock);
    void Pause();
    void Deactivate(); // waits for the streaming thread: call without the filter lock

private:
    std::vector<MediaType> Proposals() const;
    HRESULT TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type);
    HRESULT DecideAllocator();
    HRESULT ConfigureAllocator(IMemAllocator* candidate, const ALLOCATOR_PROPERTIES& wanted);
    void DropConnection();

    CaptureFilter& filter;
    const bool capturePin;
    PinCategory category;
    StreamConfig streamConfig;
    VideoCompression compression;

    IPin* peer = nullptr;
    IMemInputPin* peerInput = nullptr;
    IMemAllocator* allocator = nullptr;
    MediaType connectionType;
    FrameStreamer streamer;
};
