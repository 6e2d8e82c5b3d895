#include "tests/fakes/FakeCrossbar.h"

#include <gtest/gtest.h>

namespace fakes {

namespace {

std::string Pair(LONG a, LONG b) {
    return "(" + std::to_string(a) + ", " + std::to_string(b) + ")";
}

} // namespace

FakeCrossbar::FakeCrossbar()
    : Fake("crossbar", {IID_IAMCrossbar}), inputs{PhysConn_Video_Tuner, PhysConn_Video_Composite,
                                                  PhysConn_Video_SVideo, PhysConn_Audio_Tuner,
                                                  PhysConn_Audio_Line},
      outputs{PhysConn_Video_VideoDecoder, PhysConn_Audio_AudioDecoder} {}

STDMETHODIMP FakeCrossbar::get_PinCounts(LONG* outputCount, LONG* inputCount) {
    Log("get_PinCounts");
    *outputCount = static_cast<LONG>(outputs.size());
    *inputCount = static_cast<LONG>(inputs.size());
    return S_OK;
}

STDMETHODIMP FakeCrossbar::CanRoute(LONG output, LONG input) {
    Log("CanRoute" + Pair(output, input));
    return canRouteResult;
}

STDMETHODIMP FakeCrossbar::Route(LONG output, LONG input) {
    Log("Route" + Pair(output, input));
    return routeResult;
}

STDMETHODIMP FakeCrossbar::get_IsRoutedTo(LONG, LONG*) {
    return Unexpected("get_IsRoutedTo");
}

STDMETHODIMP FakeCrossbar::get_CrossbarPinInfo(WINBOOL isInput, LONG index, LONG* related, LONG* type) {
    Log(std::string("get_CrossbarPinInfo(") + (isInput ? "in " : "out ") + std::to_string(index) + ")");
    const std::vector<LONG>& pins = isInput ? inputs : outputs;
    if (index < 0 || index >= static_cast<LONG>(pins.size())) {
        ADD_FAILURE() << "crossbar pin index out of range: " << index;
        return E_INVALIDARG;
    }
    *related = -1;
    *type = pins[index];
    return failingInfo.count({isInput != FALSE, index}) ? E_FAIL : S_OK;
}

} // namespace fakes
