// The viewer window on a real display, without a capture graph: the catalogue
// is given formats directly, so sizing, the aspect lock, placement, topmost
// and the close sequence are seen as the platform carries them out.
#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "capture/FormatCatalog.h"
#include "res/resource.h"
#include "tests/support/VideoFormat.h"
#include "tests/support/MessagePump.h"
#include "ui/ViewerWnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ViewerWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureSession.windowPosX = 40;
        captureSession.windowPosY = 30;
        captureSession.zoomRateSave = false;
        captureSession.topMostWindow = false;
        UseFormat(320, 240);
    }

    void TearDown() override {
        if (slot) {
            SendMessageA(slot->m_hWnd, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(nullptr, slot) << "the window clears its slot when it is destroyed";
        formatCatalog.formats.clear();
        formatCatalog.formatIndex = 0;
    }

    void UseFormat(int width, int height) {
        format = std::make_unique<VideoFormat>(MEDIASUBTYPE_RGB24, 24, width, height);
        formatCatalog.formats.clear();
        formatCatalog.formats.push_back(format->Owned());
        formatCatalog.formatIndex = 0;
    }

    HWND Create() {
        ViewerWnd* window = new ViewerWnd;
        EXPECT_TRUE(window->CreateViewer(&slot));
        EXPECT_EQ(window, slot);
        Pump();
        return window->m_hWnd;
    }

    static RECT Client(HWND window) {
        RECT client = {};
        GetClientRect(window, &client);
        return client;
    }

    static RECT Outer(HWND window) {
        RECT outer = {};
        GetWindowRect(window, &outer);
        return outer;
    }

    std::unique_ptr<VideoFormat> format;
    AM_MEDIA_TYPE* entry = nullptr;
    ViewerWnd* slot = nullptr;
};

TEST_F(ViewerWndTest, WithoutTheAspectLockTheClientAreaIsExactlyTheFormat) {
    HWND window = Create();
    EXPECT_TRUE(IsWindowVisible(window));
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ("NARVO TV Viewer", title);
    const RECT client = Client(window);
    EXPECT_EQ(320, client.right);
    EXPECT_EQ(240, client.bottom);
    const RECT outer = Outer(window);
    EXPECT_EQ(40, outer.left);
    EXPECT_EQ(30, outer.top);
}

TEST_F(ViewerWndTest, AspectLockCutsTheOuterHeightToTheFormatsProportion) {
    captureSession.zoomRateSave = true;
    HWND window = Create();
    RECT outer = Outer(window);
    const int width = outer.right - outer.left;
    EXPECT_EQ(width * 240 / 320, outer.bottom - outer.top);

    // A resize keeps the proportion from the proposed width.
    SetWindowPos(window, nullptr, 0, 0, 500, 100, SWP_NOMOVE | SWP_NOZORDER);
    outer = Outer(window);
    EXPECT_EQ(500, outer.right - outer.left);
    EXPECT_EQ(500 * 240 / 320, outer.bottom - outer.top);

    // Switched off, the next resize is free again.
    SendMessageA(window, WM_COMMAND, ID_KEEP_ASPECT, 0);
    EXPECT_FALSE(captureSession.zoomRateSave);
    SetWindowPos(window, nullptr, 0, 0, 500, 100, SWP_NOMOVE | SWP_NOZORDER);
    outer = Outer(window);
    EXPECT_EQ(100, outer.bottom - outer.top);
}

TEST_F(ViewerWndTest, BottomUpFormatSizesByItsMagnitude) {
    UseFormat(352, -240);
    HWND window = Create();
    const RECT client = Client(window);
    EXPECT_EQ(352, client.right);
    EXPECT_EQ(240, client.bottom);
}

TEST_F(ViewerWndTest, DegenerateFormatLeavesTheCreationSizeAndNeverDivides) {
    captureSession.zoomRateSave = true;
    UseFormat(0, 240);
    HWND window = Create();
    const RECT before = Outer(window);
    SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    const RECT after = Outer(window);
    EXPECT_EQ(300, after.right - after.left);
    EXPECT_EQ(200, after.bottom - after.top);
    EXPECT_NE(before.right, 0);
}

TEST_F(ViewerWndTest, MaximizedWindowIsNotProportionedAndCloseStoresTheRestoredPosition) {
    captureSession.zoomRateSave = true;
    HWND window = Create();
    ShowWindow(window, SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(window));
    // The screen is 5:4: filled whole, the window is taller than the lock would allow.
    const RECT outer = Outer(window);
    EXPECT_GT(outer.bottom - outer.top, (outer.right - outer.left) * 240 / 320);

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(40, captureSession.windowPosX);
    EXPECT_EQ(30, captureSession.windowPosY);
}

TEST_F(ViewerWndTest, TopmostAtCreationAndByToggle) {
    captureSession.topMostWindow = true;
    HWND window = Create();
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    SendMessageA(window, WM_COMMAND, ID_TOPMOST, 0);
    EXPECT_FALSE(captureSession.topMostWindow);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    SendMessageA(window, WM_COMMAND, ID_TOPMOST, 0);
    EXPECT_TRUE(captureSession.topMostWindow);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(ViewerWndTest, ExitCommandClosesThroughTheSameSequenceAndStoresTheMovedPosition) {
    HWND window = Create();
    SetWindowPos(window, nullptr, -25, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(window, WM_COMMAND, ID_APP_QUIT, 0);
    EXPECT_TRUE(IsWindow(window)) << "the command only posts WM_CLOSE";
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(-25, captureSession.windowPosX);
    EXPECT_EQ(70, captureSession.windowPosY);
}

// A window the platform refuses after WM_NCCREATE gets its WM_NCDESTROY
// while still inside CreateEx (as happens without a display driver).
class RefusedViewer : public ViewerWnd {
protected:
    LRESULT OnNcCreate(WPARAM, LPARAM) { return FALSE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RefusedViewer, ViewerWnd)
ON_MESSAGE(WM_NCCREATE, OnNcCreate)
END_MESSAGE_MAP()

TEST_F(ViewerWndTest, RefusedCreationLeavesTheObjectToItsCreator) {
    RefusedViewer* window = new RefusedViewer;
    EXPECT_FALSE(window->CreateViewer(&slot));
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(nullptr, window->m_hWnd);
    delete window; // the creator's to delete: a self-deleted object would fail here
}

} // namespace
