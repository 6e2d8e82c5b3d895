#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/server/Module.h"

#include <dshow.h>

// IAMVideoProcAmp: brightness, contrast, hue, saturation, sharpness and gamma,
// set by hand only. The picture shows the first four and gamma at once.
class ProcAmp : public IAMVideoProcAmp {
public:
    ProcAmp(IUnknown* owner, CardState& card) : owner(owner), card(card) {}

    SIMCARD_DELEGATE_IUNKNOWN(owner)

    STDMETHODIMP GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue,
                          LONG* capsFlags) override;
    STDMETHODIMP Set(LONG property, LONG value, LONG flags) override;
    STDMETHODIMP Get(LONG property, LONG* value, LONG* flags) override;

    struct Range {
        LONG property;
        const char* name;
        LONG min;
        LONG max;
        LONG defaultValue;
        long PictureAdjustment::*field;
    };
    // Null for a property the card does not have.
    static const Range* Find(LONG property);

private:
    IUnknown* owner;
    CardState& card;
};
