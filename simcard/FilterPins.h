#pragma once

#include <dshow.h>

#include <vector>

// EnumPins and FindPin of a filter of the card, over the pins it has now.
HRESULT EnumFilterPins(IBaseFilter* filter, const std::vector<IPin*>& pins, IEnumPins** out);
HRESULT FindFilterPin(const std::vector<IPin*>& pins, LPCWSTR id, IPin** out);
