#include "framework/Menu.h"

#include "framework/WinApp.h"
#include "framework/Wnd.h"

CMenu::~CMenu() {
    DestroyMenu();
}

BOOL CMenu::LoadMenu(UINT id) {
    return LoadMenu(MAKEINTRESOURCEA(id));
}

BOOL CMenu::LoadMenu(const char* name) {
    if (m_hMenu) {
        return FALSE;
    }
    return Attach(::LoadMenuA(AfxGetInstanceHandle(), name));
}

BOOL CMenu::Attach(HMENU menu) {
    if (m_hMenu || !menu) {
        return FALSE;
    }
    m_hMenu = menu;
    owned = true;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    subMenus.clear();
    m_hMenu = nullptr;
    owned = false;
    return menu;
}

BOOL CMenu::DestroyMenu() {
    const bool destroy = owned && m_hMenu;
    HMENU menu = Detach();
    return destroy ? ::DestroyMenu(menu) : FALSE;
}

CMenu* CMenu::GetSubMenu(int pos) {
    HMENU sub = ::GetSubMenu(m_hMenu, pos);
    if (!sub) {
        return nullptr;
    }
    for (const auto& wrapper : subMenus) {
        if (wrapper->m_hMenu == sub) {
            return wrapper.get();
        }
    }
    subMenus.push_back(std::make_unique<CMenu>());
    subMenus.back()->m_hMenu = sub;
    return subMenus.back().get();
}

int CMenu::GetMenuItemCount() const {
    return ::GetMenuItemCount(m_hMenu);
}

UINT CMenu::GetMenuItemID(int pos) const {
    return ::GetMenuItemID(m_hMenu, pos);
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* exclude) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->GetSafeHwnd() : nullptr, exclude);
}
