#pragma once

#include "common/Ownership.h"
#include "simcard/base/SourcePin.h"
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
class OutputPin final : public SourcePin, public FormatConnection {
public:
    OutputPin(IBaseFilter& filter, FilterCore& core, FormatState& formats, CardState& card,
              const wchar_t* name, const GUID& category, bool capturePin);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    // Called by the filter under its lock.
    bool IsConnected() const override { return static_cast<bool>(peer); }
    void SetConnectionFrameDuration(REFERENCE_TIME duration) override;
    HRESULT Activate();
    void Run(REFERENCE_TIME start, IReferenceClock* clock);
    void Pause();
    void Deactivate(); // waits for the streaming thread: call without the filter lock

private:
    HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const override;
    std::vector<MediaType> Proposals() const override;
    HRESULT WantedBuffers(const AM_MEDIA_TYPE& type, const ALLOCATOR_PROPERTIES& requirements,
                          ALLOCATOR_PROPERTIES& wanted) override;
    void Connected(const ALLOCATOR_PROPERTIES& actual) override;

    FormatState& formats;
    const bool capturePin;
    PinCategory category;
    StreamConfig streamConfig;
    VideoCompression compression;
    FrameStreamer streamer;
};
