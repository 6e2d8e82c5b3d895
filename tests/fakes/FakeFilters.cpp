#include "tests/fakes/FakeFilters.h"

namespace fakes {

FakePin::FakePin(FakeFilter* filter, PIN_DIRECTION direction, const std::string& name)
    : Fake("pin[" + name + "]", {IID_IPin}), filter(filter), direction(direction), name(name) {}

STDMETHODIMP FakePin::Disconnect() {
    Log("Disconnect");
    peer = nullptr;
    return S_OK;
}

STDMETHODIMP FakePin::ConnectedTo(IPin** pin) {
    Log("ConnectedTo");
    *pin = nullptr;
    if (!peer) {
        return VFW_E_NOT_CONNECTED;
    }
    if (connectedToResult != S_OK) {
        return connectedToResult;
    }
    *pin = peer;
    peer->AddRef();
    return S_OK;
}

STDMETHODIMP FakePin::QueryPinInfo(PIN_INFO* info) {
    Log("QueryPinInfo");
    if (queryPinInfoResult != S_OK) {
        return queryPinInfoResult;
    }
    info->pFilter = filter;
    filter->AddRef();
    info->dir = direction;
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, info->achName, MAX_PIN_NAME);
    info->achName[MAX_PIN_NAME - 1] = L'\0';
    return S_OK;
}

STDMETHODIMP FakePin::QueryDirection(PIN_DIRECTION* result) {
    Log("QueryDirection");
    if (queryDirectionResult != S_OK) {
        return queryDirectionResult;
    }
    *result = direction;
    return S_OK;
}

void Connect(FakePin& output, FakePin& input) {
    output.peer = &input;
    input.peer = &output;
}

FakeFilter::FakeFilter(const std::string& name)
    : Fake("filter[" + name + "]", {IID_IBaseFilter}), name(name) {
    Answer(IID_IMediaFilter, static_cast<IBaseFilter*>(this));
    Answer(IID_IPersist, static_cast<IBaseFilter*>(this));
}

FakePin& FakeFilter::AddPin(PIN_DIRECTION direction, const std::string& pinName) {
    pins.push_back(std::make_unique<FakePin>(this, direction, pinName));
    return *pins.back();
}

STDMETHODIMP FakeFilter::GetState(DWORD, FILTER_STATE* result) {
    *result = state;
    return S_OK;
}

STDMETHODIMP FakeFilter::GetSyncSource(IReferenceClock** clock) {
    *clock = nullptr;
    return S_OK;
}

STDMETHODIMP FakeFilter::EnumPins(IEnumPins** result) {
    Log("EnumPins");
    *result = nullptr;
    if (enumPinsResult != S_OK) {
        return enumPinsResult;
    }
    *result = Adopt<FakePinEnum>(this);
    (*result)->AddRef();
    return S_OK;
}

STDMETHODIMP FakeFilter::QueryFilterInfo(FILTER_INFO* info) {
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, info->achName, MAX_FILTER_NAME);
    info->achName[MAX_FILTER_NAME - 1] = L'\0';
    info->pGraph = nullptr;
    return S_OK;
}

FakePinEnum::FakePinEnum(FakeFilter* filter) : FakeListEnum("pins[" + filter->name + "]", IID_IEnumPins, {}) {
    for (const auto& pin : filter->pins) {
        items.push_back(pin.get());
    }
}

} // namespace fakes
