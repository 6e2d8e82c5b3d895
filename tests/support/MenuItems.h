#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A menu's own items, one line each: "<id> <text>[ checked]", "---" for a separator.
inline std::vector<std::string> MenuItems(HMENU menu) {
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            items.push_back("---");
            continue;
        }
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        items.push_back(std::to_string(info.wID) + " " + text +
                        ((info.fState & MFS_CHECKED) ? " checked" : ""));
    }
    return items;
}
