#include "simcard/video/OutputPin.h"

#include <algorithm>

namespace {

// Room for the Smart Tee's copies as well as the frames in flight.
constexpr long MinimumBuffers = 4;

} // namespace

OutputPin::OutputPin(IBaseFilter& owner, FilterCore& filterCore, FormatState& formatState,
                     FormatState::Pin pin, CardState& card, const wchar_t* pinName, const GUID& pinCategory)
    : SourcePin(owner, filterCore, pinName, pinCategory, formatState.Connection(pin)), formats(formatState),
      capturePin(pin == FormatState::CapturePin), streamConfig(this, filterCore, formatState),
      compression(this, card), streamer(card, pinName) {}

void* OutputPin::OtherInterface(REFIID iid) {
    if (!capturePin) {
        return nullptr;
    }
    if (iid == IID_IAMStreamConfig) {
        return static_cast<IAMStreamConfig*>(&streamConfig);
    }
    return iid == IID_IAMVideoCompression ? static_cast<IAMVideoCompression*>(&compression) : nullptr;
}

HRESULT OutputPin::Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const {
    return formats.List().Validate(type, accepted);
}

std::vector<MediaType> OutputPin::Proposals() const {
    return formats.Proposals();
}

HRESULT OutputPin::WantedBuffers(const AM_MEDIA_TYPE& type, const ALLOCATOR_PROPERTIES& requirements,
                                 ALLOCATOR_PROPERTIES& wanted) {
    FrameGeometry geometry;
    if (!FrameGeometry::Describe(type, geometry)) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    wanted.cBuffers = std::max(requirements.cBuffers, MinimumBuffers);
    wanted.cbBuffer = std::max(requirements.cbBuffer, geometry.imageSize);
    wanted.cbAlign = std::max(requirements.cbAlign, 1L);
    wanted.cbPrefix = requirements.cbPrefix;
    return S_OK;
}

void OutputPin::Connected(const ALLOCATOR_PROPERTIES&) {
    formats.Choose(connectionType, false);
}
