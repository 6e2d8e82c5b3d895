#include "simcard/pages/PropertyPage.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

PropertyPage::PropertyPage(int dialog, int title) : dialogId(dialog), titleId(title) {
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

PropertyPage::~PropertyPage() = default;

STDMETHODIMP PropertyPage::QueryInterface(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPropertyPage) {
        *out = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PropertyPage::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) PropertyPage::Release() {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) {
        // While the page is still whole: Detach is the page's own.
        Deactivate();
        SetObjects(0, nullptr);
        SetPageSite(nullptr);
        delete this;
    }
    return left;
}

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* newSite) {
    site = ComRef<IPropertyPageSite>::Share(newSite);
    return S_OK;
}

void PropertyPage::LoadText(int id, wchar_t* buffer, int size) {
    if (LoadStringW(Module::Instance(), static_cast<UINT>(id), buffer, size) <= 0) {
        buffer[0] = L'\0';
    }
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* page = reinterpret_cast<PropertyPage*>(lParam);
        if (page) {
            page->dialog = window;
            page->Initialise();
        }
        return TRUE;
    }
    auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!page) {
        return FALSE;
    }
    switch (message) {
    case WM_COMMAND:
        page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HSCROLL:
        page->OnScroll(reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (dialog) {
        return E_UNEXPECTED;
    }
    if (!CreateDialogParamW(Module::Instance(), MAKEINTRESOURCEW(dialogId), parent, DialogProc,
                            reinterpret_cast<LPARAM>(this)) ||
        !dialog) {
        return E_FAIL;
    }
    if (rect) {
        Move(rect);
    }
    return S_OK;
}

STDMETHODIMP PropertyPage::Deactivate() {
    if (dialog) {
        HWND window = dialog;
        dialog = nullptr;
        SetWindowLongPtrW(window, DWLP_USER, 0);
        DestroyWindow(window);
    }
    return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) {
        return E_POINTER;
    }
    wchar_t title[64];
    LoadText(titleId, title, 64);
    const size_t bytes = (std::wcslen(title) + 1) * sizeof(wchar_t);
    info->cb = sizeof *info;
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!info->pszTitle) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(info->pszTitle, title, bytes);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;

    // The dialog's size in pixels, measured on a hidden instance of it.
    info->size = {0, 0};
    HWND measure =
        CreateDialogParamW(Module::Instance(), MAKEINTRESOURCEW(dialogId), GetDesktopWindow(), DialogProc, 0);
    if (measure) {
        RECT area;
        GetWindowRect(measure, &area);
        info->size = {area.right - area.left, area.bottom - area.top};
        DestroyWindow(measure);
    }
    return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (attached) {
        Detach();
        attached = false;
    }
    if (count == 0) {
        return S_OK;
    }
    if (!objects || !objects[0]) {
        return E_POINTER;
    }
    Attach(objects[0]);
    attached = true;
    if (dialog) {
        Initialise();
    }
    return S_OK;
}

STDMETHODIMP PropertyPage::Show(UINT command) {
    if (!dialog) {
        return E_UNEXPECTED;
    }
    ShowWindow(dialog, static_cast<int>(command));
    return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect) {
    if (!rect) {
        return E_POINTER;
    }
    if (!dialog) {
        return E_UNEXPECTED;
    }
    MoveWindow(dialog, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::IsPageDirty() {
    return S_FALSE;
}
STDMETHODIMP PropertyPage::Apply() {
    return S_OK;
}
STDMETHODIMP PropertyPage::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* message) {
    return dialog && message && IsDialogMessageW(dialog, message) ? S_OK : S_FALSE;
}
