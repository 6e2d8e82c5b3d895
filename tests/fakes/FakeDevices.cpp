#include "tests/fakes/FakeDevices.h"

namespace fakes {

FakePropertyBag::FakePropertyBag(const std::string& label, std::wstring friendlyName)
    : Fake("bag[" + label + "]", {IID_IPropertyBag}), friendlyName(std::move(friendlyName)) {}

STDMETHODIMP FakePropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    Log("Read(" + Utf8(name) + ")");
    if (readResult != S_OK) {
        return readResult;
    }
    if (lstrcmpW(name, L"FriendlyName") != 0) {
        return E_INVALIDARG;
    }
    value->vt = VT_BSTR;
    value->bstrVal = TaskString(friendlyName.c_str(), Label() + " FriendlyName");
    return S_OK;
}

FakeMoniker::FakeMoniker(const std::string& label, std::wstring friendlyName)
    : Fake("moniker[" + label + "]", {IID_IMoniker}), bag(label, std::move(friendlyName)) {
    Answer(IID_IPersistStream, static_cast<IMoniker*>(this));
    Answer(IID_IPersist, static_cast<IMoniker*>(this));
}

STDMETHODIMP FakeMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID iid, void** result) {
    Log("BindToObject(" + NameOf(&iid) + ")");
    *result = nullptr;
    if (FAILED(bindToObjectResult)) {
        return bindToObjectResult;
    }
    if (!object) {
        return E_FAIL;
    }
    const HRESULT query = object->QueryInterface(iid, result);
    return query == S_OK ? bindToObjectResult : query;
}

STDMETHODIMP FakeMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** result) {
    Log("BindToStorage(" + NameOf(&iid) + ")");
    *result = nullptr;
    if (bindToStorageResult != S_OK) {
        return bindToStorageResult;
    }
    return bag.QueryInterface(iid, result);
}

FakeDevice::FakeDevice(const std::wstring& friendlyName, std::string label)
    : filter(label.empty() ? Utf8(friendlyName.c_str()) : label),
      moniker(label.empty() ? Utf8(friendlyName.c_str()) : label, friendlyName) {
    moniker.object = static_cast<IBaseFilter*>(&filter);
}

FakeMonikerEnum::FakeMonikerEnum(const std::vector<FakeMoniker*>& monikers)
    : FakeListEnum("monikers", IID_IEnumMoniker, {monikers.begin(), monikers.end()}) {}

FakeDeviceEnum::FakeDeviceEnum() : Fake("enum", {IID_ICreateDevEnum}) {}

STDMETHODIMP FakeDeviceEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker** result, DWORD flags) {
    Log("CreateClassEnumerator(" + NameOf(&category) + (flags ? ", " + std::to_string(flags) : "") + ")");
    *result = nullptr;
    if (createResult != S_OK) {
        return createResult;
    }
    const auto found = devices.find(category);
    if (found == devices.end() || found->second.empty()) {
        return S_FALSE;
    }
    *result = Adopt<FakeMonikerEnum>(found->second);
    (*result)->AddRef();
    return S_OK;
}

} // namespace fakes
