#include "tests/fakes/FakeTuner.h"

namespace fakes {

FakeTuner::FakeTuner() : Fake("tuner", {IID_IAMTVTuner}) {
    FakeObject::Answer(IID_IAMTuner, static_cast<IAMTVTuner*>(this));
}

HRESULT FakeTuner::Put(const std::string& method, const std::string& arguments) {
    Log(method + "(" + arguments + ")");
    return refused.count(method) ? E_FAIL : S_OK;
}

STDMETHODIMP FakeTuner::put_Channel(LONG channel, LONG video, LONG audio) {
    return Put("put_Channel",
               std::to_string(channel) + ", " + std::to_string(video) + ", " + std::to_string(audio));
}

STDMETHODIMP FakeTuner::put_CountryCode(LONG country) {
    return Put("put_CountryCode", std::to_string(country));
}

STDMETHODIMP FakeTuner::put_TuningSpace(LONG space) {
    return Put("put_TuningSpace", std::to_string(space));
}

STDMETHODIMP FakeTuner::put_Mode(AMTunerModeType mode) {
    return Put("put_Mode", std::to_string(static_cast<int>(mode)));
}

STDMETHODIMP FakeTuner::put_ConnectInput(LONG index) {
    return Put("put_ConnectInput", std::to_string(index));
}

STDMETHODIMP FakeTuner::put_InputType(LONG index, TunerInputType type) {
    return Put("put_InputType", std::to_string(index) + ", " + std::to_string(static_cast<int>(type)));
}

} // namespace fakes
