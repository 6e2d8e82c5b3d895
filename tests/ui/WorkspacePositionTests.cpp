// The restored position the viewer stores is in screen coordinates, whatever
// the work area: a task bar at the top or the left must not move the window
// by its size at every start.
#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "capture/FormatCatalog.h"
#include "tests/support/VideoFormat.h"
#include "ui/ViewerWnd.h"
#include "ui/WorkspacePosition.h"

#include <gtest/gtest.h>

namespace {

// Windows answers a placement in workspace coordinates; Wine answers screen
// coordinates, so only given inputs show the conversion.
TEST(WorkspacePosition, WorkAreaOffsetIsAddedBack) {
    const RECT screen = {0, 0, 1280, 1024};
    const struct {
        const char* what;
        RECT monitor;
        RECT work;
        POINT workspace;
        POINT expected;
    } cases[] = {
        {"no task bar", screen, screen, {60, 40}, {60, 40}},
        {"task bar at the top", screen, {0, 30, 1280, 1024}, {60, 40}, {60, 70}},
        {"task bar at the left", screen, {48, 0, 1280, 1024}, {60, 40}, {108, 40}},
        {"task bar at the bottom", screen, {0, 0, 1280, 994}, {60, 40}, {60, 40}},
        {"left of the work area", screen, {48, 30, 1280, 1024}, {-20, -10}, {28, 20}},
        {"second monitor", {1280, 0, 2560, 1024}, {1280, 30, 2560, 1024}, {1285, 6}, {1285, 36}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MONITORINFO monitor = {sizeof monitor, c.monitor, c.work, 0};
        const RECT normal = {c.workspace.x, c.workspace.y, c.workspace.x + 320, c.workspace.y + 240};
        const POINT screenPoint = WorkspacePosition::NormalOnScreen(normal, &monitor);
        EXPECT_EQ(c.expected.x, screenPoint.x);
        EXPECT_EQ(c.expected.y, screenPoint.y);
    }
    const POINT unplaced = WorkspacePosition::NormalOnScreen({60, 40, 380, 280}, nullptr);
    EXPECT_EQ(60, unplaced.x);
    EXPECT_EQ(40, unplaced.y);
}

// A work area of the test's own making stands in for a task bar at the top
// left. Wine answers the restored window's own rectangle and its placement in
// screen coordinates alike, so this round trip guards the stored position, not
// the conversion: the table above does that.
class ShiftedWorkArea : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0));
        RECT shifted = saved;
        shifted.left += 48;
        shifted.top += 30;
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &shifted, 0));
        format = std::make_unique<VideoFormat>(MEDIASUBTYPE_RGB24, 24, 320, 240);
        formatCatalog.formats.clear();
        formatCatalog.formats.push_back(format->Owned());
        formatCatalog.formatIndex = 0;
    }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
        formatCatalog.formats.clear();
    }

    RECT saved = {};
    std::unique_ptr<VideoFormat> format;
};

TEST_F(ShiftedWorkArea, WindowReopensWhereItWasClosed) {
    captureSession.windowPosX = 200;
    captureSession.windowPosY = 150;
    captureSession.zoomRateSave = false;
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ViewerWnd* slot = nullptr;
        ViewerWnd* window = new ViewerWnd;
        ASSERT_TRUE(window->CreateViewer(&slot));
        RECT outer = {};
        GetWindowRect(window->m_hWnd, &outer);
        EXPECT_EQ(200, outer.left);
        EXPECT_EQ(150, outer.top);
        SendMessageA(window->m_hWnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(nullptr, slot);
        EXPECT_EQ(200, captureSession.windowPosX);
        EXPECT_EQ(150, captureSession.windowPosY);
    }
}

} // namespace
