// The catalogue's order decides what a stored FormatIndex names, so the sort
// is checked exactly, ties included; the menu and settings work on real
// Win32 menus and a real settings file.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/FormatCatalog.h"
#include "res/resource.h"
#include "tests/support/VideoFormat.h"
#include "ui/ContextMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

GUID SubtypeWithData1(unsigned long data1) {
    GUID guid = MEDIASUBTYPE_RGB24;
    guid.Data1 = data1;
    return guid;
}

std::vector<AM_MEDIA_TYPE*> Sorted(std::vector<VideoFormat*> formats) {
    std::vector<AM_MEDIA_TYPE*> list;
    for (VideoFormat* format : formats) {
        list.push_back(&format->type);
    }
    FormatCatalog::SortFormats(list.data(), 0, static_cast<int>(list.size()) - 1);
    return list;
}

TEST(FormatCatalogSort, EqualPairFollowedBySmallerEntryComesOutReversed) {
    VideoFormat x(MEDIASUBTYPE_RGB24, 24, 640, 480);
    VideoFormat y(MEDIASUBTYPE_RGB24, 24, 640, 480);
    VideoFormat z(MEDIASUBTYPE_RGB24, 24, 320, 240);
    const auto list = Sorted({&x, &y, &z});
    EXPECT_EQ(&z.type, list[0]);
    EXPECT_EQ(&y.type, list[1]);
    EXPECT_EQ(&x.type, list[2]);
}

TEST(FormatCatalogSort, KeysInOrderSubtypeBytesThenBitsWidthSignedHeight) {
    // Data1 255 lies in memory as FF 00 00 00, 256 as 00 01 00 00: 256 sorts first.
    VideoFormat data1_255(SubtypeWithData1(255), 16, 100, 100);
    VideoFormat data1_256(SubtypeWithData1(256), 16, 100, 100);
    EXPECT_GT(FormatCatalog::CompareFormats(&data1_255.type, &data1_256.type), 0);
    EXPECT_LT(FormatCatalog::CompareFormats(&data1_256.type, &data1_255.type), 0);

    VideoFormat rgb565(MEDIASUBTYPE_RGB565, 16, 720, 480);
    VideoFormat rgb24(MEDIASUBTYPE_RGB24, 24, 320, 240);
    VideoFormat rgb32(MEDIASUBTYPE_RGB32, 32, 160, 120);
    VideoFormat bits8(MEDIASUBTYPE_RGB24, 8, 720, 480);
    VideoFormat narrow(MEDIASUBTYPE_RGB24, 24, 160, 480);
    VideoFormat upsideDown(MEDIASUBTYPE_RGB24, 24, 320, -240);
    const auto list = Sorted({&rgb32, &rgb24, &narrow, &rgb565, &upsideDown, &bits8});
    const std::vector<AM_MEDIA_TYPE*> expected = {&rgb565.type,     &bits8.type, &narrow.type,
                                                  &upsideDown.type, &rgb24.type, &rgb32.type};
    EXPECT_EQ(expected, list);
}

TEST(FormatCatalogSort, LargeListIsOrderedAndKeepsEveryEntry) {
    std::vector<std::unique_ptr<VideoFormat>> owned;
    std::vector<VideoFormat*> formats;
    for (int i = 0; i < 150; ++i) {
        owned.push_back(std::make_unique<VideoFormat>(MEDIASUBTYPE_RGB24, 24, (i * 37) % 101, (i * 11) % 7));
        formats.push_back(owned.back().get());
    }
    const auto list = Sorted(formats);
    ASSERT_EQ(150u, list.size());
    for (size_t i = 1; i < list.size(); ++i) {
        EXPECT_LE(FormatCatalog::CompareFormats(list[i - 1], list[i]), 0) << "at " << i;
    }
}

// Menu helpers on a real popup menu holding the placeholders and rate items.
class FormatCatalogMenu : public ::testing::Test {
protected:
    void SetUp() override {
        menu = CreatePopupMenu();
        formatMenu = CreatePopupMenu();
        AppendMenuA(formatMenu, MF_STRING, ID_VIDEO_FORMAT, "VIDEO FORMAT");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(formatMenu), "フォーマット");
        HMENU rates = CreatePopupMenu();
        AppendMenuA(rates, MF_STRING, ID_FRAMERATE_30, "30 fps");
        AppendMenuA(rates, MF_STRING, ID_FRAMERATE_15, "15 fps");
        AppendMenuA(rates, MF_STRING, ID_FRAMERATE_5, "5 fps");
        AppendMenuA(rates, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(rates, MF_STRING, ID_FRAMERATE_CUSTOM, "任意...");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(rates), "フレームレート");
    }
    void TearDown() override {
        catalog.formats.clear();
        DestroyMenu(menu);
    }

    void Use(std::vector<VideoFormat*> list) {
        catalog.formats.clear();
        for (VideoFormat* format : list) {
            catalog.formats.push_back(format->Owned());
        }
    }

    std::string Text(int position) {
        char text[128] = {};
        GetMenuStringA(formatMenu, position, text, sizeof text, MF_BYPOSITION);
        return text;
    }

    bool Checked(UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

    FormatCatalog catalog;
    HMENU menu = nullptr;
    HMENU formatMenu = nullptr;
};

