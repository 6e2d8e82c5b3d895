#pragma once

#include "common/Ownership.h"
#include "simcard/controls/CardState.h"
#include "simcard/stream/FrameGeometry.h"
#include "simcard/stream/FrameReport.h"
#include "simcard/base/MediaTypes.h"
#include "simcard/picture/PictureGenerator.h"

#include <dshow.h>

// The worker thread of one connected output pin. It exists from pause to
// stop, delivers only while running (a live source cues nothing while
// paused), paces frames by the graph's clock at the format's frame duration
// and stamps each sample with its nominal stream time. With SIMTV_FRAMES set
// it reports what it delivered when it stops.
class FrameStreamer {
public:
    FrameStreamer(const CardState& card, const wchar_t* pinName);
    ~FrameStreamer();
    FrameStreamer(const FrameStreamer&) = delete;
    FrameStreamer& operator=(const FrameStreamer&) = delete;

    // Stopped -> paused: commits the allocator and starts the thread, idle.
    HRESULT Start(IMemAllocator* allocator, IMemInputPin* input, const AM_MEDIA_TYPE& type);
    void Run(REFERENCE_TIME streamStart, IReferenceClock* clock);
    // Does not wait: a paused renderer may hold the thread inside Receive.
    void Pause();
    // Decommits and waits for the thread; once this returns nothing more is
    // delivered. Flushes the peer if it keeps the thread blocked.
    void Stop(IPin* peer);

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Deliver();
    bool StreamTime(REFERENCE_TIME& now);
    void Drop();

    const CardState& card;
    const wchar_t* const pinName;
    MediaType streamType;
    PictureGenerator generator;
    FrameGeometry geometry;
    ComRef<IMemAllocator> allocator;
    ComRef<IMemInputPin> input;
    HANDLE thread = nullptr;
    HANDLE wake = nullptr;

    CRITICAL_SECTION timing; // guards the members below it
    ComRef<IReferenceClock> clock;
    REFERENCE_TIME streamStart = 0;
    LARGE_INTEGER runCounter = {};    // without a clock: the counter when running began
    REFERENCE_TIME runStreamTime = 0; // ... and the stream time then
    REFERENCE_TIME nextFrame = 0;
    FrameReport report;
    volatile LONG running = 0;
    volatile LONG stopping = 0;
};
