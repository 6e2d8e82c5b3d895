// The four entry points of an in-process COM server.
#include "simcard/server/ClassFactory.h"
#include "simcard/server/Module.h"
#include "simcard/server/Registration.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        Module::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    ClassFactory* factory = ClassFactory::Find(clsid);
    if (!factory) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory->QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
    return Module::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return Registration::RegisterAll();
}

STDAPI DllUnregisterServer() {
    return Registration::UnregisterAll();
}