TEST_F(FormatCatalogMenu, GroupsBySubtypeAndBitsWithSeparatorsAndTicksTheCurrentVideoFormat) {
    VideoFormat a(MEDIASUBTYPE_RGB565, 16, 320, 240);
    VideoFormat b(MEDIASUBTYPE_RGB565, 16, 640, -480);
    VideoFormat c(MEDIASUBTYPE_RGB24, 24, 720, 480);
    Use({&a, &b, &c});
    catalog.formatIndex = 1;
    catalog.frameRate = 30;
    catalog.FillMenu(menu, ID_VIDEO_FORMAT, ContextMenu::RateIds());

    ASSERT_EQ(4, GetMenuItemCount(formatMenu));
    EXPECT_EQ(601u, GetMenuItemID(formatMenu, 0));
    EXPECT_EQ(602u, GetMenuItemID(formatMenu, 1));
    EXPECT_TRUE(GetMenuState(formatMenu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(603u, GetMenuItemID(formatMenu, 3));
    EXPECT_EQ("320 x 240 (16bit color)", Text(0));
    EXPECT_EQ("640 x -480 (16bit color)", Text(1));
    EXPECT_EQ("720 x 480 (24bit color)", Text(3));
    EXPECT_FALSE(Checked(601));
    EXPECT_TRUE(Checked(602));
    EXPECT_TRUE(Checked(ID_FRAMERATE_30));
    EXPECT_FALSE(Checked(ID_FRAMERATE_15));
}

TEST_F(FormatCatalogMenu, EmptyCatalogueLeavesAnEmptySubmenuAndTicksTheRate) {
    const UINT rateIds[] = {ID_FRAMERATE_30, ID_FRAMERATE_15, ID_FRAMERATE_5, ID_FRAMERATE_CUSTOM};
    const std::pair<int, UINT> rates[] = {
        {30, ID_FRAMERATE_30}, {15, ID_FRAMERATE_15}, {5, ID_FRAMERATE_5}, {20, ID_FRAMERATE_CUSTOM}};
    for (const auto& rate : rates) {
        SCOPED_TRACE(rate.first);
        for (UINT id : rateIds) {
            CheckMenuItem(menu, id, MF_BYCOMMAND | MF_UNCHECKED);
        }
        catalog.frameRate = rate.first;
        catalog.FillMenu(menu, ID_VIDEO_FORMAT, ContextMenu::RateIds());
        EXPECT_EQ(0, GetMenuItemCount(formatMenu));
        for (UINT id : rateIds) {
            EXPECT_EQ(id == rate.second, Checked(id)) << id;
        }
    }
}

TEST_F(FormatCatalogMenu, OnlyTheFirst99VideoFormatsAreOfferedSoNoneReachesThePresetRange) {
    std::vector<std::unique_ptr<VideoFormat>> owned;
    std::vector<VideoFormat*> list;
    for (int i = 0; i < 120; ++i) {
        owned.push_back(std::make_unique<VideoFormat>(MEDIASUBTYPE_RGB24, 24, 100 + i, 100));
        list.push_back(owned.back().get());
    }
    Use(list);
    catalog.FillMenu(menu, ID_VIDEO_FORMAT, ContextMenu::RateIds());
    ASSERT_EQ(99, GetMenuItemCount(formatMenu));
    EXPECT_EQ(699u, GetMenuItemID(formatMenu, 98));
    EXPECT_EQ(120, catalog.FormatCount());
}

// Bounds applied when the stored values are read.
class FormatCatalogSettings : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(settingsFile.Path()); }
    void TearDown() override { DeleteFileA(settingsFile.Path()); }

    void Load(const char* frameRate, const char* formatIndex, int count) {
        if (frameRate) {
            WritePrivateProfileStringA("VideoStreamConfig", "FrameRate", frameRate, settingsFile.Path());
        }
        if (formatIndex) {
            WritePrivateProfileStringA("VideoStreamConfig", "FormatIndex", formatIndex, settingsFile.Path());
        }
        catalog.formats.resize(count);
        catalog.LoadSettings();
        catalog.formats.clear();
    }

    FormatCatalog catalog;
};

TEST_F(FormatCatalogSettings, FrameRateAndIndexAreBroughtIntoRange) {
    const struct {
        const char* stored;
        int expected;
    } rates[] = {{"0", 5}, {"-3", 5}, {"1", 1}, {"20", 20}, {"31", 30}, {"60", 30}};
    for (const auto& rate : rates) {
        FormatCatalog fresh;
        WritePrivateProfileStringA("VideoStreamConfig", "FrameRate", rate.stored, settingsFile.Path());
        fresh.LoadSettings();
        EXPECT_EQ(rate.expected, fresh.frameRate) << rate.stored;
    }
    Load(nullptr, "-1", 4);
    EXPECT_EQ(0, catalog.formatIndex);
    Load(nullptr, "4", 4);
    EXPECT_EQ(0, catalog.formatIndex);
    Load(nullptr, "3", 4);
    EXPECT_EQ(3, catalog.formatIndex);
}

TEST_F(FormatCatalogSettings, WrittenAtDestructionOnlyWhenReadInThisRun) {
    {
        FormatCatalog neverAttached;
        neverAttached.frameRate = 7;
    }
    EXPECT_EQ(-99, GetPrivateProfileIntA("VideoStreamConfig", "FrameRate", -99, settingsFile.Path()));
    {
        FormatCatalog attached;
        attached.formats.resize(3);
        attached.LoadSettings();
        attached.formats.clear();
        attached.frameRate = 30;
        attached.formatIndex = 2;
    }
    EXPECT_EQ(30, static_cast<int>(
                      GetPrivateProfileIntA("VideoStreamConfig", "FrameRate", 0, settingsFile.Path())));
    EXPECT_EQ(2, static_cast<int>(
                     GetPrivateProfileIntA("VideoStreamConfig", "FormatIndex", 0, settingsFile.Path())));
}

} // namespace
