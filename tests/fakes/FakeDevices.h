#pragma once

// The system device enumerator and what it hands out: moniker enumerators,
// monikers and their property bags. Journal labels: "enum", "monikers",
// "moniker[<name>]", "bag[<name>]".

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
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
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

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, WINBOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ComposeWith(IMoniker*, WINBOOL, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP Enum(WINBOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP Hash(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Inverse(IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }
};

// One device as the enumerator lists it: a moniker binding a filter.
// The label defaults to the friendly name; give one to tell same-named devices apart.
struct FakeDevice {
    explicit FakeDevice(const std::wstring& friendlyName, std::string label = "");

    FakeFilter filter;
    FakeMoniker moniker;
};

// A moniker enumerator over a fixed list, made by CreateClassEnumerator.
class FakeMonikerEnum : public Fake<IEnumMoniker> {
public:
    explicit FakeMonikerEnum(std::vector<FakeMoniker*> monikers);

    std::vector<FakeMoniker*> monikers;
    size_t next = 0;

    STDMETHODIMP Next(ULONG count, IMoniker** result, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMoniker**) override { return E_NOTIMPL; }
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
