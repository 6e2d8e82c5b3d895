// The crossbar: which input the stored choice routes, how pins are found,
// what a refused route leaves, the audio route, the menu tick and the exit write.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/CrossbarControl.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeCrossbar.h"
#include "tests/fakes/FakeGraph.h"
#include "ui/ContextMenu.h"

namespace {

using Lines = std::vector<std::string>;

const UINT Tuner = 32779, Video = 32780, SVideo = 32781;

class CrossbarTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        DeleteFileA(settingsFile.Path());
        builder.Answer(nullptr, IID_IAMCrossbar, &crossbar);
    }
    void TearDown() override {
        control->Detach();
        FakeComTest::TearDown();
        control.reset(); // writes its setting
        DeleteFileA(settingsFile.Path());
    }

    // A stored input, or none for nullptr.
    void Store(const char* value) {
        WritePrivateProfileStringA("Crossbar", "VideoConnectSource", value, settingsFile.Path());
    }
    std::string Stored() {
        char value[32] = {};
        GetPrivateProfileStringA("Crossbar", "VideoConnectSource", "<missing>", value, sizeof value,
                                 settingsFile.Path());
        return value;
    }
    // Attached without a route ("7" selects none), journal cleared.
    void AttachQuietly() {
        Store("7");
        ASSERT_TRUE(control->Attach(&builder, &filter));
        fakes::ClearJournal();
    }
    // The input command that a fresh menu shows ticked.
    std::vector<UINT> Ticked() {
        HMENU inputs = CreatePopupMenu();
        AppendMenuA(inputs, MF_STRING, Tuner, "TVチューナ");
        AppendMenuA(inputs, MF_STRING, Video, "VIDEO");
        AppendMenuA(inputs, MF_STRING, SVideo, "SVIDEO");
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(inputs), "入力切替");
        control->CheckInputMenu(popup, ContextMenu::InputIds());
        std::vector<UINT> ticked;
        for (UINT id : {Tuner, Video, SVideo}) {
            if (GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED) {
                ticked.push_back(id);
            }
        }
        DestroyMenu(popup);
        return ticked;
    }
    static Lines Routes() { return fakes::JournalOf({"crossbar.CanRoute", "crossbar.Route"}); }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeCrossbar crossbar;
    std::unique_ptr<CrossbarControl> control = std::make_unique<CrossbarControl>();
};

TEST_F(CrossbarTest, AttachRoutesTheStoredInputAndExitWritesItBack) {
    const struct {
        const char* stored; // nullptr: no key
        Lines routes;
        int videoSource;
        UINT ticked;
        const char* written;
    } cases[] = {
        {nullptr, {"crossbar.CanRoute(0, 0)", "crossbar.Route(0, 0)"}, 0, Tuner, "0"},
        {"0", {"crossbar.CanRoute(0, 0)", "crossbar.Route(0, 0)"}, 0, Tuner, "0"},
        {"1", {"crossbar.CanRoute(0, 1)", "crossbar.Route(0, 1)"}, 1, Video, "1"},
        {"2", {"crossbar.CanRoute(0, 2)", "crossbar.Route(0, 2)"}, 2, SVideo, "2"},
        {"7", {}, 7, Tuner, "7"}, // routes nothing, ticks the tuner, kept as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "no key");
        DeleteFileA(settingsFile.Path());
        Store(c.stored);
        fakes::ClearJournal();
        control = std::make_unique<CrossbarControl>();
        EXPECT_TRUE(control->Attach(&builder, &filter));
        EXPECT_EQ(c.routes, Routes());
        EXPECT_EQ(c.videoSource, control->videoSource);
        EXPECT_EQ(std::vector<UINT>{c.ticked}, Ticked());
        EXPECT_EQ(5, control->inputPinCount);
        EXPECT_EQ(2, control->outputPinCount);
        control->Detach();
        control.reset();
        EXPECT_EQ(c.written, Stored());
    }
    control = std::make_unique<CrossbarControl>();
}

TEST_F(CrossbarTest, SelectionAsksThePinCountsAfreshAndFindsInputThenOutput) {
    AttachQuietly();
    crossbar.inputs.push_back(PhysConn_Video_SVideo); // a count that changed since attach
    EXPECT_TRUE(control->SelectSVideo());
    EXPECT_EQ((Lines{
                  "crossbar.get_PinCounts",
                  "crossbar.get_CrossbarPinInfo(in 0)",
                  "crossbar.get_CrossbarPinInfo(in 1)",
                  "crossbar.get_CrossbarPinInfo(in 2)",
                  "crossbar.get_PinCounts",
                  "crossbar.get_CrossbarPinInfo(out 0)",
                  "crossbar.CanRoute(0, 2)",
                  "crossbar.Route(0, 2)",
              }),
              fakes::Journal());
    EXPECT_EQ(CrossbarControl::SourceSVideo, control->videoSource);
}

