// CaptureSession with the card's crossbar and tuner: where they attach and
// let go, and the audio route that follows every start of the graph.
#include "capture/CrossbarControl.h"
#include "capture/ProcAmpControl.h"
#include "capture/TunerControl.h"
#include "capture/TvAudioControl.h"
#include "tests/capture/SessionFixture.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeCrossbar.h"
#include "tests/fakes/FakeTuner.h"

#include <algorithm>

namespace {

class SessionRoutingTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        // The globals keep their state between tests of one process.
        crossbarControl.videoSource = CrossbarControl::SourceTuner;
        tunerControl.currentPreset = 1;
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, &procAmp);
        builder.Answer(nullptr, IID_IAMCrossbar, &crossbar);
        builder.Answer(nullptr, IID_IAMTVTuner, &tuner);
        builder.Answer(nullptr, IID_IAMTVAudio, &tvAudio);
    }

    static Lines AudioRoutes() { return fakes::JournalOf({"crossbar.CanRoute(1", "crossbar.Route(1"}); }

    fakes::FakeProcAmp procAmp;
    fakes::FakeCrossbar crossbar;
    fakes::FakeTuner tuner;
    fakes::FakeTvAudio tvAudio;
};

TEST_F(SessionRoutingTest, CrossbarAndTunerAttachBetweenPictureAdjustmentAndTvAudio) {
    WriteWholeFile(settingsFile.Path(), "[Crossbar]\r\nVideoConnectSource=1\r\n[Preset Channel]\r\nCH3=8\r\n"
                                        "[TVTuner]\r\nSelectChannel=3\r\n");
    EXPECT_TRUE(session.Initialize());
    EXPECT_EQ((Lines{
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoProcAmp)",
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMCrossbar)",
                  "crossbar.Route(0, 1)",
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMTVTuner)",
                  "tuner.put_Channel(8, -1, -1)",
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMTVAudio)",
              }),
              fakes::JournalOf({"builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoProcAmp)",
                                "builder.FindInterface(NULL", "crossbar.Route", "tuner.put_Channel"}));
    EXPECT_TRUE(session.crossbarAttached);
    EXPECT_EQ(static_cast<IAMTVTuner*>(&tuner), tunerControl.iface);
}

TEST_F(SessionRoutingTest, EveryStartRoutesOrMutesTheAudioWhateverItsOutcome) {
    const struct {
        bool muted;
        HRESULT run;
        OAFilterState state; // reported after a Run that is not S_OK
        bool started;
        Lines routes;
    } cases[] = {
        {false, S_OK, State_Running, true, {"crossbar.CanRoute(1, 3)", "crossbar.Route(1, 3)"}},
        {true, S_OK, State_Running, true, {"crossbar.CanRoute(1, -1)", "crossbar.Route(1, -1)"}},
        {false, E_FAIL, State_Stopped, false, {"crossbar.CanRoute(1, 3)", "crossbar.Route(1, 3)"}},
        {true, S_FALSE, State_Paused, false, {"crossbar.CanRoute(1, -1)", "crossbar.Route(1, -1)"}},
    };
    Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.muted ? "muted " : "") + fakes::Hresult(c.run));
        session.muteAudio = c.muted;
        graph.runResult = c.run;
        graph.state = c.state;
        graph.stateAfterRun = c.state;
        fakes::ClearJournal();
        EXPECT_EQ(c.started, session.RunGraph());
        EXPECT_EQ(c.routes, AudioRoutes());
        // After the attempt to start, not before it.
        const Lines& all = fakes::Journal();
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(c.routes.back(), all.back());
    }
}

TEST_F(SessionRoutingTest, WithoutACrossbarNoStartTouchesTheAudioRoute) {
    auto& found = builder.interfaces;
    found.erase(
        std::remove_if(found.begin(), found.end(),
                       [](const fakes::FakeBuilder::Found& f) { return IsEqualIID(f.iid, IID_IAMCrossbar); }),
        found.end());
    Start();
    EXPECT_FALSE(session.crossbarAttached);
    EXPECT_TRUE(session.RunGraph());
    EXPECT_EQ(Lines{}, fakes::JournalOf({"crossbar."}));
}

TEST_F(SessionRoutingTest, ShutdownLetsGoOfTvAudioTunerCrossbarThenPictureAdjustment) {
    Start();
    for (fakes::FakeObject* object :
         std::initializer_list<fakes::FakeObject*>{&tvAudio, &tuner, &crossbar, &procAmp}) {
        object->journalReleases = true;
    }
    session.Shutdown();
    EXPECT_EQ((Lines{"tvaudio.Release", "tuner.Release", "crossbar.Release", "procamp.Release"}),
              fakes::JournalOf({"tvaudio.Release", "tuner.Release", "crossbar.Release", "procamp.Release"}));
    EXPECT_FALSE(session.crossbarAttached);
    EXPECT_EQ(nullptr, crossbarControl.iface);
    EXPECT_EQ(nullptr, tunerControl.iface);
}

} // namespace
