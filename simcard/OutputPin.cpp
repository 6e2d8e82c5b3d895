#include "simcard/OutputPin.h"

#include "simcard/CaptureFilter.h"
#include "simcard/MediaTypeEnumerator.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The Smart Tee copies each sample into a second buffer of the same
// allocator while it holds the first: one buffer would deadlock it.
constexpr long MinimumBuffers = 4;

bool Complete(const AM_MEDIA_TYPE& type) {
    return type.majortype != GUID_NULL && type.subtype != GUID_NULL && type.formattype != GUID_NULL &&
           type.pbFormat;
}

bool MatchesPartial(const AM_MEDIA_TYPE& candidate, const AM_MEDIA_TYPE* partial) {
    return !partial || ((partial->majortype == GUID_NULL || partial->majortype == candidate.majortype) &&
                        (partial->subtype == GUID_NULL || partial->subtype == candidate.subtype) &&
                        (partial->formattype == GUID_NULL || partial->formattype == candidate.formattype));
}

class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& section) : section(section) { EnterCriticalSection(&section); }
    ~LockGuard() { LeaveCriticalSection(&section); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& section;
};

} // namespace

OutputPin::OutputPin(CaptureFilter& owner, const wchar_t* pinName, const GUID& pinCategory, bool isCapture)
    : CardPin(owner, pinName, PINDIR_OUTPUT), filter(owner), capturePin(isCapture),
      category(this, pinCategory), streamConfig(this, owner), compression(this, owner.Card()),
      streamer(owner.Card(), pinName) {}

STDMETHODIMP OutputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *out = static_cast<IPin*>(this);
    } else if (iid == IID_IKsPropertySet) {
        *out = static_cast<IKsPropertySet*>(&category);
    } else if (iid == IID_IAMStreamConfig && capturePin) {
        *out = static_cast<IAMStreamConfig*>(&streamConfig);
    } else if (iid == IID_IAMVideoCompression && capturePin) {
        *out = static_cast<IAMVideoCompression*>(&compression);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

std::vector<MediaType> OutputPin::Proposals() const {
    std::vector<MediaType> types{filter.CurrentFormat()};
    if (!filter.FormatChosen()) {
        for (int i = 0; i < filter.Formats().Count(); ++i) {
            types.emplace_back(filter.Formats().At(i));
        }
    }
    return types;
}

STDMETHODIMP OutputPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
    if (!receiver) {
        return E_POINTER;
    }
    LockGuard guard(filter.Lock());
    if (peer) {
        return VFW_E_ALREADY_CONNECTED;
    }
    if (filter.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (type && Complete(*type)) {
        MediaType accepted;
        if (filter.Formats().Validate(*type, accepted) != S_OK) {
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

HRESULT OutputPin::TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type) {
    HRESULT hr = receiver->ReceiveConnection(this, &type);
    if (hr != S_OK) {
        return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    }
    peer = receiver;
    peer->AddRef();
    connectionType = MediaType(type);
    hr = DecideAllocator();
    if (FAILED(hr)) {
        receiver->Disconnect();
        DropConnection();
        return hr;
    }
    filter.ChooseFormat(connectionType, false);
    return S_OK;
}

HRESULT OutputPin::ConfigureAllocator(IMemAllocator* candidate, const ALLOCATOR_PROPERTIES& wanted) {
    ALLOCATOR_PROPERTIES actual = {};
    ALLOCATOR_PROPERTIES request = wanted;
    HRESULT hr = candidate->SetProperties(&request, &actual);
    if (FAILED(hr)) {
        return hr;
    }
    if (actual.cBuffers < 2 || actual.cbBuffer < wanted.cbBuffer) {
        return VFW_E_SIZENOTSET;
    }
    return peerInput->NotifyAllocator(candidate, FALSE);
}

HRESULT OutputPin::DecideAllocator() {
    HRESULT hr = peer->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&peerInput));
    if (FAILED(hr)) {
        peerInput = nullptr;
        return VFW_E_NO_TRANSPORT;
    }
    FrameGeometry geometry;
    if (!FrameGeometry::Describe(connectionType.Get(), geometry)) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    ALLOCATOR_PROPERTIES requirements = {};
    peerInput->GetAllocatorRequirements(&requirements);
    ALLOCATOR_PROPERTIES wanted = {};
    wanted.cBuffers = std::max(requirements.cBuffers, MinimumBuffers);
    wanted.cbBuffer = std::max(requirements.cbBuffer, geometry.imageSize);
    wanted.cbAlign = std::max(requirements.cbAlign, 1L);
    wanted.cbPrefix = requirements.cbPrefix;

    // The peer's allocator first; the renderers here have none to offer.
    IMemAllocator* candidate = nullptr;
    if (SUCCEEDED(peerInput->GetAllocator(&candidate)) && candidate) {
        if (SUCCEEDED(ConfigureAllocator(candidate, wanted))) {
            allocator = candidate;
            return S_OK;
        }
        candidate->Release();
        candidate = nullptr;
    }
    hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          reinterpret_cast<void**>(&candidate));
    if (FAILED(hr)) {
        return hr;
    }
    hr = ConfigureAllocator(candidate, wanted);
    if (FAILED(hr)) {
        candidate->Release();
        return hr;
    }
    allocator = candidate;
    return S_OK;
}

