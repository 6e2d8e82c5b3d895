#pragma once

#include "common/Ownership.h"
#include "simcard/base/ListEnumerator.h"

#include <dshow.h>

#include <vector>

// IEnumPins over the pins a filter had when the enumerator was made. Keeps
// the filter alive, and with it the pins (and the DLL the filter counts on).
class PinEnumerator final : public ListEnumerator<IEnumPins, IPin*, IPin*> {
public:
    PinEnumerator(IBaseFilter* filter, const std::vector<IPin*>& pins, size_t position = 0);

private:
    bool HandOut(IPin* const& pin, IPin*& out) override;
    IEnumPins* Copy() const override;

    ComRef<IBaseFilter> filter;
};
