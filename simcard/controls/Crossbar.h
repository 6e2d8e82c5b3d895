#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/server/Module.h"

#include <dshow.h>

// IAMCrossbar: tuner video, composite, S-Video, tuner audio and line audio
// inputs; video decoder and audio decoder outputs. Video goes only to the
// video decoder, audio only to the audio decoder, and input -1 disconnects
// the audio decoder (mute).
class Crossbar : public IAMCrossbar {
public:
    Crossbar(IUnknown* owner, CardState& card, bool reportNoInputs)
        : owner(owner), card(card), reportNoInputs(reportNoInputs) {}

    SIMCARD_DELEGATE_IUNKNOWN(owner)

    STDMETHODIMP get_PinCounts(LONG* outputs, LONG* inputs) override;
    STDMETHODIMP CanRoute(LONG output, LONG input) override;
    STDMETHODIMP Route(LONG output, LONG input) override;
    STDMETHODIMP get_IsRoutedTo(LONG output, LONG* input) override;
    STDMETHODIMP get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* related, LONG* type) override;

private:
    HRESULT Check(LONG output, LONG input) const;
    LONG InputCount() const { return reportNoInputs ? 0L : static_cast<LONG>(CrossbarInputCount); }

    IUnknown* owner;
    CardState& card;
    const bool reportNoInputs;
};
