#include "simcard/sink/FrameSink.h"

#include "simcard/MediaTypes.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr size_t MaxRecordedSamples = 100000;

const BITMAPINFOHEADER* BitmapOf(const AM_MEDIA_TYPE& type) {
    if (type.formattype == FORMAT_VideoInfo && type.cbFormat >= sizeof(VIDEOINFOHEADER) && type.pbFormat) {
        return &reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    }
    return nullptr;
}

const wchar_t InputName[] = L"In";

} // namespace

// The one input pin; its lifetime is the sink's.
class FrameSink::InputPin final : public IPin, public IMemInputPin {
public:
    explicit InputPin(FrameSink& sink) : sink(sink) { std::memset(&type, 0, sizeof type); }
    ~InputPin() { Drop(); }

    void Drop() {
        if (peer) {
            peer->Release();
            peer = nullptr;
        }
        if (allocator) {
            allocator->Release();
            allocator = nullptr;
        }
        MediaTypes::FreeContents(type);
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IPin) {
            *out = static_cast<IPin*>(this);
        } else if (iid == IID_IMemInputPin) {
            *out = static_cast<IMemInputPin*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return sink.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return sink.Release(); }

    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* offered) override {
        if (!connector || !offered) {
            return E_POINTER;
        }
        EnterCriticalSection(&sink.core.Lock());
        HRESULT hr = S_OK;
        if (peer) {
            hr = VFW_E_ALREADY_CONNECTED;
        } else if (offered->majortype != MEDIATYPE_Video || !BitmapOf(*offered)) {
            hr = VFW_E_TYPE_NOT_ACCEPTED;
        } else if (SUCCEEDED(hr = MediaTypes::CopyInto(type, *offered))) {
            peer = connector;
            peer->AddRef();
        }
        LeaveCriticalSection(&sink.core.Lock());
        return hr;
    }
    STDMETHODIMP Disconnect() override {
        EnterCriticalSection(&sink.core.Lock());
        const HRESULT hr = peer ? S_OK : S_FALSE;
        Drop();
        LeaveCriticalSection(&sink.core.Lock());
        return hr;
    }
    STDMETHODIMP ConnectedTo(IPin** pin) override {
        if (!pin) {
            return E_POINTER;
        }
        EnterCriticalSection(&sink.core.Lock());
        *pin = peer;
        if (peer) {
            peer->AddRef();
        }
        LeaveCriticalSection(&sink.core.Lock());
        return *pin ? S_OK : VFW_E_NOT_CONNECTED;
    }
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* out) override {
        if (!out) {
            return E_POINTER;
        }
        EnterCriticalSection(&sink.core.Lock());
        HRESULT hr = peer ? MediaTypes::CopyInto(*out, type) : VFW_E_NOT_CONNECTED;
        if (!peer) {
            std::memset(out, 0, sizeof *out);
        }
        LeaveCriticalSection(&sink.core.Lock());
        return hr;
    }
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override {
        if (!info) {
            return E_POINTER;
        }
        info->pFilter = &sink;
        sink.AddRef();
        info->dir = PINDIR_INPUT;
        std::wcsncpy(info->achName, InputName, 127);
        info->achName[127] = L'\0';
        return S_OK;
    }
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override {
        if (!direction) {
            return E_POINTER;
        }
        *direction = PINDIR_INPUT;
        return S_OK;
    }
    STDMETHODIMP QueryId(LPWSTR* id) override {
        if (!id) {
            return E_POINTER;
        }
        *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof InputName));
        if (!*id) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(*id, InputName, sizeof InputName);
        return S_OK;
    }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* offered) override {
        return offered && offered->majortype == MEDIATYPE_Video && BitmapOf(*offered) ? S_OK : S_FALSE;
    }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() override { return S_OK; }
    STDMETHODIMP BeginFlush() override { return S_OK; }
    STDMETHODIMP EndFlush() override { return S_OK; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    STDMETHODIMP GetAllocator(IMemAllocator** out) override {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        return VFW_E_NO_ALLOCATOR;
    }
    STDMETHODIMP NotifyAllocator(IMemAllocator* given, BOOL) override {
        if (!given) {
            return E_POINTER;
        }
        EnterCriticalSection(&sink.core.Lock());
        given->AddRef();
        if (allocator) {
            allocator->Release();
        }
        allocator = given;
        LeaveCriticalSection(&sink.core.Lock());
        return S_OK;
    }
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
    STDMETHODIMP Receive(IMediaSample* sample) override { return sample ? sink.Receive(sample) : E_POINTER; }
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override {
        if (!samples || !processed) {
            return E_POINTER;
        }
        *processed = 0;
        HRESULT hr = S_OK;
        while (*processed < count && (hr = Receive(samples[*processed])) == S_OK) {
            ++*processed;
        }
        return hr;
    }
    STDMETHODIMP ReceiveCanBlock() override { return S_FALSE; }

    bool Bitmap(BITMAPINFOHEADER& header, GUID& subtype) const {
        const BITMAPINFOHEADER* bitmap = peer ? BitmapOf(type) : nullptr;
        if (bitmap) {
            header = *bitmap;
            subtype = type.subtype;
        }
        return bitmap != nullptr;
    }

private:
    FrameSink& sink;
    IPin* peer = nullptr;
    IMemAllocator* allocator = nullptr;
    AM_MEDIA_TYPE type;
};

