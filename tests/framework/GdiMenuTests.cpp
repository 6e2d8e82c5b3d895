#include "framework/DC.h"
#include "framework/Menu.h"

#include "TestMenu.h"

#include <gtest/gtest.h>

namespace {

TEST(CDCTest, FillSolidRectPaintsExactlyTheRectangleAndKeepsTheColour) {
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, memory);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -8;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, bitmap);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 8, 8, WHITENESS);

    CDC dc(memory);
    const COLORREF green = RGB(10, 200, 30);
    dc.FillSolidRect(RECT{2, 1, 6, 5}, green);

    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
            EXPECT_EQ(inside ? green : RGB(255, 255, 255), GetPixel(memory, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(green, GetBkColor(memory));

    dc.FillSolidRect(0, 0, 1, 1, RGB(0, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(memory, 0, 0));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 1, 0));

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST(CMenuTest, LoadsFromResourcesAndHandsOutItsPopups) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDM_TEST));
    EXPECT_FALSE(menu.LoadMenu(IDM_TEST)) << "a second load would leak the first";
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(GetSubMenu(menu, 0), static_cast<HMENU>(*popup));
    EXPECT_EQ(popup, menu.GetSubMenu(0));
    ASSERT_EQ(4, popup->GetMenuItemCount());
    EXPECT_EQ(100u, popup->GetMenuItemID(0));
    EXPECT_EQ(101u, popup->GetMenuItemID(3));
    CMenu* inner = popup->GetSubMenu(2);
    ASSERT_NE(nullptr, inner);
    EXPECT_EQ(200u, inner->GetMenuItemID(0));
    EXPECT_EQ(nullptr, popup->GetSubMenu(0)) << "item 0 is no popup";

    HMENU handle = menu.m_hMenu;
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_EQ(nullptr, menu.m_hMenu);
    EXPECT_FALSE(IsMenu(handle));
}

TEST(CMenuTest, DestroysWhatItOwnsButNotWhatItBorrowsOrDetached) {
    HMENU kept = CreatePopupMenu();
    HMENU owned = CreatePopupMenu();
    HMENU parent = CreateMenu();
    AppendMenuA(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(kept), "sub");
    {
        CMenu wrapper;
        ASSERT_TRUE(wrapper.Attach(parent));
        CMenu* sub = wrapper.GetSubMenu(0);
        ASSERT_NE(nullptr, sub);
        EXPECT_FALSE(sub->DestroyMenu()) << "a popup goes with its menu";
        EXPECT_TRUE(IsMenu(kept));
        EXPECT_EQ(parent, wrapper.Detach());
    }
    EXPECT_TRUE(IsMenu(parent));
    {
        CMenu wrapper;
        wrapper.Attach(owned);
    }
    EXPECT_FALSE(IsMenu(owned));
    DestroyMenu(parent);
    EXPECT_FALSE(IsMenu(kept));
}

} // namespace
