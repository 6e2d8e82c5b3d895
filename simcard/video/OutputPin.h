#pragma once

#include "common/Ownership.h"
#include "simcard/base/CardPin.h"
#include "simcard/stream/FrameStreamer.h"
#include "simcard/base/MediaTypes.h"
#include "simcard/video/PinCategory.h"
#include "simcard/video/StreamConfig.h"
#include "simcard/video/VideoCompression.h"
#include "simcard/video/FormatState.h"

#include <vector>

class FilterCore;

// A video output pin of the card, capture or preview. It proposes the card's
// current format (only that one once SetFormat chose it), makes its own
// allocator when the peer offers none, and streams through a FrameStreamer.
class OutputPin : public CardPin, public FormatConnection {
public:
    OutputPin(IBaseFilter& filter, FilterCore& core, FormatState& formats, CardState& card,
              const wchar_t* name, const GUID& category, bool capturePin);

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
    bool IsConnected() const override { return static_cast<bool>(peer); }
    void SetConnectionFrameDuration(REFERENCE_TIME duration) override;
    HRESULT Activate();
    void Run(REFERENCE_TIME start, IReferenceClock* clock);
    void Pause();
    void Deactivate(); // waits for the streaming thread: call without the filter lock

private:
    HRESULT TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type);
    HRESULT DecideAllocator();
    HRESULT ConfigureAllocator(IMemAllocator* candidate, const ALLOCATOR_PROPERTIES& wanted);
    void DropConnection();

    FilterCore& core;
    FormatState& formats;
    const bool capturePin;
    PinCategory category;
    StreamConfig streamConfig;
    VideoCompression compression;

    ComRef<IPin> peer;
    ComRef<IMemInputPin> peerInput;
    ComRef<IMemAllocator> allocator;
    MediaType connectionType;
    FrameStreamer streamer;
};
