#include "simcard/video/OutputPin.h"

#include "simcard/base/FilterCore.h"
#include "simcard/base/MediaTypeEnumerator.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

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

} // namespace

OutputPin::OutputPin(IBaseFilter& owner, FilterCore& filterCore, FormatState& formatState, CardState& card,
                     const wchar_t* pinName, const GUID& pinCategory, bool isCapture)
    : CardPin(owner, pinName, PINDIR_OUTPUT), core(filterCore), formats(formatState), capturePin(isCapture),
      category(this, pinCategory), streamConfig(this, filterCore, formatState), compression(this, card),
      streamer(card, pinName) {}

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

STDMETHODIMP OutputPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
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
        if (formats.List().Validate(*type, accepted) != S_OK) {
            return VFW_E_TYPE_NOT_ACCEPTED;
        }
        return TryConnect(receiver, accepted.Get());
    }
    for (const MediaType& proposal : formats.Proposals()) {
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
    peer = ComRef<IPin>::Share(receiver);
    connectionType = MediaType(type);
    hr = DecideAllocator();
    if (FAILED(hr)) {
        receiver->Disconnect();
        DropConnection();
        return hr;
    }
    formats.Choose(connectionType, false);
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
    HRESULT hr = peer->QueryInterface(IID_IMemInputPin, peerInput.PutVoid());
    if (FAILED(hr)) {
        peerInput.Reset();
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
    ComRef<IMemAllocator> candidate;
    if (SUCCEEDED(peerInput->GetAllocator(candidate.Put())) && candidate) {
        if (SUCCEEDED(ConfigureAllocator(candidate.Get(), wanted))) {
            allocator = std::move(candidate);
            return S_OK;
        }
    }
    hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          candidate.PutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    hr = ConfigureAllocator(candidate.Get(), wanted);
    if (FAILED(hr)) {
        return hr;
    }
    allocator = std::move(candidate);
    return S_OK;
}

void OutputPin::DropConnection() {
    allocator.Reset();
    peerInput.Reset();
    peer.Reset();
    connectionType = MediaType();
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;
}

STDMETHODIMP OutputPin::Disconnect() {
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

STDMETHODIMP OutputPin::ConnectedTo(IPin** pin) {
    if (!pin) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *pin = ComRef<IPin>::Share(peer.Get()).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP OutputPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
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
    return formats.List().Validate(*type, accepted) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP OutputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *types = new (std::nothrow) MediaTypeEnumerator(formats.Proposals());
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
    return streamer.Start(allocator.Get(), peerInput.Get(), connectionType.Get());
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
    streamer.Stop(peer.Get());
}