// IEnumPins over the single input pin.
class FrameSink::PinList final : public IEnumPins {
public:
    PinList(FrameSink& sink, ULONG position) : sink(sink), position(position) { sink.AddRef(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IEnumPins) {
            *out = static_cast<IEnumPins*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs);
        if (left == 0) {
            sink.Release();
            delete this;
        }
        return left;
    }
    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override {
        if (!pins || (count > 1 && !fetched)) {
            return E_POINTER;
        }
        ULONG given = 0;
        if (count > 0 && position == 0) {
            pins[0] = sink.Input();
            pins[0]->AddRef();
            position = 1;
            given = 1;
        }
        if (fetched) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        position += count;
        return position <= 1 ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumPins** clone) override {
        if (!clone) {
            return E_POINTER;
        }
        *clone = new PinList(sink, position);
        return S_OK;
    }

private:
    volatile LONG refs = 1;
    FrameSink& sink;
    ULONG position;
};

FrameSink* FrameSink::Create() {
    return new FrameSink();
}

FrameSink::FrameSink()
    : frameArrived(CreateEventW(nullptr, FALSE, FALSE, nullptr)), input(new InputPin(*this)) {}

FrameSink::~FrameSink() {
    delete input;
    CloseHandle(frameArrived);
}

IPin* FrameSink::Input() {
    return input;
}

HRESULT FrameSink::Receive(IMediaSample* sample) {
    EnterCriticalSection(&core.Lock());
    if (core.State() == State_Stopped) {
        LeaveCriticalSection(&core.Lock());
        return VFW_E_WRONG_STATE;
    }
    Sample record;
    record.timed = sample->GetTime(&record.start, &record.end) == S_OK;
    record.discontinuity = sample->IsDiscontinuity() == S_OK;
    record.length = sample->GetActualDataLength();
    if (samples.size() < MaxRecordedSamples) {
        samples.push_back(record);
    }
    BYTE* data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)) && record.length > 0) {
        lastFrame.assign(data, data + record.length);
    }
    ++frames;
    LeaveCriticalSection(&core.Lock());
    SetEvent(frameArrived);
    return S_OK;
}

long FrameSink::FrameCount() const {
    EnterCriticalSection(&core.Lock());
    const long count = frames;
    LeaveCriticalSection(&core.Lock());
    return count;
}

std::vector<FrameSink::Sample> FrameSink::Samples() const {
    EnterCriticalSection(&core.Lock());
    std::vector<Sample> copy = samples;
    LeaveCriticalSection(&core.Lock());
    return copy;
}

std::vector<BYTE> FrameSink::LastFrame() const {
    EnterCriticalSection(&core.Lock());
    std::vector<BYTE> copy = lastFrame;
    LeaveCriticalSection(&core.Lock());
    return copy;
}

bool FrameSink::ConnectedBitmap(BITMAPINFOHEADER& header, GUID& subtype) const {
    EnterCriticalSection(&core.Lock());
    const bool connected = input->Bitmap(header, subtype);
    LeaveCriticalSection(&core.Lock());
    return connected;
}

long FrameSink::WaitForFrames(long wanted, DWORD maxWaitMs) const {
    const ULONGLONG deadline = GetTickCount64() + maxWaitMs;
    long count = FrameCount();
    while (count < wanted) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            break;
        }
        WaitForSingleObject(frameArrived, static_cast<DWORD>(deadline - now));
        count = FrameCount();
    }
    return count;
}

STDMETHODIMP FrameSink::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
        *out = static_cast<IBaseFilter*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FrameSink::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) FrameSink::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP FrameSink::GetClassID(CLSID* id) {
    if (!id) {
        return E_POINTER;
    }
    *id = GUID_NULL;
    return S_OK;
}

STDMETHODIMP FrameSink::Stop() {
    core.SetState(State_Stopped);
    return S_OK;
}

STDMETHODIMP FrameSink::Pause() {
    core.SetState(State_Paused);
    return S_OK;
}

STDMETHODIMP FrameSink::Run(REFERENCE_TIME) {
    core.SetState(State_Running);
    return S_OK;
}

STDMETHODIMP FrameSink::GetState(DWORD, FILTER_STATE* current) {
    return core.GetState(current, S_OK);
}

STDMETHODIMP FrameSink::SetSyncSource(IReferenceClock* clock) {
    return core.SetSyncSource(clock);
}

STDMETHODIMP FrameSink::GetSyncSource(IReferenceClock** clock) {
    return core.GetSyncSource(clock);
}

STDMETHODIMP FrameSink::EnumPins(IEnumPins** pins) {
    if (!pins) {
        return E_POINTER;
    }
    *pins = new PinList(*this, 0);
    return S_OK;
}

STDMETHODIMP FrameSink::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) {
        return E_POINTER;
    }
    if (std::wcscmp(id, InputName) != 0) {
        *pin = nullptr;
        return VFW_E_NOT_FOUND;
    }
    *pin = input;
    input->AddRef();
    return S_OK;
}

STDMETHODIMP FrameSink::QueryFilterInfo(FILTER_INFO* info) {
    return core.QueryFilterInfo(info);
}

STDMETHODIMP FrameSink::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    core.JoinFilterGraph(graph, name);
    return S_OK;
}

STDMETHODIMP FrameSink::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;
}