void OutputPin::DropConnection() {
    if (allocator) {
        allocator->Release();
        allocator = nullptr;
    }
    if (peerInput) {
        peerInput->Release();
        peerInput = nullptr;
    }
    if (peer) {
        peer->Release();
        peer = nullptr;
    }
    connectionType = MediaType();
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;
}

STDMETHODIMP OutputPin::Disconnect() {
    LockGuard guard(filter.Lock());
    if (filter.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (!peer) {
        return S_FALSE;
    }
    DropConnection();
    return S_OK;
}

STDMETHODIMP OutputPin::ConnectedTo(IPin** pin) {
    if (!pin) {
        return E_POINTER;
    }
    LockGuard guard(filter.Lock());
    *pin = peer;
    if (!peer) {
        return VFW_E_NOT_CONNECTED;
    }
    peer->AddRef();
    return S_OK;
}

STDMETHODIMP OutputPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    LockGuard guard(filter.Lock());
    if (!peer) {
        std::memset(type, 0, sizeof *type);
        return VFW_E_NOT_CONNECTED;
    }
    return MediaTypes::CopyInto(*type, connectionType.Get());
}

STDMETHODIMP OutputPin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    MediaType accepted;
    return filter.Formats().Validate(*type, accepted) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP OutputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) {
        return E_POINTER;
    }
    LockGuard guard(filter.Lock());
    *types = new (std::nothrow) MediaTypeEnumerator(Proposals());
    return *types ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP OutputPin::EndOfStream() {
    return E_UNEXPECTED;
}
STDMETHODIMP OutputPin::BeginFlush() {
    return E_UNEXPECTED;
}
STDMETHODIMP OutputPin::EndFlush() {
    return E_UNEXPECTED;
}

void OutputPin::SetConnectionFrameDuration(REFERENCE_TIME duration) {
    if (peer) {
        if (REFERENCE_TIME* current = MediaTypes::FrameDuration(connectionType.Get())) {
            *current = duration;
        }
    }
}

HRESULT OutputPin::Activate() {
    if (!peer) {
        return S_OK;
    }
    return streamer.Start(allocator, peerInput, connectionType.Get());
}

void OutputPin::Run(REFERENCE_TIME start, IReferenceClock* clock) {
    if (peer) {
        streamer.Run(start, clock);
    }
}

void OutputPin::Pause() {
    streamer.Pause();
}

void OutputPin::Deactivate() {
    streamer.Stop(peer);
}
