#include "simcard/base/SourcePin.h"

#include "simcard/base/FilterCore.h"
#include "simcard/base/MediaTypeEnumerator.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

// A type that names its format type is the one asked for, block or not: a
// missing block makes it a wrong type, not a partial one.
bool Complete(const AM_MEDIA_TYPE& type) {
    return type.majortype != GUID_NULL && type.subtype != GUID_NULL && type.formattype != GUID_NULL;
}

bool MatchesPartial(const AM_MEDIA_TYPE& candidate, const AM_MEDIA_TYPE* partial) {
    return !partial || ((partial->majortype == GUID_NULL || partial->majortype == candidate.majortype) &&
                        (partial->subtype == GUID_NULL || partial->subtype == candidate.subtype) &&
                        (partial->formattype == GUID_NULL || partial->formattype == candidate.formattype));
}

} // namespace

SourcePin::SourcePin(IBaseFilter& filter, FilterCore& filterCore, const wchar_t* name,
                     const GUID& pinCategory, MediaType& connection)
    : CardPin(filter, name, PINDIR_OUTPUT), core(filterCore), connectionType(connection),
      category(this, pinCategory) {}

STDMETHODIMP SourcePin::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *out = static_cast<IPin*>(this);
    } else if (iid == IID_IKsPropertySet) {
        *out = static_cast<IKsPropertySet*>(&category);
    } else {
        *out = OtherInterface(iid);
    }
    if (!*out) {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP SourcePin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
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
        if (Validate(*type, accepted) != S_OK) {
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

HRESULT SourcePin::TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type) {
    HRESULT hr = receiver->ReceiveConnection(this, &type);
    if (hr != S_OK) {
        return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    }
    peer = ComRef<IPin>::Share(receiver);
    connectionType = MediaType(type);
    ALLOCATOR_PROPERTIES actual = {};
    hr = DecideAllocator(actual);
    if (FAILED(hr)) {
        receiver->Disconnect();
        DropConnection();
        return hr;
    }
    Connected(actual);
    return S_OK;
}

HRESULT SourcePin::DecideAllocator(ALLOCATOR_PROPERTIES& actual) {
    if (FAILED(peer->QueryInterface(IID_IMemInputPin, peerInput.PutVoid()))) {
        peerInput.Reset();
        return VFW_E_NO_TRANSPORT;
    }
    ALLOCATOR_PROPERTIES requirements = {};
    peerInput->GetAllocatorRequirements(&requirements);
    ALLOCATOR_PROPERTIES wanted = {};
    HRESULT hr = WantedBuffers(connectionType.Get(), requirements, wanted);
    if (FAILED(hr)) {
        return hr;
    }
    // The peer's allocator first; the renderers here have none to offer.
    ComRef<IMemAllocator> candidate;
    if (SUCCEEDED(peerInput->GetAllocator(candidate.Put())) && candidate &&
        SUCCEEDED(UseAllocator(candidate, wanted, actual))) {
        return S_OK;
    }
    hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          candidate.PutVoid());
    return FAILED(hr) ? hr : UseAllocator(candidate, wanted, actual);
}

HRESULT SourcePin::UseAllocator(ComRef<IMemAllocator>& candidate, const ALLOCATOR_PROPERTIES& wanted,
                                ALLOCATOR_PROPERTIES& actual) {
    ALLOCATOR_PROPERTIES request = wanted;
    HRESULT hr = candidate->SetProperties(&request, &actual);
    if (FAILED(hr)) {
        return hr;
    }
    // A peer that copies from one buffer into another of the same allocator
    // (the Smart Tee) deadlocks on a single buffer.
    if (actual.cBuffers < 2 || actual.cbBuffer < wanted.cbBuffer) {
        return VFW_E_SIZENOTSET;
    }
    hr = peerInput->NotifyAllocator(candidate.Get(), FALSE);
    if (FAILED(hr)) {
        return hr;
    }
    allocator = std::move(candidate);
    return S_OK;
}

void SourcePin::DropConnection() {
    allocator.Reset();
    peerInput.Reset();
    peer.Reset();
    connectionType = MediaType();
    Disconnected();
}

STDMETHODIMP SourcePin::Disconnect() {
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

STDMETHODIMP SourcePin::ConnectedTo(IPin** pin) {
    if (!pin) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *pin = ComRef<IPin>::Share(peer.Get()).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP SourcePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
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

STDMETHODIMP SourcePin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (!type) {
        return E_POINTER;
    }
    MediaType accepted;
    return Validate(*type, accepted) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP SourcePin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) {
        return E_POINTER;
    }
    ScopedLock hold(core.Lock());
    *types = new (std::nothrow) MediaTypeEnumerator(Proposals());
    return *types ? S_OK : E_OUTOFMEMORY;
}

HRESULT SourcePin::Activate() {
    return peer ? Stream().Start(allocator.Get(), peerInput.Get(), connectionType.Get()) : S_OK;
}

void SourcePin::Run(REFERENCE_TIME start, IReferenceClock* clock) {
    if (peer) {
        Stream().Run(start, clock);
    }
}

void SourcePin::Pause() {
    Stream().Pause();
}

void SourcePin::Deactivate() {
    Stream().Stop(peer.Get());
}
