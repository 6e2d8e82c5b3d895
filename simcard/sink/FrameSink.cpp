#include "simcard/sink/FrameSink.h"

#include "simcard/audio/AudioFormats.h"
#include "simcard/base/CardPin.h"
#include "simcard/base/MediaTypes.h"

#include <cstring>

namespace {

constexpr size_t MaxRecordedSamples = 100000;
constexpr size_t MaxRecordedSound = 32 * 1024 * 1024; // bytes, over a minute of 48 kHz stereo

// Any picture block (a recorder takes VIDEOINFOHEADER2 as well) or any PCM, not only the card's formats.
bool Acceptable(const AM_MEDIA_TYPE& type) {
    return (type.majortype == MEDIATYPE_Video && MediaTypes::Bitmap(type)) ||
           (type.majortype == MEDIATYPE_Audio && type.subtype == MEDIASUBTYPE_PCM &&
            AudioFormats::Wave(type));
}

} // namespace

// The one input pin; its lifetime is the sink's.
class FrameSink::InputPin final : public CardPin, public IMemInputPin {
public:
    explicit InputPin(FrameSink& sink) : CardPin(sink, L"In", PINDIR_INPUT), sink(sink) {}

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
    STDMETHODIMP_(ULONG) AddRef() override { return CardPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CardPin::Release(); }

    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* offered) override {
        if (!connector || !offered) {
            return E_POINTER;
        }
        ScopedLock hold(sink.Lock());
        if (peer) {
            return VFW_E_ALREADY_CONNECTED;
        }
        if (!Acceptable(*offered)) {
            return VFW_E_TYPE_NOT_ACCEPTED;
        }
        type = MediaType(*offered);
        peer = ComRef<IPin>::Share(connector);
        return S_OK;
    }
    STDMETHODIMP Disconnect() override {
        ScopedLock hold(sink.Lock());
        const HRESULT hr = peer ? S_OK : S_FALSE;
        peer.Reset();
        allocator.Reset();
        type = MediaType();
        return hr;
    }
    STDMETHODIMP ConnectedTo(IPin** pin) override {
        if (!pin) {
            return E_POINTER;
        }
        ScopedLock hold(sink.Lock());
        *pin = ComRef<IPin>::Share(peer.Get()).Detach();
        return *pin ? S_OK : VFW_E_NOT_CONNECTED;
    }
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* out) override {
        if (!out) {
            return E_POINTER;
        }
        ScopedLock hold(sink.Lock());
        if (!peer) {
            std::memset(out, 0, sizeof *out);
            return VFW_E_NOT_CONNECTED;
        }
        return MediaTypes::CopyInto(*out, type.Get());
    }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* offered) override {
        return offered && Acceptable(*offered) ? S_OK : S_FALSE;
    }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() override { return S_OK; }
    STDMETHODIMP BeginFlush() override { return S_OK; }
    STDMETHODIMP EndFlush() override { return S_OK; }

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
        ScopedLock hold(sink.Lock());
        allocator = ComRef<IMemAllocator>::Share(given);
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

    // Under the sink's lock.
    bool Bitmap(BITMAPINFOHEADER& header, GUID& subtype) const {
        const BITMAPINFOHEADER* bitmap = peer ? MediaTypes::Bitmap(type.Get()) : nullptr;
        if (bitmap) {
            header = *bitmap;
            subtype = type.Get().subtype;
        }
        return bitmap != nullptr;
    }
    const WAVEFORMATEX* Wave() const { return peer ? AudioFormats::Wave(type.Get()) : nullptr; }

private:
    FrameSink& sink;
    ComRef<IPin> peer;
    ComRef<IMemAllocator> allocator;
    MediaType type;
};

FrameSink* FrameSink::Create() {
    return new FrameSink();
}

FrameSink::FrameSink()
    : FilterBase(GUID_NULL, false), frameArrived(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      input(new InputPin(*this)) {}

FrameSink::~FrameSink() {
    CloseHandle(frameArrived);
}

IPin* FrameSink::Input() {
    return input.get();
}

std::vector<IPin*> FrameSink::Pins() {
    return {input.get()};
}

HRESULT FrameSink::Receive(IMediaSample* sample) {
    {
        ScopedLock hold(Lock());
        if (Core().State() == State_Stopped) {
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
            if (input->Wave()) {
                if (sound.size() + record.length <= MaxRecordedSound) {
                    sound.insert(sound.end(), data, data + record.length);
                }
            } else {
                lastFrame.assign(data, data + record.length);
            }
        }
        ++frames;
    }
    SetEvent(frameArrived);
    return S_OK;
}

long FrameSink::FrameCount() const {
    ScopedLock hold(Lock());
    return frames;
}

std::vector<FrameSink::Sample> FrameSink::Samples() const {
    ScopedLock hold(Lock());
    return samples;
}

std::vector<BYTE> FrameSink::LastFrame() const {
    ScopedLock hold(Lock());
    return lastFrame;
}

bool FrameSink::ConnectedBitmap(BITMAPINFOHEADER& header, GUID& subtype) const {
    ScopedLock hold(Lock());
    return input->Bitmap(header, subtype);
}

std::vector<BYTE> FrameSink::Sound(size_t from) const {
    ScopedLock hold(Lock());
    return from < sound.size() ? std::vector<BYTE>(sound.begin() + static_cast<long>(from), sound.end())
                               : std::vector<BYTE>();
}

size_t FrameSink::SoundSize() const {
    ScopedLock hold(Lock());
    return sound.size();
}

bool FrameSink::ConnectedWave(WAVEFORMATEX& wave) const {
    ScopedLock hold(Lock());
    const WAVEFORMATEX* connected = input->Wave();
    if (connected) {
        std::memcpy(&wave, connected, sizeof(PCMWAVEFORMAT));
    }
    return connected != nullptr;
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
