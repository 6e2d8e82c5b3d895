#include "simcard/audio/AudioStreamer.h"

namespace {

constexpr REFERENCE_TIME CatchUpLimit = 10000000; // further behind than this: skip ahead
constexpr DWORD StopWaitMs = 2000;
constexpr REFERENCE_TIME Second = 10000000;

} // namespace

AudioStreamer::AudioStreamer(SoundSource& sound) : source(sound) {
    InitializeCriticalSection(&timing);
}

AudioStreamer::~AudioStreamer() {
    Stop(nullptr);
    DeleteCriticalSection(&timing);
}

HRESULT AudioStreamer::Start(IMemAllocator* newAllocator, IMemInputPin* newInput, const WAVEFORMATEX& format,
                             long bufferBytes) {
    if (thread) {
        return S_OK;
    }
    if (format.nBlockAlign == 0 || bufferBytes < format.nBlockAlign) {
        return E_FAIL;
    }
    // Only a streaming device holds handles: a device added to a graph and
    // never connected (the viewer's) holds none.
    wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const HRESULT hr = wake ? newAllocator->Commit() : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        CloseWake();
        return hr;
    }
    wave = format;
    bufferFrames = bufferBytes / format.nBlockAlign;
    allocator = ComRef<IMemAllocator>::Share(newAllocator);
    input = ComRef<IMemInputPin>::Share(newInput);
    running = 0;
    stopping = 0;
    nextFrame = 0;
    thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!thread) {
        allocator->Decommit();
        Drop();
        CloseWake();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void AudioStreamer::Run(REFERENCE_TIME start, IReferenceClock* newClock) {
    {
        ScopedLock hold(timing);
        clock = ComRef<IReferenceClock>::Share(newClock);
        streamStart = start;
        QueryPerformanceCounter(&runCounter);
        runStreamTime = TimeOf(nextFrame);
    }
    InterlockedExchange(&running, 1);
    SetEvent(wake);
}

void AudioStreamer::Pause() {
    InterlockedExchange(&running, 0);
    if (wake) {
        SetEvent(wake);
    }
}

void AudioStreamer::Stop(IPin* peer) {
    if (!thread) {
        return;
    }
    InterlockedExchange(&stopping, 1);
    InterlockedExchange(&running, 0);
    SetEvent(wake);
    allocator->Decommit(); // wakes a thread waiting in GetBuffer
    if (WaitForSingleObject(thread, StopWaitMs) == WAIT_TIMEOUT && peer) {
        peer->BeginFlush();
        WaitForSingleObject(thread, INFINITE);
        peer->EndFlush();
    } else {
        WaitForSingleObject(thread, INFINITE);
    }
    CloseHandle(thread);
    thread = nullptr;
    Drop();
    CloseWake();
}

void AudioStreamer::CloseWake() {
    if (wake) {
        CloseHandle(wake);
        wake = nullptr;
    }
}

void AudioStreamer::Drop() {
    allocator.Reset();
    input.Reset();
    ScopedLock hold(timing);
    clock.Reset();
}

DWORD WINAPI AudioStreamer::ThreadMain(void* self) {
    static_cast<AudioStreamer*>(self)->Deliver();
    return 0;
}

// From the frame count, not by adding buffer lengths: no rounding drift, and
// one buffer's end is exactly the next one's start.
REFERENCE_TIME AudioStreamer::TimeOf(LONGLONG frame) const {
    if (wave.nSamplesPerSec == 0) {
        return 0; // never started
    }
    return frame / wave.nSamplesPerSec * Second + frame % wave.nSamplesPerSec * Second / wave.nSamplesPerSec;
}

REFERENCE_TIME AudioStreamer::StreamTime() {
    ComRef<IReferenceClock> current;
    REFERENCE_TIME start = 0;
    LARGE_INTEGER counterAtRun = {};
    REFERENCE_TIME streamAtRun = 0;
    {
        ScopedLock hold(timing);
        current = ComRef<IReferenceClock>::Share(clock.Get());
        start = streamStart;
        counterAtRun = runCounter;
        streamAtRun = runStreamTime;
    }
    REFERENCE_TIME clockTime = 0;
    if (current && SUCCEEDED(current->GetTime(&clockTime))) {
        return clockTime - start;
    }
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const long long ticks = counter.QuadPart - counterAtRun.QuadPart;
    return streamAtRun + ticks / frequency.QuadPart * Second +
           (ticks % frequency.QuadPart) * Second / frequency.QuadPart;
}

void AudioStreamer::Deliver() {
    bool discontinuity = true;
    while (!stopping) {
        if (!running) {
            WaitForSingleObject(wake, INFINITE);
            continue;
        }
        const REFERENCE_TIME now = StreamTime();
        LONGLONG first = 0;
        {
            ScopedLock hold(timing);
            first = nextFrame;
        }
        if (now < TimeOf(first + bufferFrames)) {
            const DWORD waitMs = static_cast<DWORD>((TimeOf(first + bufferFrames) - now + 9999) / 10000);
            WaitForSingleObject(wake, waitMs);
            continue;
        }
        if (now - TimeOf(first) > CatchUpLimit) {
            // A stream held up for this long starts afresh at the present.
            first = now / Second * wave.nSamplesPerSec + now % Second * wave.nSamplesPerSec / Second -
                    bufferFrames;
            discontinuity = true;
        }

        ComRef<IMediaSample> sample;
        if (FAILED(allocator->GetBuffer(sample.Put(), nullptr, nullptr, 0)) || !sample) {
            if (!stopping) {
                WaitForSingleObject(wake, 10);
            }
            continue;
        }
        BYTE* data = nullptr;
        const long bytes = bufferFrames * wave.nBlockAlign;
        if (FAILED(sample->GetPointer(&data)) || sample->GetSize() < bytes) {
            WaitForSingleObject(wake, 10);
            continue;
        }
        source.Render(reinterpret_cast<short*>(data), bufferFrames, wave.nChannels,
                      static_cast<long>(wave.nSamplesPerSec));
        REFERENCE_TIME start = TimeOf(first);
        REFERENCE_TIME end = TimeOf(first + bufferFrames);
        LONGLONG mediaStart = first;
        LONGLONG mediaEnd = first + bufferFrames;
        sample->SetTime(&start, &end);
        sample->SetMediaTime(&mediaStart, &mediaEnd);
        sample->SetSyncPoint(TRUE);
        sample->SetPreroll(FALSE);
        sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
        sample->SetActualDataLength(bytes);
        if (running && !stopping) {
            input->Receive(sample.Get());
            discontinuity = false;
            ScopedLock hold(timing);
            nextFrame = mediaEnd;
        }
    }
}
