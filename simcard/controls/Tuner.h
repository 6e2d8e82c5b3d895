#pragma once

#include "simcard/controls/CardState.h"
#include "simcard/server/Module.h"

#include <dshow.h>

// IAMTVTuner: an analog TV tuner for Japan (country 81, channels 1-62) and the
// USA (country 1, channels 2-69), TV mode only, one antenna/cable input.
class Tuner : public IAMTVTuner {
public:
    Tuner(IUnknown* owner, CardState& card) : owner(owner), card(card) {}

    SIMCARD_DELEGATE_IUNKNOWN(owner)

    STDMETHODIMP put_Channel(LONG channel, LONG video, LONG audio) override;
    STDMETHODIMP get_Channel(LONG* channel, LONG* video, LONG* audio) override;
    STDMETHODIMP ChannelMinMax(LONG* min, LONG* max) override;
    STDMETHODIMP put_CountryCode(LONG country) override;
    STDMETHODIMP get_CountryCode(LONG* country) override;
    STDMETHODIMP put_TuningSpace(LONG space) override;
    STDMETHODIMP get_TuningSpace(LONG* space) override;
    STDMETHODIMP Logon(HANDLE user) override;
    STDMETHODIMP Logout() override;
    STDMETHODIMP SignalPresent(LONG* strength) override;
    STDMETHODIMP put_Mode(AMTunerModeType mode) override;
    STDMETHODIMP get_Mode(AMTunerModeType* mode) override;
    STDMETHODIMP GetAvailableModes(LONG* modes) override;
    STDMETHODIMP RegisterNotificationCallBack(IAMTunerNotification* notify, LONG events) override;
    STDMETHODIMP UnRegisterNotificationCallBack(IAMTunerNotification* notify) override;

    STDMETHODIMP get_AvailableTVFormats(LONG* standards) override;
    STDMETHODIMP get_TVFormat(LONG* standard) override;
    STDMETHODIMP AutoTune(LONG channel, LONG* signal) override;
    STDMETHODIMP StoreAutoTune() override;
    STDMETHODIMP get_NumInputConnections(LONG* count) override;
    STDMETHODIMP put_InputType(LONG index, TunerInputType type) override;
    STDMETHODIMP get_InputType(LONG index, TunerInputType* type) override;
    STDMETHODIMP put_ConnectInput(LONG index) override;
    STDMETHODIMP get_ConnectInput(LONG* index) override;
    STDMETHODIMP get_VideoFrequency(LONG* hertz) override;
    STDMETHODIMP get_AudioFrequency(LONG* hertz) override;

private:
    IUnknown* owner;
    CardState& card;
};

// Channel range of a country; false for a country the tuner does not know.
bool ChannelRange(LONG country, LONG& first, LONG& last);
// Video carrier of a channel in Hz, 0 when out of range.
LONG VideoCarrier(LONG country, LONG channel);
