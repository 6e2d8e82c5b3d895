#include "capture/ProcAmpControl.h"

#include <olectl.h>

void ProcAmpControl::ShowPropertyPages(HWND owner) {
    if (!hasPages) {
        return;
    }
    ISpecifyPropertyPages* specify = nullptr;
    if (iface->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)) != S_OK ||
        !specify) {
        return;
    }
    CAUUID pages = {};
    if (specify->GetPages(&pages) != S_OK) {
        specify->Release();
        return;
    }
    // The card's first page is its own device page; the adjustment sliders start at the second.
    if (pages.cElems > 1 && pages.pElems) {
        IUnknown* objects[1] = {iface};
        OleCreatePropertyFrame(owner, 0, 0, nullptr, 1, objects, pages.cElems - 1, pages.pElems + 1, 0, 0,
                               nullptr);
    }
    CoTaskMemFree(pages.pElems);
    specify->Release();
}
