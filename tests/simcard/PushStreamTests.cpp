// The card's streaming thread on its own, against a sink that can hold it in
// Receive the way a paused renderer does.
#include "simcard/base/PushStream.h"
#include "tests/simcard/SimcardTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr REFERENCE_TIME Millisecond = 10000;
constexpr DWORD Patience = 10000; // a wait that ends only when the code under test is broken

// Sixteen bytes a buffer; a position lasts a millisecond.
class CountingContent final : public PushStream::Content {
public:
    explicit CountingContent(LONGLONG positionsPerBuffer) : length(positionsPerBuffer) {}

    bool prepared = true;
    int stops = 0;

    bool Prepare(const AM_MEDIA_TYPE&) override { return prepared; }
    long BufferBytes() const override { return 16; }
    LONGLONG BufferLength() const override { return length; }
    REFERENCE_TIME TimeOf(LONGLONG position) const override { return position * Millisecond; }
    LONGLONG PositionAt(REFERENCE_TIME time) const override { return time / Millisecond; }
    void Fill(BYTE* data) override { data[0] = 0x5A; }
    void Stopped(const AM_MEDIA_TYPE&) override { ++stops; }

private:
    const LONGLONG length;
};

// The downstream pin: journals Receive and the flush, and while `hold` is set
// keeps each Receive until BeginFlush lets it go. Anything else it is asked
// is a call no test expects.
class HoldingSink final : public IPin, public IMemInputPin {
public:
    explicit HoldingSink(bool holdReceive) : hold(holdReceive) {
        InitializeCriticalSection(&lock);
        entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~HoldingSink() {
        CloseHandle(entered);
        CloseHandle(released);
        DeleteCriticalSection(&lock);
    }

    LONG Refs() const { return refs; }
    bool WaitForReceive() const { return WaitForSingleObject(entered, Patience) == WAIT_OBJECT_0; }
    std::vector<std::string> Journal() {
        ScopedLock guard(lock);
        return journal;
    }
    struct Times {
        REFERENCE_TIME start, end;
        LONGLONG mediaStart, mediaEnd;
        bool discontinuity;
    };
    std::vector<Times> Received() {
        ScopedLock guard(lock);
        return times;
    }
    size_t Count() {
        ScopedLock guard(lock);
        return times.size();
    }

    STDMETHODIMP QueryInterface(REFIID, void** out) override {
        ADD_FAILURE() << "QueryInterface";
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }

    STDMETHODIMP Receive(IMediaSample* sample) override {
        Times t = {};
        sample->GetTime(&t.start, &t.end);
        sample->GetMediaTime(&t.mediaStart, &t.mediaEnd);
        t.discontinuity = sample->IsDiscontinuity() == S_OK;
        Note("Receive", &t);
        SetEvent(entered);
        if (hold) {
            if (WaitForSingleObject(released, Patience) != WAIT_OBJECT_0) {
                Note("Receive never released");
            }
            Note("Receive returned");
        }
        return S_OK;
    }
    STDMETHODIMP BeginFlush() override {
        Note("BeginFlush");
        SetEvent(released);
        return S_OK;
    }
    STDMETHODIMP EndFlush() override {
        Note("EndFlush");
        return S_OK;
    }

    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return Unexpected("Connect"); }
    STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override {
        return Unexpected("ReceiveConnection");
    }
    STDMETHODIMP Disconnect() override { return Unexpected("Disconnect"); }
    STDMETHODIMP ConnectedTo(IPin**) override { return Unexpected("ConnectedTo"); }
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) override { return Unexpected("ConnectionMediaType"); }
    STDMETHODIMP QueryPinInfo(PIN_INFO*) override { return Unexpected("QueryPinInfo"); }
    STDMETHODIMP QueryDirection(PIN_DIRECTION*) override { return Unexpected("QueryDirection"); }
    STDMETHODIMP QueryId(LPWSTR*) override { return Unexpected("QueryId"); }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) override { return Unexpected("QueryAccept"); }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return Unexpected("EnumMediaTypes"); }
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override {
        return Unexpected("QueryInternalConnections");
    }
    STDMETHODIMP EndOfStream() override { return Unexpected("EndOfStream"); }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override {
        return Unexpected("NewSegment");
    }
    STDMETHODIMP GetAllocator(IMemAllocator**) override { return Unexpected("GetAllocator"); }
    STDMETHODIMP NotifyAllocator(IMemAllocator*, BOOL) override { return Unexpected("NotifyAllocator"); }
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override {
        return Unexpected("GetAllocatorRequirements");
    }
    STDMETHODIMP ReceiveMultiple(IMediaSample**, long, long*) override {
        return Unexpected("ReceiveMultiple");
    }
    STDMETHODIMP ReceiveCanBlock() override { return Unexpected("ReceiveCanBlock"); }

