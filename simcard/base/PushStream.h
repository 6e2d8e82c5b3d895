#pragma once

#include "common/Ownership.h"
#include "simcard/base/MediaTypes.h"

#include <dshow.h>

// The worker thread of one connected output pin, written once for every kind
// of stream. It exists from pause to stop and delivers only while running (a
// live source cues nothing while paused). It paces buffers by the graph's
// clock (by the performance counter without one), stamps each with the stream
// time it covers, following on from the previous one without a gap, and
// starts afresh at the present when it falls far behind. What a buffer holds
// and how long it lasts is the content's to say.
class PushStream {
public:
    // A stream's buffers, in positions counted from the start: frames of
    // video, sample frames of sound. Its hooks run on the streaming thread, or
    // under the stream's lock; Prepare and Stopped only while no thread runs.
    class Content {
    public:
        // The connection's type: false refuses to stream it.
        virtual bool Prepare(const AM_MEDIA_TYPE& type) = 0;
        virtual long BufferBytes() const = 0;
        virtual LONGLONG BufferLength() const = 0; // positions per buffer
        virtual REFERENCE_TIME TimeOf(LONGLONG position) const = 0;
        // The last position that starts at or before a stream time.
        virtual LONGLONG PositionAt(REFERENCE_TIME time) const = 0;
        virtual void Fill(BYTE* data) = 0;

        // What happened, for a content that reports it; under the stream's lock.
        virtual void Started() {}
        virtual void Running() {}
        virtual void Skipped(LONGLONG) {}
        virtual void Delivered(bool) {}
        virtual void Stopped(const AM_MEDIA_TYPE&) {}

    protected:
        ~Content() = default;
    };

    // When a buffer is due: a picture once its start time has come; recorded
    // sound once its end has passed, as a device hands over what it recorded.
    enum class Due { AtStart, AtEnd };
    // What the media times count: the buffers delivered (video frame numbers)
    // or the positions covered (sample frames).
    enum class MediaTimes { Buffers, Positions };

    PushStream(Content& content, Due due, MediaTimes mediaTimes);
    ~PushStream();
    PushStream(const PushStream&) = delete;
    PushStream& operator=(const PushStream&) = delete;

    // Stopped -> paused: commits the allocator and starts the thread, idle.
    HRESULT Start(IMemAllocator* allocator, IMemInputPin* input, const AM_MEDIA_TYPE& type);
    void Run(REFERENCE_TIME streamStart, IReferenceClock* clock);
    // Does not wait: the peer may hold the thread inside Receive.
    void Pause();
    // Decommits and waits for the thread; once this returns nothing more is
    // delivered. Flushes the peer if it keeps the thread blocked.
    void Stop(IPin* peer);

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Deliver();
    REFERENCE_TIME StreamTime();
    LONGLONG DueOffset() const;
    void Drop();
    void CloseWake();

    Content& content;
    const Due due;
    const MediaTimes mediaTimes;
    MediaType streamType;
    ComRef<IMemAllocator> allocator;
    ComRef<IMemInputPin> input;
    HANDLE thread = nullptr;
    // From Start to Stop: a device added to a graph and never connected holds
    // no handles.
    HANDLE wake = nullptr;

    CRITICAL_SECTION timing; // guards the members below it
    ComRef<IReferenceClock> clock;
    REFERENCE_TIME streamStart = 0;
    LARGE_INTEGER runCounter = {};    // without a clock: the counter when running began
    REFERENCE_TIME runStreamTime = 0; // ... and the stream time then
    LONGLONG next = 0;                // the first position of the next buffer
    volatile LONG running = 0;
    volatile LONG stopping = 0;
};
