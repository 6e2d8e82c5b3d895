#pragma once

#include "simcard/base/SourcePin.h"
#include "simcard/stream/FrameStreamer.h"
#include "simcard/video/FormatState.h"
#include "simcard/video/StreamConfig.h"
#include "simcard/video/VideoCompression.h"

#include <vector>

class FilterCore;

// A video output pin of the card, capture or preview. It proposes the card's
// current format (only that one once SetFormat chose it), makes its own
// allocator when the peer offers none, and streams through a FrameStreamer.
class OutputPin final : public SourcePin {
public:
    // The capture pin also answers IAMStreamConfig and IAMVideoCompression.
    OutputPin(IBaseFilter& filter, FilterCore& core, FormatState& formats, FormatState::Pin pin,
              CardState& card, const wchar_t* name, const GUID& category);

private:
    void* OtherInterface(REFIID iid) override;
    HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const override;
    std::vector<MediaType> Proposals() const override;
    HRESULT WantedBuffers(const AM_MEDIA_TYPE& type, const ALLOCATOR_PROPERTIES& requirements,
                          ALLOCATOR_PROPERTIES& wanted) override;
    void Connected(const ALLOCATOR_PROPERTIES& actual) override;
    PushStream& Stream() override { return streamer.Stream(); }

    FormatState& formats;
    const bool capturePin;
    StreamConfig streamConfig;
    VideoCompression compression;
    FrameStreamer streamer;
};
