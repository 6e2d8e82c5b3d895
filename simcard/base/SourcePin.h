#pragma once

#include "common/Ownership.h"
#include "simcard/base/CardPin.h"
#include "simcard/base/MediaTypes.h"
#include "simcard/base/PinCategory.h"
#include "simcard/base/PushStream.h"

#include <vector>

class FilterCore;

// An output pin that pushes samples to its peer: the connection every output
// pin of the card makes alike. It connects in a type the pin accepts (its own
// proposals, in order, when the type is partial), takes the peer's allocator
// or makes its own, refuses what only an input pin does, and streams while
// connected. The pin says which types it takes and proposes, what buffers a
// type needs and which stream fills them.
class SourcePin : public CardPin {
public:
    // The connection type lives where the pin's owner keeps it: empty while
    // the pin is not connected.
    SourcePin(IBaseFilter& filter, FilterCore& core, const wchar_t* name, const GUID& category,
              MediaType& connectionType);

    // IPin, and IKsPropertySet for the pin's category, then the pin's own.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;

    // The filter's state changes, under its lock; Deactivate without it, as it
    // waits for the streaming thread.
    HRESULT Activate();
    void Run(REFERENCE_TIME start, IReferenceClock* clock);
    void Pause();
    void Deactivate();

protected:
    ~SourcePin() = default;

    // An interface beyond the pin's own and its category's, not yet counted;
    // null for none.
    virtual void* OtherInterface(REFIID) { return nullptr; }
    // The type as the pin would stream it, or a failure.
    virtual HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const = 0;
    // The types the pin offers, the preferred first.
    virtual std::vector<MediaType> Proposals() const = 0;
    // The buffers a connection in `type` needs, given the peer's requirements;
    // a failure refuses the type.
    virtual HRESULT WantedBuffers(const AM_MEDIA_TYPE& type, const ALLOCATOR_PROPERTIES& requirements,
                                  ALLOCATOR_PROPERTIES& wanted) = 0;
    // The connection is made (with the allocator's actual buffers), or ended.
    virtual void Connected(const ALLOCATOR_PROPERTIES& actual) = 0;
    virtual void Disconnected() {}
    virtual PushStream& Stream() = 0;

    FilterCore& core;
    ComRef<IPin> peer;
    ComRef<IMemInputPin> peerInput;
    ComRef<IMemAllocator> allocator;
    MediaType& connectionType;

private:
    HRESULT TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type);
    HRESULT DecideAllocator(ALLOCATOR_PROPERTIES& actual);
    HRESULT UseAllocator(ComRef<IMemAllocator>& candidate, const ALLOCATOR_PROPERTIES& wanted,
                         ALLOCATOR_PROPERTIES& actual);
    void DropConnection();

    PinCategory category;
};
