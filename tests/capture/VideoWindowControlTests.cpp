// The renderer's video window as the control drives it: exact calls, their
// order and arguments, and the one reference it holds.
#include "capture/VideoWindowControl.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeGraph.h"

namespace {

using Lines = std::vector<std::string>;

const HWND Owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x10a2c));

class VideoWindowTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        window.journalReleases = true;
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IVideoWindow, &window);
    }
    void TearDown() override {
        control.Detach();
        FakeComTest::TearDown();
    }
    void Attach() {
        ASSERT_TRUE(control.Attach(&builder, &filter));
        fakes::ClearJournal();
    }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeVideoWindow window;
    VideoWindowControl control;
};

TEST_F(VideoWindowTest, DetachedControlRefusesEverythingWithoutACall) {
    EXPECT_FALSE(control.SetVisible(true));
    EXPECT_FALSE(control.SetOwner(Owner));
    EXPECT_FALSE(control.SetPosition(0, 0, 320, 240));
    control.Detach();
    EXPECT_FALSE(control.Attach(nullptr, &filter));
    EXPECT_FALSE(control.Attach(&builder, nullptr));
    EXPECT_EQ(Lines{}, fakes::Journal());
}

TEST_F(VideoWindowTest, AttachFindsTheWindowOnTheCapturePathAndAttachWhileAttachedKeepsOneReference) {
    EXPECT_TRUE(control.Attach(&builder, &filter));
    EXPECT_EQ(Lines{"builder.FindInterface(CAPTURE, filter[Narvo TV], IVideoWindow)"}, fakes::Journal());
    fakes::ClearJournal();
    EXPECT_FALSE(control.Attach(&builder, &filter));
    EXPECT_EQ(Lines{}, fakes::Journal());
    EXPECT_EQ(static_cast<IVideoWindow*>(&window), control.iface);
    EXPECT_EQ(1, window.References());
}

TEST_F(VideoWindowTest, NoWindowLeavesTheControlDetached) {
    builder.interfaces.clear();
    EXPECT_FALSE(control.Attach(&builder, &filter));
    EXPECT_EQ(nullptr, control.iface);
    EXPECT_FALSE(control.SetPosition(0, 0, 320, 240));
}

TEST_F(VideoWindowTest, SetOwnerMakesFiveCallsInOrderAndSucceedsWhateverTheRendererSays) {
    Attach();
    const Lines expected = {
        "videowindow.put_Owner(0x10a2c)",
        "videowindow.put_WindowStyle(0x46000000)",
        "videowindow.put_Left(0)",
        "videowindow.put_Top(0)",
        "videowindow.put_MessageDrain(0x10a2c)",
    };
    EXPECT_TRUE(control.SetOwner(Owner));
    EXPECT_EQ(expected, fakes::Journal());

    window.answer = E_FAIL;
    fakes::ClearJournal();
    EXPECT_TRUE(control.SetOwner(Owner));
    EXPECT_EQ(expected, fakes::Journal());
}

TEST_F(VideoWindowTest, VisibleAndPositionPassTheirValuesAndReportTheRenderersAnswer) {
    Attach();
    EXPECT_TRUE(control.SetVisible(true));
    EXPECT_TRUE(control.SetVisible(false));
    EXPECT_TRUE(control.SetPosition(0, 0, 320, 240));
    EXPECT_TRUE(control.SetPosition(-7, 12, 641, -3));
    EXPECT_EQ((Lines{
                  "videowindow.put_Visible(-1)",
                  "videowindow.put_Visible(0)",
                  "videowindow.SetWindowPosition(0, 0, 320, 240)",
                  "videowindow.SetWindowPosition(-7, 12, 641, -3)",
              }),
              fakes::Journal());
    window.answer = S_FALSE; // only S_OK counts
    EXPECT_FALSE(control.SetVisible(true));
    EXPECT_FALSE(control.SetPosition(0, 0, 320, 240));
}

TEST_F(VideoWindowTest, DetachHidesThenClearsTheOwnerThenReleases) {
    Attach();
    window.answer = E_FAIL; // results are not looked at
    control.Detach();
    EXPECT_EQ((Lines{"videowindow.put_Visible(0)", "videowindow.put_Owner(0x0)", "videowindow.Release"}),
              fakes::Journal());
    EXPECT_EQ(nullptr, control.iface);
    EXPECT_EQ(0, window.References());
    fakes::ClearJournal();
    control.Detach();
    EXPECT_EQ(Lines{}, fakes::Journal());
}

} // namespace
