#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/server/Module.h"

#include <dshow.h>

// IAMTVAudio: mono or stereo, with language A or B.
class TvAudio : public IAMTVAudio {
public:
    TvAudio(IUnknown* owner, CardState& card) : owner(owner), card(card) {}

    SIMCARD_DELEGATE_IUNKNOWN(owner)

    STDMETHODIMP GetHardwareSupportedTVAudioModes(LONG* modes) override;
    STDMETHODIMP GetAvailableTVAudioModes(LONG* modes) override;
    STDMETHODIMP get_TVAudioMode(LONG* mode) override;
    STDMETHODIMP put_TVAudioMode(LONG mode) override;
    STDMETHODIMP RegisterNotificationCallBack(IAMTunerNotification* notify, LONG events) override;
    STDMETHODIMP UnRegisterNotificationCallBack(IAMTunerNotification* notify) override;

private:
    IUnknown* owner;
    CardState& card;
};