private:
    void Note(const char* what, const Times* t = nullptr) {
        ScopedLock guard(lock);
        journal.push_back(what);
        if (t) {
            times.push_back(*t);
        }
    }
    HRESULT Unexpected(const char* method) {
        ADD_FAILURE() << "unexpected call " << method;
        return E_NOTIMPL;
    }

    const bool hold;
    volatile LONG refs = 1;
    CRITICAL_SECTION lock;
    HANDLE entered;
    HANDLE released;
    std::vector<std::string> journal;
    std::vector<Times> times;
};

ComRef<IMemAllocator> CommittableAllocator() {
    ComRef<IMemAllocator> allocator;
    CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                     allocator.PutVoid());
    ALLOCATOR_PROPERTIES wanted = {2, 16, 1, 0}, actual = {};
    if (allocator) {
        allocator->SetProperties(&wanted, &actual);
    }
    return allocator;
}

AM_MEDIA_TYPE AnyType() {
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Video;
    return type;
}

// Waits until the sink has had `count` samples; false when they never come.
bool AwaitSamples(HoldingSink& sink, size_t count) {
    for (DWORD waited = 0; waited < Patience; waited += 5) {
        if (sink.Count() >= count) {
            return true;
        }
        Sleep(5);
    }
    return false;
}

class PushStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(allocator); }

    // Into the sink, running without a clock.
    void StartRunning(PushStream& stream, HoldingSink& sink) {
        ASSERT_EQ(S_OK, stream.Start(allocator.Get(), &sink, AnyType()));
        stream.Run(0, nullptr);
    }
    bool Decommitted() {
        ComRef<IMediaSample> sample;
        return allocator->GetBuffer(sample.Put(), nullptr, nullptr, 0) == VFW_E_NOT_COMMITTED;
    }

    ComApartment com;
    ComRef<IMemAllocator> allocator = CommittableAllocator();
};

TEST_F(PushStreamTest, StopFlushesASinkThatHoldsTheThreadAndDeliversNothingAfter) {
    HoldingSink sink(true);
    {
        CountingContent content(1);
        PushStream stream(content, PushStream::Due::AtStart, PushStream::MediaTimes::Buffers);
        StartRunning(stream, sink);
        ASSERT_TRUE(sink.WaitForReceive());
        stream.Pause(); // must not wait for the held Receive
        stream.Stop(&sink);
        const std::vector<std::string> expected = {"Receive", "BeginFlush", "Receive returned", "EndFlush"};
        EXPECT_EQ(expected, sink.Journal());
        EXPECT_EQ(1, content.stops);
        Sleep(50);
        EXPECT_EQ(expected, sink.Journal()) << "delivered after stop";
        EXPECT_EQ(1, sink.Refs()) << "the stream kept the sink";
    }
    EXPECT_TRUE(Decommitted());
}

TEST_F(PushStreamTest, ASinkThatLetsGoIsNotFlushedAndTimesRunOnAcrossAPause) {
    HoldingSink sink(false);
    CountingContent content(4);
    PushStream stream(content, PushStream::Due::AtEnd, PushStream::MediaTimes::Positions);
    StartRunning(stream, sink);
    ASSERT_TRUE(AwaitSamples(sink, 3));
    stream.Pause();
    const size_t beforePause = sink.Count();
    stream.Run(0, nullptr);
    ASSERT_TRUE(AwaitSamples(sink, beforePause + 3));
    stream.Stop(&sink);

    for (const std::string& call : sink.Journal()) {
        EXPECT_EQ("Receive", call);
    }
    const std::vector<HoldingSink::Times> times = sink.Received();
    EXPECT_TRUE(times[0].discontinuity);
    for (size_t i = 1; i < times.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(times[i - 1].end, times[i].start);
        EXPECT_EQ(times[i - 1].mediaEnd, times[i].mediaStart);
        EXPECT_EQ(4 * Millisecond, times[i].end - times[i].start);
        EXPECT_FALSE(times[i].discontinuity);
    }
    EXPECT_EQ(1, sink.Refs());
}

TEST_F(PushStreamTest, ARefusedTypeStartsNothing) {
    HoldingSink sink(false);
    CountingContent content(1);
    content.prepared = false;
    PushStream stream(content, PushStream::Due::AtStart, PushStream::MediaTimes::Buffers);
    EXPECT_EQ(E_FAIL, stream.Start(allocator.Get(), &sink, AnyType()));
    stream.Run(0, nullptr);
    stream.Stop(&sink);
    EXPECT_TRUE(sink.Journal().empty());
    EXPECT_EQ(0, content.stops);
    EXPECT_EQ(1, sink.Refs());
    EXPECT_TRUE(Decommitted());
}

} // namespace
