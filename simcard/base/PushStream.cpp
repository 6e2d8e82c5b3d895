#include "simcard/base/PushStream.h"

namespace {

constexpr REFERENCE_TIME CatchUpLimit = 10000000; // further behind than this: skip ahead
constexpr REFERENCE_TIME Second = 10000000;
constexpr DWORD StopWaitMs = 2000;
constexpr DWORD RetryMs = 10;

} // namespace

PushStream::PushStream(Content& streamContent, Due dueRule, MediaTimes mediaTimeRule)
    : content(streamContent), due(dueRule), mediaTimes(mediaTimeRule) {
    InitializeCriticalSection(&timing);
}

PushStream::~PushStream() {
    Stop(nullptr);
    DeleteCriticalSection(&timing);
}

HRESULT PushStream::Start(IMemAllocator* newAllocator, IMemInputPin* newInput, const AM_MEDIA_TYPE& type) {
    if (thread) {
        return S_OK;
    }
    if (!content.Prepare(type)) {
        return E_FAIL;
    }
    wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const HRESULT hr = wake ? newAllocator->Commit() : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        CloseWake();
        return hr;
    }
    streamType = MediaType(type);
    content.Started();
    allocator = ComRef<IMemAllocator>::Share(newAllocator);
    input = ComRef<IMemInputPin>::Share(newInput);
    running = 0;
    stopping = 0;
    next = 0;
    thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!thread) {
        allocator->Decommit();
        Drop();
        CloseWake();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void PushStream::Run(REFERENCE_TIME start, IReferenceClock* newClock) {
    {
        ScopedLock hold(timing);
        clock = ComRef<IReferenceClock>::Share(newClock);
        streamStart = start;
        QueryPerformanceCounter(&runCounter);
        runStreamTime = content.TimeOf(next);
        content.Running();
    }
    InterlockedExchange(&running, 1);
    if (wake) {
        SetEvent(wake);
    }
}

void PushStream::Pause() {
    InterlockedExchange(&running, 0);
    if (wake) {
        SetEvent(wake);
    }
}

void PushStream::Stop(IPin* peer) {
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
    content.Stopped(streamType.Get());
    Drop();
    CloseWake();
}

void PushStream::CloseWake() {
    if (wake) {
        CloseHandle(wake);
        wake = nullptr;
    }
}

void PushStream::Drop() {
    allocator.Reset();
    input.Reset();
    ScopedLock hold(timing);
    clock.Reset();
}

DWORD WINAPI PushStream::ThreadMain(void* self) {
    static_cast<PushStream*>(self)->Deliver();
    return 0;
}

REFERENCE_TIME PushStream::StreamTime() {
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

LONGLONG PushStream::DueOffset() const {
    return due == Due::AtEnd ? content.BufferLength() : 0;
}

void PushStream::Deliver() {
    const LONGLONG length = content.BufferLength();
    const long bytes = content.BufferBytes();
    bool discontinuity = true;
    LONGLONG delivered = 0;
    while (!stopping) {
        if (!running) {
            WaitForSingleObject(wake, INFINITE);
            continue;
        }
        const REFERENCE_TIME now = StreamTime();
        LONGLONG first = 0;
        {
            ScopedLock hold(timing);
            first = next;
        }
        const REFERENCE_TIME dueTime = content.TimeOf(first + DueOffset());
        if (now < dueTime) {
            WaitForSingleObject(wake, static_cast<DWORD>((dueTime - now + 9999) / 10000));
            continue;
        }
        if (now - content.TimeOf(first) > CatchUpLimit) {
            const LONGLONG present = content.PositionAt(now) - DueOffset();
            ScopedLock hold(timing);
            content.Skipped(present - first);
            next = first = present;
            discontinuity = true;
        }

        ComRef<IMediaSample> sample;
        if (FAILED(allocator->GetBuffer(sample.Put(), nullptr, nullptr, 0)) || !sample) {
            if (!stopping) {
                WaitForSingleObject(wake, RetryMs);
            }
            continue;
        }
        BYTE* data = nullptr;
        if (FAILED(sample->GetPointer(&data)) || sample->GetSize() < bytes) {
            WaitForSingleObject(wake, RetryMs);
            continue;
        }
        content.Fill(data);
        REFERENCE_TIME start = content.TimeOf(first);
        REFERENCE_TIME end = content.TimeOf(first + length);
        LONGLONG mediaStart = mediaTimes == MediaTimes::Buffers ? delivered : first;
        LONGLONG mediaEnd = mediaStart + (mediaTimes == MediaTimes::Buffers ? 1 : length);
        sample->SetTime(&start, &end);
        sample->SetMediaTime(&mediaStart, &mediaEnd);
        sample->SetSyncPoint(TRUE);
        sample->SetPreroll(FALSE);
        sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
        sample->SetActualDataLength(bytes);
        if (running && !stopping) {
            const HRESULT received = input->Receive(sample.Get());
            discontinuity = false;
            ++delivered;
            ScopedLock hold(timing);
            next = first + length;
            content.Delivered(received == S_OK);
        }
    }
}
