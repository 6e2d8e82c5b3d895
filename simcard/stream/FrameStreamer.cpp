#include "simcard/stream/FrameStreamer.h"

namespace {

constexpr REFERENCE_TIME DefaultFrameDuration = 333333; // a format without a rate streams at 30 fps

} // namespace

FrameStreamer::FrameStreamer(const CardState& state, const wchar_t* name)
    : card(state), pinName(name), stream(*this, PushStream::Due::AtStart, PushStream::MediaTimes::Buffers) {}

bool FrameStreamer::Prepare(const AM_MEDIA_TYPE& type) {
    if (!FrameGeometry::Describe(type, geometry) || !generator.Configure(geometry)) {
        return false;
    }
    if (geometry.frameDuration <= 0) {
        geometry.frameDuration = DefaultFrameDuration;
    }
    return true;
}

REFERENCE_TIME FrameStreamer::TimeOf(LONGLONG frame) const {
    return frame * geometry.frameDuration;
}

LONGLONG FrameStreamer::PositionAt(REFERENCE_TIME time) const {
    return time / geometry.frameDuration;
}

void FrameStreamer::Fill(BYTE* data) {
    generator.Render(card, data);
}

void FrameStreamer::Started() {
    report.Reset();
}

void FrameStreamer::Running() {
    report.Restarted(FrameReport::WallClock());
}

void FrameStreamer::Skipped(LONGLONG frames) {
    report.Skipped(frames);
}

void FrameStreamer::Delivered(bool accepted) {
    report.Delivered(FrameReport::WallClock(), accepted);
}

void FrameStreamer::Stopped(const AM_MEDIA_TYPE& type) {
    // A pause and stop without a run delivered nothing and is not worth a line.
    if (report.Runs() > 0 && FrameReport::Enabled()) {
        report.Write(pinName, type, FrameReport::WallClock());
    }
}
