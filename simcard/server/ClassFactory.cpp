#include "simcard/server/ClassFactory.h"

#include "simcard/audio/AudioCaptureFilter.h"
#include "simcard/video/CaptureFilter.h"
#include "simcard/server/Guids.h"
#include "simcard/server/Module.h"
#include "simcard/pages/Pages.h"

namespace {

ClassFactory factories[] = {
    {CLSID_SimTvCaptureFilter, CreateObject<CaptureFilter>},
    {CLSID_SimTvAudioCaptureFilter, CreateObject<AudioCaptureFilter>},
    {CLSID_SimTvInputPage, CreateInputPage},
    {CLSID_SimTvPicturePage, CreatePicturePage},
    {CLSID_SimTvTunerPage, CreateTunerPage},
};

} // namespace

ClassFactory* ClassFactory::Find(const CLSID& clsid) {
    for (ClassFactory& factory : factories) {
        if (factory.clsid == clsid) {
            return &factory;
        }
    }
    return nullptr;
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

// Static objects: a reference does not keep the DLL loaded; LockServer does.
STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
    return 2;
}
STDMETHODIMP_(ULONG) ClassFactory::Release() {
    return 1;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    return create(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    Module::LockServer(lock != FALSE);
    return S_OK;
}
