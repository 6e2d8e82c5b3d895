#pragma once

#include "simcard/base/PushStream.h"
#include "simcard/controls/CardState.h"
#include "simcard/picture/PictureGenerator.h"
#include "simcard/stream/FrameGeometry.h"
#include "simcard/stream/FrameReport.h"

// The stream of one video output pin: a picture of the card's state per
// buffer, due when its start time comes, at the format's frame duration,
// media times counting frames. With SIMTV_FRAMES set it reports what it
// delivered when it stops.
class FrameStreamer final : private PushStream::Content {
public:
    FrameStreamer(const CardState& card, const wchar_t* pinName);

    PushStream& Stream() { return stream; }

private:
    bool Prepare(const AM_MEDIA_TYPE& type) override;
    long BufferBytes() const override { return geometry.imageSize; }
    LONGLONG BufferLength() const override { return 1; }
    REFERENCE_TIME TimeOf(LONGLONG frame) const override;
    LONGLONG PositionAt(REFERENCE_TIME time) const override;
    void Fill(BYTE* data) override;

    void Started() override;
    void Running() override;
    void Skipped(LONGLONG frames) override;
    void Delivered(bool accepted) override;
    void Stopped(const AM_MEDIA_TYPE& type) override;

    const CardState& card;
    const wchar_t* const pinName;
    PictureGenerator generator;
    FrameGeometry geometry;
    FrameReport report;
    PushStream stream; // last: stopped before the rest goes
};