TEST_F(CrossbarTest, PinSearchTakesTheFirstPinThatSaysItIsOfTheType) {
    const struct {
        const char* what;
        std::vector<LONG> inputs;
        std::set<std::pair<bool, LONG>> failing;
        int found;
    } cases[] = {
        {"no input pins", {}, {}, -1},
        {"type missing", {PhysConn_Video_Composite, PhysConn_Audio_Tuner}, {}, -1},
        {"two of the type", {PhysConn_Video_Composite, PhysConn_Video_Tuner, PhysConn_Video_Tuner}, {}, 1},
        {"first one's info fails",
         {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Video_Tuner},
         {{true, 0}},
         2},
        {"only one, its info fails", {PhysConn_Video_Tuner}, {{true, 0}}, -1},
    };
    AttachQuietly();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        crossbar.inputs = c.inputs;
        crossbar.failingInfo = c.failing;
        EXPECT_EQ(c.found, control->FindInputPin(PhysConn_Video_Tuner));
    }

    // Without input pins no pin is asked about, and the selection still asks the crossbar about -1.
    crossbar.inputs.clear();
    crossbar.failingInfo.clear();
    fakes::ClearJournal();
    EXPECT_TRUE(control->SelectTuner());
    EXPECT_EQ(Lines{}, fakes::JournalOf({"crossbar.get_CrossbarPinInfo(in"}));
    EXPECT_EQ((Lines{"crossbar.CanRoute(0, -1)", "crossbar.Route(0, -1)"}), Routes());

    // An output pin whose info fails is passed over the same way.
    crossbar.failingInfo = {{false, 0}};
    EXPECT_EQ(-1, control->FindOutputPin(PhysConn_Video_VideoDecoder));
    EXPECT_EQ(1, control->FindOutputPin(PhysConn_Audio_AudioDecoder));
}

TEST_F(CrossbarTest, RefusedRouteKeepsTheInputAndItsTick) {
    const struct {
        HRESULT canRoute;
        HRESULT route;
        Lines routes;
    } cases[] = {
        {S_FALSE, S_OK, {"crossbar.CanRoute(0, 1)"}},
        {E_FAIL, S_OK, {"crossbar.CanRoute(0, 1)"}},
        {S_OK, E_FAIL, {"crossbar.CanRoute(0, 1)", "crossbar.Route(0, 1)"}},
        {S_OK, S_FALSE, {"crossbar.CanRoute(0, 1)", "crossbar.Route(0, 1)"}},
    };
    Store("2");
    ASSERT_TRUE(control->Attach(&builder, &filter));
    for (const auto& c : cases) {
        SCOPED_TRACE(fakes::Hresult(c.canRoute) + " " + fakes::Hresult(c.route));
        crossbar.canRouteResult = c.canRoute;
        crossbar.routeResult = c.route;
        fakes::ClearJournal();
        EXPECT_FALSE(control->SelectComposite());
        EXPECT_EQ(c.routes, Routes());
        EXPECT_EQ(CrossbarControl::SourceSVideo, control->videoSource);
        EXPECT_EQ(std::vector<UINT>{SVideo}, Ticked());
    }
}

TEST_F(CrossbarTest, AudioJoinsTheTunerAudioOrLeavesTheDecoderWithoutInput) {
    const struct {
        bool on;
        HRESULT canRoute;
        HRESULT route;
        Lines routes;
        bool result;
    } cases[] = {
        {true, S_OK, S_OK, {"crossbar.CanRoute(1, 3)", "crossbar.Route(1, 3)"}, true},
        {false, S_OK, S_OK, {"crossbar.CanRoute(1, -1)", "crossbar.Route(1, -1)"}, true},
        {true, S_FALSE, S_OK, {"crossbar.CanRoute(1, 3)"}, false},
        {false, E_FAIL, S_OK, {"crossbar.CanRoute(1, -1)"}, false},
        {true, S_OK, E_FAIL, {"crossbar.CanRoute(1, 3)", "crossbar.Route(1, 3)"}, false},
    };
    AttachQuietly();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.on ? "on " : "off ") + fakes::Hresult(c.canRoute) + " " +
                     fakes::Hresult(c.route));
        crossbar.canRouteResult = c.canRoute;
        crossbar.routeResult = c.route;
        fakes::ClearJournal();
        EXPECT_EQ(c.result, control->RouteAudio(c.on));
        EXPECT_EQ(c.routes, Routes());
        EXPECT_EQ(7, control->videoSource) << "the audio route stores nothing";
    }
}

TEST_F(CrossbarTest, WithoutACrossbarNothingIsCalledAndTheStoredInputSurvives) {
    builder.interfaces.clear();
    Store("2");
    EXPECT_FALSE(control->Attach(&builder, &filter));
    fakes::ClearJournal();
    EXPECT_EQ(-1, control->FindInputPin(PhysConn_Video_Tuner));
    EXPECT_FALSE(control->SelectTuner());
    EXPECT_FALSE(control->SelectComposite());
    EXPECT_FALSE(control->SelectSVideo());
    EXPECT_FALSE(control->RouteAudio(true));
    EXPECT_EQ(Lines{}, fakes::Journal());
    EXPECT_EQ(std::vector<UINT>{Tuner}, Ticked());
    control.reset();
    EXPECT_EQ("2", Stored());
    control = std::make_unique<CrossbarControl>();
}

} // namespace
