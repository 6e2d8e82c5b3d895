#include "simcard/base/PinEnumerator.h"

#include <new>

PinEnumerator::PinEnumerator(IBaseFilter* owner, const std::vector<IPin*>& pins, size_t start)
    : ListEnumerator(IID_IEnumPins, pins, start), filter(ComRef<IBaseFilter>::Share(owner)) {}

bool PinEnumerator::HandOut(IPin* const& pin, IPin*& out) {
    out = pin;
    pin->AddRef();
    return true;
}

IEnumPins* PinEnumerator::Copy() const {
    return new (std::nothrow) PinEnumerator(filter.Get(), items, position);
}
