// The context menu as a whole: the tree of the menu resource, and what one
// opening on the viewer window shows once every owner has filled and ticked it.
#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/TunerControl.h"
#include "res/resource.h"
#include "tests/support/VideoFormat.h"
#include "tests/ui/MenuDump.h"
#include "ui/ViewerWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using Lines = std::vector<std::string>;

TEST(ContextMenuResourceTest, TheTreeIsTheMenuTableWithNothingTickedOrGreyed) {
    HMENU resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    ASSERT_NE(nullptr, resource);
    ASSERT_EQ(1, GetMenuItemCount(resource));
    EXPECT_EQ("Dummy1 >", DumpMenu(resource).front());
    EXPECT_EQ((Lines{
                  "CHANNEL ITEM 700",
                  "-",
                  "チャンネル設定... 32782",
                  "-",
                  "入力切替 >",
                  "  TVチューナ 32779",
                  "  VIDEO 32780",
                  "  SVIDEO 32781",
                  "フォーマット >",
                  "  VIDEO FORMAT 600",
                  "フレームレート >",
                  "  30 fps 32784",
                  "  15 fps 32785",
                  "  5 fps 32786",
                  "  -",
                  "  任意... 32787",
                  "クオリティ >",
                  "  高 32776",
                  "  中 32777",
                  "  低 32778",
                  "コントラスト等... 32783",
                  "-",
                  "オーディオ >",
                  "  ミュート 32790",
                  "  内蔵スピーカまたはサウンド入力 32775",
                  "  -",
                  "  SOUND DEVICE 500",
                  "-",
                  "画面比率を保つ 32788",
                  "最前面表示する 32789",
                  "-",
                  "ヘルプ 32791",
                  "バージョン情報 32792",
                  "-",
                  "終了 32774",
              }),
              DumpMenu(GetSubMenu(resource, 0)));
    DestroyMenu(resource);
}

// A viewer that notes the menu as the user would first see it, then closes it.
class MenuWatcher : public ViewerWnd {
public:
    Lines seen;
    int openings = 0;

protected:
    LRESULT OnInitMenuPopup(WPARAM menu, LPARAM) {
        if (openings++ == 0) {
            seen = DumpMenu(reinterpret_cast<HMENU>(menu));
        }
        EndMenu();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MenuWatcher, ViewerWnd)
ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
END_MESSAGE_MAP()

class ContextMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureSession.zoomRateSave = false;
        captureSession.topMostWindow = true;
        captureSession.videoQuality = 0.5;
        captureSession.muteAudio = false;
        captureSession.captureAudioDevice = true;
        strcpy(captureSession.audioDeviceName, "ＵＳＢ マイク");
        formatCatalog.frameRate = 20;
    }
    void TearDown() override {
        if (window) {
            SendMessageA(window->m_hWnd, WM_CLOSE, 0, 0);
        }
        formatCatalog.formats.clear();
        formatCatalog.formatIndex = 0;
        formatCatalog.frameRate = 15;
        captureSession.audioDeviceNames.clear();
        for (int n = 1; n <= TunerControl::PresetCount; ++n) {
            tunerControl.presets[n - 1].Reset(n);
        }
        tunerControl.currentPreset = 1;
        crossbarControl.videoSource = CrossbarControl::SourceTuner;
    }

    void DefinePreset(int number, int channel, const char* name) {
        ChannelPreset& preset = tunerControl.presets[number - 1];
        preset.channel = channel;
        strcpy(preset.name, name);
    }

    // One right-button press on the picture; the lines of what showed.
    Lines OpenOnce() {
        MenuWatcher* watcher = new MenuWatcher;
        EXPECT_TRUE(watcher->CreateViewer(&window));
        SendMessageA(watcher->m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        EXPECT_EQ(1, watcher->openings) << "the menu opened once and closed";
        return watcher->seen;
    }

    ViewerWnd* window = nullptr;
};

TEST_F(ContextMenuTest, OneOpeningPutsEveryOwnersItemsInPlaceAndTicksTheirState) {
    VideoFormat rgb565(MEDIASUBTYPE_RGB565, 16, 320, 240);
    VideoFormat rgb24small(MEDIASUBTYPE_RGB24, 24, 320, 240);
    VideoFormat rgb24large(MEDIASUBTYPE_RGB24, 24, 640, 480);
    for (const VideoFormat* format : {&rgb565, &rgb24small, &rgb24large}) {
        formatCatalog.formats.push_back(format->Owned());
    }
    formatCatalog.formatIndex = 2;
    captureSession.audioDeviceNames = {"ライン入力", "ＵＳＢ マイク", "R&D 録音"};
    DefinePreset(1, 1, "ＮＨＫ");
    DefinePreset(4, 62, "");
    DefinePreset(12, 40, "A&B");
    tunerControl.currentPreset = 4;
    crossbarControl.videoSource = CrossbarControl::SourceComposite;

    const Lines seen = OpenOnce();
    EXPECT_EQ((Lines{
                  "CH  1 - ＮＨＫ 701",
                  "CH  4 -  704 [x]",
                  "CH 12 - A&&B 712", // shown "A&B", no mnemonic
                  "-",
                  "チャンネル設定... 32782",
                  "-",
                  "入力切替 >",
                  "  TVチューナ 32779",
                  "  VIDEO 32780 [x]",
                  "  SVIDEO 32781",
                  "フォーマット >",
                  "  320 x 240 (16bit color) 601",
                  "  -",
                  "  320 x 240 (24bit color) 602",
                  "  640 x 480 (24bit color) 603 [x]",
                  "フレームレート >",
                  "  30 fps 32784",
                  "  15 fps 32785",
                  "  5 fps 32786",
                  "  -",
                  "  任意... 32787 [x]",
                  "クオリティ >",
                  "  高 32776",
                  "  中 32777 [x]",
                  "  低 32778",
                  "コントラスト等... 32783",
                  "-",
                  "オーディオ >",
                  "  ミュート 32790",
                  "  内蔵スピーカまたはサウンド入力 32775",
                  "  -",
                  "  ライン入力 501",
                  "  ＵＳＢ マイク 502 [x]",
                  "  R&&D 録音 503",
                  "-",
                  "画面比率を保つ 32788",
                  "最前面表示する 32789 [x]",
                  "-",
                  "ヘルプ 32791",
                  "バージョン情報 32792",
                  "-",
                  "終了 32774",
              }),
              seen);
}

TEST_F(ContextMenuTest, EmptyOwnersLeaveTheirSubmenusShort) {
    captureSession.captureAudioDevice = false;
    formatCatalog.frameRate = 5;
    const Lines seen = OpenOnce();
    const Lines expectedStart{"-", "チャンネル設定... 32782"};
    EXPECT_EQ(expectedStart, Lines(seen.begin(), seen.begin() + 2)) << "no presets: a separator leads";
    EXPECT_EQ("  TVチューナ 32779 [x]", seen[4]);
    const auto at = [&](const std::string& line) {
        return std::find(seen.begin(), seen.end(), line) - seen.begin();
    };
    EXPECT_EQ(at("フォーマット >") + 1, at("フレームレート >")) << "no formats: an empty submenu";
    EXPECT_EQ("  5 fps 32786 [x]", seen[at("フレームレート >") + 3]);
    EXPECT_EQ("  内蔵スピーカまたはサウンド入力 32775 [x]", seen[at("オーディオ >") + 2]);
    EXPECT_EQ("  -", seen[at("オーディオ >") + 3]) << "no devices: the submenu ends with its separator";
    EXPECT_EQ("-", seen[at("オーディオ >") + 4]);
}

} // namespace
