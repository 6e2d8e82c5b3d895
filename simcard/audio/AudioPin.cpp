#include "simcard/audio/AudioPin.h"

#include "simcard/base/FilterCore.h"
#include "simcard/base/MediaTypeEnumerator.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Without a suggestion: eight buffers of 40 ms each, a common capture latency.
constexpr long DefaultBuffers = 8;
constexpr long DefaultBuffersPerSecond = 25;

bool Complete(const AM_MEDIA_TYPE& type) {
    return type.majortype != GUID_NULL && type.subtype != GUID_NULL && type.formattype != GUID_NULL &&
           type.pbFormat;
}

bool MatchesPartial(const AM_MEDIA_TYPE& candidate, const AM_MEDIA_TYPE* partial) {
    return !partial || ((partial->majortype == GUID_NULL || partial->majortype == candidate.majortype) &&
                        (partial->subtype == GUID_NULL || partial->subtype == candidate.subtype) &&
                        (partial->formattype == GUID_NULL || partial->formattype == candidate.formattype));
}

} // namespace

AudioPin::AudioPin(IBaseFilter& owner, FilterCore& filterCore, SoundSource& source,
                   const char* journalDetails)
    : CardPin(owner, L"Capture", PINDIR_OUTPUT), core(filterCore), category(this, PIN_CATEGORY_CAPTURE),
      streamConfig(this, filterCore, settings, journalDetails), bufferNegotiation(this, filterCore, settings),
      streamer(source) {}

STDMETHODIMP AudioPin::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *out = static_cast<IPin*>(this);
    } else if (iid == IID_IKsPropertySet) {
        *out = static_cast<IKsPropertySet*>(&category);
    } else if (iid == IID_IAMStreamConfig) {
        *out = static_cast<IAMStreamConfig*>(&streamConfig);
    } else if (iid == IID_IAMBufferNegotiation) {
        *out = static_cast<IAMBufferNegotiation*>(&bufferNegotiation);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The chosen format alone once SetFormat chose it; else every format, the
// current one first.
std::vector<MediaType> AudioPin::Proposals() const {
    std::vector<MediaType> proposals{settings.format};
    if (!settings.chosen) {
        const WAVEFORMATEX& current = *AudioFormats::Wave(settings.format.Get());
        for (int i = 0; i < AudioFormats::Count(); ++i) {
            MediaType other = AudioFormats::At(i);
            const WAVEFORMATEX& wave = *AudioFormats::Wave(other.Get());
            if (wave.nSamplesPerSec != current.nSamplesPerSec || wave.nChannels != current.nChannels) {
                proposals.push_back(other);
            }
        }
    }
    return proposals;
}

STDMETHODIMP AudioPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
    if (!receiver) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    if (peer) {
        return VFW_E_ALREADY_CONNECTED;
    }
    if (core.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (type && Complete(*type)) {
        MediaType accepted;
        if (AudioFormats::Validate(*type, accepted) != S_OK) {
            return VFW_E_TYPE_NOT_ACCEPTED;
        }
        return TryConnect(receiver, accepted.Get());
    }
    for (const MediaType& proposal : Proposals()) {
        if (MatchesPartial(proposal.Get(), type) && TryConnect(receiver, proposal.Get()) == S_OK) {
            return S_OK;
        }
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT AudioPin::TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type) {
    HRESULT hr = receiver->ReceiveConnection(this, &type);
    if (hr != S_OK) {
        return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    }
    peer = ComRef<IPin>::Share(receiver);
    const MediaType previous = settings.format;
    settings.format = MediaType(type);
    hr = DecideAllocator();
    if (FAILED(hr)) {
        receiver->Disconnect();
        DropConnection();
        settings.format = previous;
        return hr;
    }
    settings.connected = true;
    return S_OK;
}

HRESULT AudioPin::DecideAllocator() {
    if (FAILED(peer->QueryInterface(IID_IMemInputPin, peerInput.PutVoid()))) {
        peerInput.Reset();
        return VFW_E_NO_TRANSPORT;
    }
    const WAVEFORMATEX& wave = *AudioFormats::Wave(settings.format.Get());
    const ALLOCATOR_PROPERTIES& suggested = settings.suggested;
    // A suggested size is kept to whole sample frames, at least one.
    const long size = suggested.cbBuffer > 0
                          ? suggested.cbBuffer
                          : static_cast<long>(wave.nAvgBytesPerSec / DefaultBuffersPerSecond);
    bufferBytes = std::max(size / wave.nBlockAlign, 1L) * wave.nBlockAlign;

    ALLOCATOR_PROPERTIES requirements = {};
    peerInput->GetAllocatorRequirements(&requirements);
    ALLOCATOR_PROPERTIES wanted = {};
    wanted.cBuffers = suggested.cBuffers > 0 ? std::max(suggested.cBuffers, 2L)
                                             : std::max(requirements.cBuffers, DefaultBuffers);
    wanted.cbBuffer = bufferBytes;
    wanted.cbAlign = suggested.cbAlign > 0 ? suggested.cbAlign : std::max(requirements.cbAlign, 1L);
    wanted.cbPrefix = suggested.cbPrefix >= 0 ? suggested.cbPrefix : requirements.cbPrefix;

    // The peer's allocator first; the renderers here have none to offer.
    ComRef<IMemAllocator> candidate;
    if (SUCCEEDED(peerInput->GetAllocator(candidate.Put())) && candidate &&
        UseAllocator(candidate, wanted) == S_OK) {
        return S_OK;
    }
    const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IMemAllocator, candidate.PutVoid());
    return FAILED(hr) ? hr : UseAllocator(candidate, wanted);
}

HRESULT AudioPin::UseAllocator(ComRef<IMemAllocator>& candidate, const ALLOCATOR_PROPERTIES& wanted) {
    ALLOCATOR_PROPERTIES request = wanted;
    ALLOCATOR_PROPERTIES actual = {};
    HRESULT hr = candidate->SetProperties(&request, &actual);
    if (FAILED(hr)) {
        return hr;
    }
    if (actual.cBuffers < 2 || actual.cbBuffer < bufferBytes) {
        return VFW_E_SIZENOTSET;
    }
    hr = peerInput->NotifyAllocator(candidate.Get(), FALSE);
    if (FAILED(hr)) {
        return hr;
    }
    settings.actual = actual;
    allocator = std::move(candidate);
    return S_OK;
}

void AudioPin::DropConnection() {
    allocator.Reset();
    peerInput.Reset();
    peer.Reset();
    settings.connected = false;
    settings.actual = ALLOCATOR_PROPERTIES{};
}

STDMETHODIMP AudioPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;
}

