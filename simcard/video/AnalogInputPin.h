#pragma once

#include "simcard/base/CardPin.h"

// The card's analog video input. A real driver connects it to its crossbar
// filter; here the crossbar lives on the capture filter, so the pin exists
// (the viewer looks for it) but accepts no connection.
class AnalogInputPin : public CardPin {
public:
    explicit AnalogInputPin(IBaseFilter& filter);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override; // none
};
