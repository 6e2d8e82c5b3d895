#pragma once

#include <windows.h>

#include <new>

// The DLL's own bookkeeping: its instance handle and the count of live objects
// and server locks that DllCanUnloadNow answers from.
namespace Module {

HINSTANCE Instance();
void SetInstance(HINSTANCE instance);

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

} // namespace Module

// Base of every COM object of the DLL: counts it as alive while it exists.
class ModuleObject {
public:
    ModuleObject() { Module::ObjectCreated(); }
    ~ModuleObject() { Module::ObjectDestroyed(); }
    ModuleObject(const ModuleObject&) = delete;
    ModuleObject& operator=(const ModuleObject&) = delete;
};

// IUnknown of an interface implemented by a part of a larger object: identity
// and lifetime belong to the owner.
#define SIMCARD_DELEGATE_IUNKNOWN(owner)                                                                     \
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {                                           \
        return (owner)->QueryInterface(iid, out);                                                            \
    }                                                                                                        \
    STDMETHODIMP_(ULONG) AddRef() override {                                                                 \
        return (owner)->AddRef();                                                                            \
    }                                                                                                        \
    STDMETHODIMP_(ULONG) Release() override {                                                                \
        return (owner)->Release();                                                                           \
    }

// A class factory's creation function: new, then QueryInterface, then the
// object's own reference is given back.
template <typename Object> HRESULT CreateObject(REFIID iid, void** out) {
    auto* object = new (std::nothrow) Object();
    if (!object) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}