STDMETHODIMP AudioPin::Disconnect() {
    ScopedLock hold(core.Lock());
    if (core.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (!peer) {
        return S_FALSE;
    }
    DropConnection();
    return S_OK;
}

STDMETHODIMP AudioPin::ConnectedTo(IPin** pin) {
    if (!pin) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *pin = ComRef<IPin>::Share(peer.Get()).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP AudioPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    if (!peer) {
        std::memset(type, 0, sizeof *type);
        return VFW_E_NOT_CONNECTED;
    }
    return MediaTypes::CopyInto(*type, settings.format.Get());
}

STDMETHODIMP AudioPin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    MediaType accepted;
    return AudioFormats::Validate(*type, accepted) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP AudioPin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *types = new (std::nothrow) MediaTypeEnumerator(Proposals());
    return *types ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP AudioPin::EndOfStream() {
    return E_UNEXPECTED;
}
STDMETHODIMP AudioPin::BeginFlush() {
    return E_UNEXPECTED;
}
STDMETHODIMP AudioPin::EndFlush() {
    return E_UNEXPECTED;
}

HRESULT AudioPin::Activate() {
    if (!peer) {
        return S_OK;
    }
    return streamer.Start(allocator.Get(), peerInput.Get(), *AudioFormats::Wave(settings.format.Get()),
                          bufferBytes);
}

void AudioPin::Run(REFERENCE_TIME start, IReferenceClock* clock) {
    if (peer) {
        streamer.Run(start, clock);
    }
}

void AudioPin::Pause() {
    streamer.Pause();
}

void AudioPin::Deactivate() {
    streamer.Stop(peer.Get());
}
