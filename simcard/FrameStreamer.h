#pragma once

#include "simcard/CardState.h"
#include "simcard/FrameGeometry.h"
#include "simcard/picture/PictureGenerator.h"

#include <dshow.h>

// The worker thread of one connected output pin. It exists from pause to
// stop, delivers only while running (a live source cues nothing while
// paused), paces frames by the graph's clock at the format's frame duration
// and stamps each sample with its nominal stream time.
class FrameStreamer {
public:
    explicit FrameStreamer(const CardState& card);
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
    void Release();

    const CardState& card;
    PictureGenerator generator;
    FrameGeometry geometry;
    IMemAllocator* allocator = nullptr;
    IMemInputPin* input = nullptr;
    HANDLE thread = nullptr;
    HANDLE wake = nullptr;

    CRITICAL_SECTION timing; // guards the members below it
    IReferenceClock* clock = nullptr;
    REFERENCE_TIME streamStart = 0;
    LARGE_INTEGER runCounter = {};    // without a clock: the counter when running began
    REFERENCE_TIME runStreamTime = 0; // ... and the stream time then
    REFERENCE_TIME nextFrame = 0;
    volatile LONG running = 0;
    volatile LONG stopping = 0;
};
