#pragma once

#include "common/Ownership.h"
#include "simcard/server/Module.h"

#include <ocidl.h>

// What the three pages share: the IPropertyPage plumbing around a dialog
// resource. Pages apply every change as it is made, since the property frame
// may never call Apply; so a page is never dirty.
class PropertyPage : public IPropertyPage, private ModuleObject {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* message) override;

protected:
    PropertyPage(int dialogId, int titleId);
    virtual ~PropertyPage();

    // Take the interfaces the page works on from the object, and give them back.
    virtual void Attach(IUnknown* object) = 0;
    virtual void Detach() = 0;
    // Fill the controls from the device.
    virtual void Initialise() = 0;
    virtual void OnCommand(int, int) {}
    virtual void OnScroll(HWND) {}

    HWND Dialog() const { return dialog; }
    // A string of the DLL's string table.
    static void LoadText(int id, wchar_t* buffer, int size);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    volatile LONG refs = 1;
    const int dialogId;
    const int titleId;
    ComRef<IPropertyPageSite> site;
    HWND dialog = nullptr;
    bool attached = false;
};
