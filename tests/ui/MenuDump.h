#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A menu as lines, one per item, a submenu's items indented by two spaces:
// "text id" for a command, "text >" for a submenu, "-" for a separator; a
// tick adds " [x]" and a greyed command or submenu " [g]".
inline void DumpMenu(HMENU menu, std::vector<std::string>& lines, const std::string& indent = "") {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &item);
        std::string line = indent;
        if (item.fType & MFT_SEPARATOR) {
            line += "-";
        } else {
            line += text;
            line += item.hSubMenu ? std::string(" >") : " " + std::to_string(item.wID);
        }
        line += (item.fState & MFS_CHECKED) ? " [x]" : "";
        // The platform reports every separator as greyed.
        line += (item.fState & MFS_GRAYED) && !(item.fType & MFT_SEPARATOR) ? " [g]" : "";
        lines.push_back(line);
        if (item.hSubMenu) {
            DumpMenu(item.hSubMenu, lines, indent + "  ");
        }
    }
}

inline std::vector<std::string> DumpMenu(HMENU menu) {
    std::vector<std::string> lines;
    DumpMenu(menu, lines);
    return lines;
}
