// CaptureSession where a device or the graph answers unexpectedly: a refused
// audio filter that the graph took all the same, and an exit after a stop
// that failed.
#include "capture/VideoWindowControl.h"
#include "tests/capture/SessionFixture.h"
#include "tests/fakes/FakeControls.h"

namespace {

const HWND Viewer = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x20b3e));

class SessionFaultTest : public SessionTest {
protected:
    fakes::FakeDevice microphone{L"マイク"};
    fakes::FakeVideoWindow window;
};

TEST_F(SessionFaultTest, AudioFilterTheGraphTookUnderAnotherNameIsTakenOutAgain) {
    devices.Add(CLSID_AudioInputDeviceCategory, microphone);
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    // A device named like one already in the graph is added under a number.
    graph.addFilterResults = {S_OK, VFW_S_DUPLICATE_NAME};
    EXPECT_TRUE(session.Initialize());
    EXPECT_STREQ("オーディオデバイスが利用できません", OnlyBox().text.c_str());
    EXPECT_FALSE(graph.Holds(&microphone.filter));
    EXPECT_EQ(0, microphone.filter.References());
    EXPECT_EQ(nullptr, session.audioFilter);

    // Choosing it again does not pile it up either.
    graph.addFilterResults = {VFW_S_DUPLICATE_NAME};
    session.SelectAudioDevice(0);
    EXPECT_EQ(2u, boxes.Boxes().size());
    EXPECT_FALSE(graph.Holds(&microphone.filter));
    EXPECT_EQ(0, microphone.filter.References());
}

TEST_F(SessionFaultTest, ShutdownLetsTheVideoWindowGoWhenTheCloseTimeStopFailed) {
    builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IVideoWindow, &window);
    session.SetOwnerWindow(Viewer);
    Start();
    ASSERT_TRUE(session.StartPreview());
    graph.stopWhenReadyResult = E_FAIL;
    EXPECT_FALSE(session.StopPreview());
    ASSERT_EQ(1, window.References());
    fakes::ClearJournal();

    session.Shutdown();
    EXPECT_EQ((Lines{"videowindow.put_Visible(0)", "videowindow.put_Owner(0x0)"}),
              fakes::JournalOf({"videowindow."}));
    EXPECT_EQ(nullptr, videoWindowControl.iface);
    EXPECT_EQ(0, window.References());
}

TEST_F(SessionFaultTest, ExitAfterARefusedStopStopsOnceMoreAndNeverWaitsOnAFilterThatRefuses) {
    const struct {
        const char* what;
        HRESULT closeStop;
        FILTER_STATE cardAtExit;
        Lines exitStops;
        bool released;
    } cases[] = {
        {"stopped at close", S_OK, State_Stopped, {}, true},
        {"stops on the second try", E_FAIL, State_Stopped, {"graph.Stop"}, true},
        {"never stops", E_FAIL, State_Paused, {"graph.Stop"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        card.filter.state = State_Stopped;
        graph.stopWhenReadyResult = S_OK;
        Start();
        ASSERT_TRUE(session.StartPreview());
        graph.stopWhenReadyResult = c.closeStop;
        card.filter.state = c.cardAtExit;
        session.StopPreview();
        fakes::ClearJournal();
        DeleteFileA(settingsFile.Path());

        session.Shutdown();
        EXPECT_EQ(c.exitStops, fakes::JournalOf({"graph.Stop"}));
        EXPECT_EQ(nullptr, session.graph);
        EXPECT_EQ("Narvo TV", Stored("VideoDeviceName")) << "the settings are written all the same";
        // A graph that would never finish its final release is left to the
        // process's end with our one reference.
        EXPECT_EQ(c.released ? 0 : 1, graph.References());
        if (!c.released) {
            card.filter.state = State_Stopped;
            graph.Release();
        }
        EXPECT_EQ(0, card.filter.References());
    }
}

} // namespace
