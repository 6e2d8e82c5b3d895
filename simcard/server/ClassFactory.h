#pragma once

#include <unknwn.h>

using CreateFunction = HRESULT (*)(REFIID iid, void** out);

// The class factory of one of the DLL's classes; lives as long as the DLL.
class ClassFactory : public IClassFactory {
public:
    constexpr ClassFactory(const CLSID& clsid, CreateFunction create) : clsid(clsid), create(create) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

    const CLSID& Clsid() const { return clsid; }

    // The factory for a class of this DLL, or null.
    static ClassFactory* Find(const CLSID& clsid);

private:
    const CLSID& clsid;
    CreateFunction create;
};
