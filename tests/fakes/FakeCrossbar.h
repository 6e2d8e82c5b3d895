#pragma once

// The card's crossbar. Journal label "crossbar": "get_PinCounts",
// "get_CrossbarPinInfo(in 3)", "CanRoute(1, -1)", "Route(0, 2)";
// get_IsRoutedTo is unexpected.

#include "tests/fakes/FakeBase.h"

#include <set>
#include <utility>

namespace fakes {

class FakeCrossbar : public Fake<IAMCrossbar> {
public:
    // Starts with the card's layout: inputs tuner video, composite, S-Video,
    // tuner audio, line audio; outputs video decoder, audio decoder.
    FakeCrossbar();

    std::vector<LONG> inputs;  // physical type of each input pin
    std::vector<LONG> outputs; // physical type of each output pin
    // Pins (input?, index) whose get_CrossbarPinInfo answers E_FAIL; the type
    // is written all the same, so code that ignores the answer still matches.
    std::set<std::pair<bool, LONG>> failingInfo;
    HRESULT canRouteResult = S_OK;
    HRESULT routeResult = S_OK;

    STDMETHODIMP get_PinCounts(LONG* outputCount, LONG* inputCount) override;
    STDMETHODIMP CanRoute(LONG output, LONG input) override;
    STDMETHODIMP Route(LONG output, LONG input) override;
    STDMETHODIMP get_IsRoutedTo(LONG output, LONG* input) override;
    STDMETHODIMP get_CrossbarPinInfo(WINBOOL isInput, LONG index, LONG* related, LONG* type) override;
};

} // namespace fakes
