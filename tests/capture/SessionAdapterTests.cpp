// CaptureSession with the card's control interfaces: when the adapters are
// attached and let go, how the video window joins and leaves the preview, and
// what a frame-rate or format change does to the graph.
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TvAudioControl.h"
#include "capture/VideoWindowControl.h"
#include "tests/capture/SessionFixture.h"
#include "tests/fakes/FakeControls.h"

namespace {

const HWND Viewer = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x20b3e));

// The global catalogue writes its keys when the process ends, after the last
// test: constructed before every global, this goes last and takes the file away.
struct RemoveSettingsAtExit {
    ~RemoveSettingsAtExit() {
        char path[SettingsFile::PathSize];
        SettingsFile::GetSettingsPath(path);
        DeleteFileA(path);
    }
};
RemoveSettingsAtExit removeSettingsAtExit __attribute__((init_priority(101)));

class SessionAdapterTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        // The global catalogue keeps its choice between tests of one process.
        formatCatalog.frameRate = 15;
        formatCatalog.formatIndex = 0;
        config.capabilities = {fakes::VideoCapability(MEDIASUBTYPE_RGB565, 16, 640, 480),
                               fakes::VideoCapability(MEDIASUBTYPE_RGB565, 16, 320, 240)};
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig, &config);
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, &procAmp);
        builder.Answer(nullptr, IID_IAMTVAudio, &tvAudio);
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IVideoWindow, &window);
    }
    void TearDown() override {
        videoWindowControl.Detach();
        SessionTest::TearDown();
    }

    // The preview as the builder leaves it: the card's capture pin feeds a renderer.
    void BuildWithRenderer() {
        ASSERT_TRUE(session.BuildPreview());
        fakes::Connect(*card.filter.pins[1], renderer.AddPin(PINDIR_INPUT, "renderer in"));
        graph.AddFilter(&renderer, L"0001");
        fakes::ClearJournal();
    }

    fakes::FakeStreamConfig config;
    fakes::FakeProcAmp procAmp;
    fakes::FakeTvAudio tvAudio;
    fakes::FakeVideoWindow window;
    fakes::FakeFilter renderer{"renderer"};
    fakes::FakeDevice microphone{L"マイク"};
};

TEST_F(SessionAdapterTest, InitializeAttachesTheAdaptersInOrderAroundTheAudioCapture) {
    devices.Add(CLSID_AudioInputDeviceCategory, microphone);
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    EXPECT_TRUE(session.Initialize());
    // Only these interfaces' lines: other adapters may join in between.
    EXPECT_EQ((Lines{
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMStreamConfig)",
                  "streamconfig.SetFormat(320x240, 666666)",
                  u8"graph.AddFilter(filter[マイク], マイク)",
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoProcAmp)",
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMTVAudio)",
                  "tvaudio.put_TVAudioMode(2)",
              }),
              fakes::JournalOf({"builder.FindInterface(CAPTURE, filter[Narvo TV], IAMStreamConfig)",
                                "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoProcAmp)",
                                "builder.FindInterface(NULL, filter[Narvo TV], IAMTVAudio)",
                                "streamconfig.SetFormat", u8"graph.AddFilter(filter[マイク]", "tvaudio."}));
    EXPECT_EQ(static_cast<IAMStreamConfig*>(&config), formatCatalog.iface);
    EXPECT_EQ(2, formatCatalog.FormatCount());
    EXPECT_EQ(static_cast<IAMVideoProcAmp*>(&procAmp), procAmpControl.iface);
    EXPECT_EQ(static_cast<IAMTVAudio*>(&tvAudio), tvAudioControl.iface);
    // No preview yet, so no video window.
    EXPECT_EQ(nullptr, videoWindowControl.iface);
}

TEST_F(SessionAdapterTest, ShutdownDetachesTheAdaptersBeforeLettingGoOfTheGraph) {
    Start();
    for (fakes::FakeObject* object : std::initializer_list<fakes::FakeObject*>{
             &config, &procAmp, &tvAudio, &card.filter, &graph, &builder}) {
        object->journalReleases = true;
    }
    session.Shutdown();
    const Lines released = fakes::JournalOf(
        {"tvaudio.", "procamp.", "streamconfig.", "filter[Narvo TV].", "graph.Release", "builder.Release"});
    ASSERT_LE(4u, released.size());
    EXPECT_EQ(
        (Lines{"tvaudio.Release", "procamp.Release", "streamconfig.Release", "filter[Narvo TV].Release"}),
        Lines(released.begin(), released.begin() + 4));
    EXPECT_EQ(nullptr, tvAudioControl.iface);
    EXPECT_EQ(nullptr, procAmpControl.iface);
    EXPECT_EQ(nullptr, formatCatalog.iface);
    EXPECT_TRUE(formatCatalog.formats.empty());
}

