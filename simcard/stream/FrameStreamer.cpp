#include "simcard/stream/FrameStreamer.h"

namespace {

constexpr REFERENCE_TIME CatchUpLimit = 10000000; // further behind than this: skip ahead
constexpr DWORD StopWaitMs = 2000;

} // namespace

FrameStreamer::FrameStreamer(const CardState& state, const wchar_t* name) : card(state), pinName(name) {
    InitializeCriticalSection(&timing);
    wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

FrameStreamer::~FrameStreamer() {
    Stop(nullptr);
    if (wake) {
        CloseHandle(wake);
    }
    DeleteCriticalSection(&timing);
}

HRESULT FrameStreamer::Start(IMemAllocator* newAllocator, IMemInputPin* newInput, const AM_MEDIA_TYPE& type) {
    if (thread) {
        return S_OK;
    }
    if (!wake || !FrameGeometry::Describe(type, geometry) || !generator.Configure(geometry)) {
        return E_FAIL;
    }
    if (geometry.frameDuration <= 0) {
        geometry.frameDuration = 333333;
    }
    HRESULT hr = newAllocator->Commit();
    if (FAILED(hr)) {
        return hr;
    }
    streamType = MediaType(type);
    report.Reset();
    allocator = ComRef<IMemAllocator>::Share(newAllocator);
    input = ComRef<IMemInputPin>::Share(newInput);
    running = 0;
    stopping = 0;
    nextFrame = 0;
    thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!thread) {
        allocator->Decommit();
        Drop();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void FrameStreamer::Run(REFERENCE_TIME start, IReferenceClock* newClock) {
    {
        ScopedLock hold(timing);
        clock = ComRef<IReferenceClock>::Share(newClock);
        streamStart = start;
        QueryPerformanceCounter(&runCounter);
        runStreamTime = nextFrame;
        report.Restarted(FrameReport::WallClock());
    }
    InterlockedExchange(&running, 1);
    SetEvent(wake);
}

void FrameStreamer::Pause() {
    InterlockedExchange(&running, 0);
    SetEvent(wake);
}

void FrameStreamer::Stop(IPin* peer) {
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
    // Only this thread is left to touch the report. A pause and stop without a
    // run delivered nothing and is not worth a line.
    if (report.Runs() > 0 && FrameReport::Enabled()) {
        report.Write(pinName, streamType.Get(), FrameReport::WallClock());
    }
    Drop();
}

void FrameStreamer::Drop() {
    allocator.Reset();
    input.Reset();
    ScopedLock hold(timing);
    clock.Reset();
}

DWORD WINAPI FrameStreamer::ThreadMain(void* self) {
    static_cast<FrameStreamer*>(self)->Deliver();
    return 0;
}

bool FrameStreamer::StreamTime(REFERENCE_TIME& now) {
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

    bool known = false;
    if (current) {
        REFERENCE_TIME clockTime = 0;
        known = SUCCEEDED(current->GetTime(&clockTime));
        now = clockTime - start;
    }
    if (!known) {
        LARGE_INTEGER counter, frequency;
        QueryPerformanceCounter(&counter);
        QueryPerformanceFrequency(&frequency);
        const long long ticks = counter.QuadPart - counterAtRun.QuadPart;
        now = streamAtRun + ticks / frequency.QuadPart * 10000000 +
              (ticks % frequency.QuadPart) * 10000000 / frequency.QuadPart;
    }
    return true;
}

void FrameStreamer::Deliver() {
    bool discontinuity = true;
    LONGLONG frameNumber = 0;
    while (!stopping) {
        if (!running) {
            WaitForSingleObject(wake, INFINITE);
            continue;
        }
        REFERENCE_TIME now = 0;
        StreamTime(now);
        if (now < nextFrame) {
            const DWORD waitMs = static_cast<DWORD>((nextFrame - now + 9999) / 10000);
            WaitForSingleObject(wake, waitMs);
            continue;
        }
        if (now - nextFrame > CatchUpLimit) {
            ScopedLock hold(timing);
            const REFERENCE_TIME caughtUp = now - now % geometry.frameDuration;
            report.Skipped((caughtUp - nextFrame) / geometry.frameDuration);
            nextFrame = caughtUp;
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
        if (FAILED(sample->GetPointer(&data)) || sample->GetSize() < geometry.imageSize) {
            WaitForSingleObject(wake, 10);
            continue;
        }
        generator.Render(card, data);
        {
            REFERENCE_TIME start = nextFrame;
            REFERENCE_TIME end = start + geometry.frameDuration;
            LONGLONG mediaStart = frameNumber;
            LONGLONG mediaEnd = frameNumber + 1;
            sample->SetTime(&start, &end);
            sample->SetMediaTime(&mediaStart, &mediaEnd);
            sample->SetSyncPoint(TRUE);
            sample->SetPreroll(FALSE);
            sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
            sample->SetActualDataLength(geometry.imageSize);
            if (running && !stopping) {
                const HRESULT received = input->Receive(sample.Get());
                discontinuity = false;
                ++frameNumber;
                ScopedLock hold(timing);
                nextFrame = end;
                report.Delivered(FrameReport::WallClock(), received == S_OK);
            }
        }
    }
}
