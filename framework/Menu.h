#pragma once

#include <windows.h>

#include <memory>
#include <vector>

class CWnd;

// A menu handle. A menu this object loaded or was given is destroyed with it
// unless detached first; the sub-menu objects it hands out only borrow their
// handles, which go with the menu that holds them.
class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // From the program's resources.
    BOOL LoadMenu(UINT id);
    BOOL LoadMenu(const char* name);
    BOOL Attach(HMENU menu);
    HMENU Detach();
    BOOL DestroyMenu();

    // The popup at `pos`, or null. Valid while this menu is.
    CMenu* GetSubMenu(int pos);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int pos) const;
    // Returns when the menu closes; the chosen command goes to `owner` as WM_COMMAND.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* exclude = nullptr);

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    HMENU m_hMenu = nullptr;

private:
    bool owned = false;
    std::vector<std::unique_ptr<CMenu>> subMenus;
};
