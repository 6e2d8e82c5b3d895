#include "capture/ProcAmpControl.h"

#include "common/Ownership.h"

#include <olectl.h>

void ProcAmpControl::ShowPropertyPages(HWND owner) {
    if (!hasPages) {
        return;
    }
    ComRef<ISpecifyPropertyPages> specify;
    if (iface->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()) != S_OK || !specify) {
        return;
    }
    PropertyPageList pages;
    if (specify->GetPages(pages.Put()) != S_OK) {
        return;
    }
    // The card's first page is its own device page; the adjustment sliders start at the second.
    if (pages.Count() > 1) {
        IUnknown* objects[1] = {iface};
        OleCreatePropertyFrame(owner, 0, 0, nullptr, 1, objects, pages.Count() - 1,
                               const_cast<CLSID*>(pages.begin() + 1), 0, 0, nullptr);
    }
}
