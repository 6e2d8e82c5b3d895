#pragma once

// The system device enumerator and what it hands out: moniker enumerators,
// monikers and their property bags. Journal labels: "enum", "monikers",
// "moniker[<name>]", "bag[<name>]". A friendly name read from a bag is a
// string the caller frees ("bag[<name>] FriendlyName").

#include "tests/fakes/FakeFilters.h"

#include <cstring>
#include <map>

namespace fakes {

class FakePropertyBag : public Fake<IPropertyBag> {
public:
    explicit FakePropertyBag(const std::string& label, std::wstring friendlyName);

    std::wstring friendlyName;
    HRESULT readResult = S_OK;

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return Unexpected("Write"); }
};

class FakeMoniker : public Fake<IMoniker> {
public:
    explicit FakeMoniker(const std::string& label, std::wstring friendlyName);

    FakePropertyBag bag;
    HRESULT bindToStorageResult = S_OK;
    IUnknown* object = nullptr;        // what BindToObject hands out
    HRESULT bindToObjectResult = S_OK; // the object comes back with any success code

    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID iid, void** result) override;
    STDMETHODIMP BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** result) override;

    STDMETHODIMP GetClassID(CLSID*) override { return Unexpected("GetClassID"); }
    STDMETHODIMP IsDirty() override { return Unexpected("IsDirty", S_FALSE); }
    STDMETHODIMP Load(IStream*) override { return Unexpected("Load"); }
    STDMETHODIMP Save(IStream*, WINBOOL) override { return Unexpected("Save"); }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return Unexpected("GetSizeMax"); }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return Unexpected("Reduce"); }
    STDMETHODIMP ComposeWith(IMoniker*, WINBOOL, IMoniker**) override { return Unexpected("ComposeWith"); }
    STDMETHODIMP Enum(WINBOOL, IEnumMoniker**) override { return Unexpected("Enum"); }
    STDMETHODIMP IsEqual(IMoniker*) override { return Unexpected("IsEqual"); }
    STDMETHODIMP Hash(DWORD*) override { return Unexpected("Hash"); }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return Unexpected("IsRunning"); }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override {
        return Unexpected("GetTimeOfLastChange");
    }
    STDMETHODIMP Inverse(IMoniker**) override { return Unexpected("Inverse"); }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return Unexpected("CommonPrefixWith"); }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return Unexpected("RelativePathTo"); }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override {
        return Unexpected("GetDisplayName");
    }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override {
        return Unexpected("ParseDisplayName");
    }
    STDMETHODIMP IsSystemMoniker(DWORD*) override { return Unexpected("IsSystemMoniker"); }
};

// One device as the enumerator lists it: a moniker binding a filter.
// The label defaults to the friendly name; give one to tell same-named devices apart.
struct FakeDevice {
    explicit FakeDevice(const std::wstring& friendlyName, std::string label = "");

    FakeFilter filter;
    FakeMoniker moniker;
};

// A moniker enumerator over a fixed list, made by CreateClassEnumerator.
class FakeMonikerEnum : public FakeListEnum<IEnumMoniker, IMoniker> {
public:
    explicit FakeMonikerEnum(const std::vector<FakeMoniker*>& monikers);
};

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof(GUID)) < 0; }
};

class FakeDeviceEnum : public Fake<ICreateDevEnum> {
public:
    FakeDeviceEnum();

    // The devices of each category in enumeration order. An empty or absent
    // category answers S_FALSE with no enumerator, as the system's does.
    std::map<GUID, std::vector<FakeMoniker*>, GuidLess> devices;
    HRESULT createResult = S_OK;

    void Add(REFCLSID category, FakeDevice& device) { devices[category].push_back(&device.moniker); }

    STDMETHODIMP CreateClassEnumerator(REFCLSID category, IEnumMoniker** result, DWORD flags) override;
};

} // namespace fakes
