#pragma once

// The card's TV tuner (IAMTVTuner and its base IAMTuner). Journal label
// "tuner": "put_CountryCode(81)", "put_TuningSpace(0)", "put_Mode(1)",
// "put_ConnectInput(0)", "put_InputType(0, 1)", "put_Channel(5, -1, -1)".
// Any other call is unexpected.

#include "tests/fakes/FakeBase.h"

#include <set>

namespace fakes {

class FakeTuner : public Fake<IAMTVTuner> {
public:
    FakeTuner();

    // Methods by name ("put_Channel") that answer E_FAIL.
    std::set<std::string> refused;

    STDMETHODIMP put_Channel(LONG channel, LONG video, LONG audio) override;
    STDMETHODIMP put_CountryCode(LONG country) override;
    STDMETHODIMP put_TuningSpace(LONG space) override;
    STDMETHODIMP put_Mode(AMTunerModeType mode) override;
    STDMETHODIMP put_ConnectInput(LONG index) override;
    STDMETHODIMP put_InputType(LONG index, TunerInputType type) override;

    STDMETHODIMP get_Channel(LONG*, LONG*, LONG*) override { return Unexpected("get_Channel"); }
    STDMETHODIMP ChannelMinMax(LONG*, LONG*) override { return Unexpected("ChannelMinMax"); }
    STDMETHODIMP get_CountryCode(LONG*) override { return Unexpected("get_CountryCode"); }
    STDMETHODIMP get_TuningSpace(LONG*) override { return Unexpected("get_TuningSpace"); }
    STDMETHODIMP Logon(HANDLE) override { return Unexpected("Logon"); }
    STDMETHODIMP Logout() override { return Unexpected("Logout"); }
    STDMETHODIMP SignalPresent(LONG*) override { return Unexpected("SignalPresent"); }
    STDMETHODIMP get_Mode(AMTunerModeType*) override { return Unexpected("get_Mode"); }
    STDMETHODIMP GetAvailableModes(LONG*) override { return Unexpected("GetAvailableModes"); }
    STDMETHODIMP RegisterNotificationCallBack(IAMTunerNotification*, LONG) override {
        return Unexpected("RegisterNotificationCallBack");
    }
    STDMETHODIMP UnRegisterNotificationCallBack(IAMTunerNotification*) override {
        return Unexpected("UnRegisterNotificationCallBack");
    }
    STDMETHODIMP get_AvailableTVFormats(LONG*) override { return Unexpected("get_AvailableTVFormats"); }
    STDMETHODIMP get_TVFormat(LONG*) override { return Unexpected("get_TVFormat"); }
    STDMETHODIMP AutoTune(LONG, LONG*) override { return Unexpected("AutoTune"); }
    STDMETHODIMP StoreAutoTune() override { return Unexpected("StoreAutoTune"); }
    STDMETHODIMP get_NumInputConnections(LONG*) override { return Unexpected("get_NumInputConnections"); }
    STDMETHODIMP get_InputType(LONG, TunerInputType*) override { return Unexpected("get_InputType"); }
    STDMETHODIMP get_ConnectInput(LONG*) override { return Unexpected("get_ConnectInput"); }
    STDMETHODIMP get_VideoFrequency(LONG*) override { return Unexpected("get_VideoFrequency"); }
    STDMETHODIMP get_AudioFrequency(LONG*) override { return Unexpected("get_AudioFrequency"); }

private:
    HRESULT Put(const std::string& method, const std::string& arguments);
};

} // namespace fakes