TEST_F(SessionAdapterTest, BuildPreviewGivesTheVideoWindowItsOwnerAndShowsIt) {
    session.SetOwnerWindow(Viewer);
    Start();
    EXPECT_TRUE(session.BuildPreview());
    EXPECT_EQ(
        (Lines{
            "builder.RenderStream(PREVIEW, filter[Narvo TV], NULL, NULL)",
            "builder.FindInterface(CAPTURE, filter[Narvo TV], IVideoWindow)",
            "videowindow.put_Owner(0x20b3e)",
            "videowindow.put_WindowStyle(0x46000000)",
            "videowindow.put_Left(0)",
            "videowindow.put_Top(0)",
            "videowindow.put_MessageDrain(0x20b3e)",
            "videowindow.put_Visible(-1)",
        }),
        fakes::JournalOf({"builder.RenderStream",
                          "builder.FindInterface(CAPTURE, filter[Narvo TV], IVideoWindow)", "videowindow."}));
    EXPECT_EQ(static_cast<IVideoWindow*>(&window), videoWindowControl.iface);
}

TEST_F(SessionAdapterTest, WithoutAnOwnerTheVideoWindowIsOnlyShown) {
    Start();
    EXPECT_TRUE(session.BuildPreview());
    EXPECT_EQ(Lines{"videowindow.put_Visible(-1)"}, fakes::JournalOf({"videowindow."}));
}

TEST_F(SessionAdapterTest, MissingVideoWindowStillBuildsThePreview) {
    builder.interfaces.pop_back();
    session.SetOwnerWindow(Viewer);
    Start();
    EXPECT_TRUE(session.BuildPreview());
    EXPECT_EQ(nullptr, videoWindowControl.iface);
    session.DismantlePreview();
}

TEST_F(SessionAdapterTest, DismantlePreviewRemovesTheChainFirstAndLetsTheVideoWindowGoLast) {
    session.SetOwnerWindow(Viewer);
    Start();
    window.journalReleases = true;
    BuildWithRenderer();
    session.DismantlePreview();
    EXPECT_EQ((Lines{
                  "graph.Disconnect(pin[renderer in])",
                  "graph.Disconnect(pin[capture])",
                  "graph.RemoveFilter(filter[renderer])",
                  "videowindow.put_Visible(0)",
                  "videowindow.put_Owner(0x0)",
                  "videowindow.Release",
              }),
              fakes::JournalOf({"graph.Disconnect", "graph.RemoveFilter", "videowindow."}));
    EXPECT_EQ(nullptr, videoWindowControl.iface);
    EXPECT_EQ(0, window.References());
}

TEST_F(SessionAdapterTest, FrameRateChangeStopsChangesAndRunsWithTheChainKept) {
    Start();
    BuildWithRenderer();
    config.current = fakes::VideoCapability(MEDIASUBTYPE_RGB565, 16, 320, 240);
    EXPECT_TRUE(session.SetFrameRate(30));
    EXPECT_EQ((Lines{
                  "graph.StopWhenReady",
                  "streamconfig.GetFormat",
                  "streamconfig.SetFormat(320x240, 333333)",
                  "graph.Run",
              }),
              fakes::JournalOf({"graph.", "streamconfig.", "videowindow.", "builder.RenderStream"}));
    EXPECT_TRUE(graph.Holds(&renderer));
    EXPECT_EQ(30, formatCatalog.frameRate);

    config.setFormatResult = E_FAIL;
    fakes::ClearJournal();
    EXPECT_FALSE(session.SetFrameRate(5));
    EXPECT_EQ(Lines{"graph.Run"}, fakes::JournalOf({"graph.Run"})); // restarted all the same
    EXPECT_EQ(30, formatCatalog.frameRate);
}

TEST_F(SessionAdapterTest, FormatChangeTakesThePreviewDownAndRebuildsItAroundTheNewFormat) {
    Start();
    BuildWithRenderer();
    EXPECT_TRUE(session.SelectFormat(1));
    EXPECT_EQ((Lines{
                  "graph.StopWhenReady",
                  "graph.RemoveFilter(filter[renderer])",
                  "videowindow.put_Visible(0)",
                  "videowindow.put_Owner(0x0)",
                  "streamconfig.SetFormat(640x480, 666666)",
                  "builder.RenderStream(PREVIEW, filter[Narvo TV], NULL, NULL)",
                  "videowindow.put_Visible(-1)",
                  "graph.Run",
              }),
              fakes::JournalOf({"graph.StopWhenReady", "graph.RemoveFilter", "graph.Run", "streamconfig.",
                                "videowindow.", "builder.RenderStream"}));
    EXPECT_EQ(1, formatCatalog.formatIndex);

    config.setFormatResult = E_FAIL;
    EXPECT_FALSE(session.SelectFormat(0));
    EXPECT_EQ(1, formatCatalog.formatIndex);
}

} // namespace
