#pragma once

#include "common/Ownership.h"
#include "simcard/audio/SoundSource.h"

#include <dshow.h>

// The worker thread of a connected audio capture pin. It exists from pause to
// stop and delivers only while running. Each buffer holds the sound of the
// stream time it covers and goes out when the graph's clock has passed its
// end, as a capture device hands over what it has recorded; its times follow
// on from the previous buffer's without a gap.
class AudioStreamer {
public:
    explicit AudioStreamer(SoundSource& source);
    ~AudioStreamer();
    AudioStreamer(const AudioStreamer&) = delete;
    AudioStreamer& operator=(const AudioStreamer&) = delete;

    // Stopped -> paused: commits the allocator and starts the thread, idle.
    // bufferBytes is a whole number of the format's blocks.
    HRESULT Start(IMemAllocator* allocator, IMemInputPin* input, const WAVEFORMATEX& wave, long bufferBytes);
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
    REFERENCE_TIME TimeOf(LONGLONG frame) const;
    void Drop();
    void CloseWake();

    SoundSource& source;
    WAVEFORMATEX wave = {};
    long bufferFrames = 0;
    ComRef<IMemAllocator> allocator;
    ComRef<IMemInputPin> input;
    HANDLE thread = nullptr;
    HANDLE wake = nullptr; // from Start to Stop

    CRITICAL_SECTION timing; // guards the members below it
    ComRef<IReferenceClock> clock;
    REFERENCE_TIME streamStart = 0;
    LARGE_INTEGER runCounter = {};    // without a clock: the counter when running began
    REFERENCE_TIME runStreamTime = 0; // ... and the stream time then
    LONGLONG nextFrame = 0;           // the first sample frame of the next buffer
    volatile LONG running = 0;
    volatile LONG stopping = 0;
};
