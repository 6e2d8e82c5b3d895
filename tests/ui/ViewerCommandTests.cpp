// Every command of the context menu sent to the real viewer window, over a
// capture session on fake DirectShow objects and the test copy of the dialog
// library: each id must reach its own operation, and the dialog commands
// must act on the dialogs' answers as the viewer relies on them.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/ViewerApp.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TunerControl.h"
#include "framework/HtmlHelp.h"
#include "res/resource.h"
#include "tests/app/FakeDialogs.h"
#include "tests/capture/SessionFixture.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeCrossbar.h"
#include "tests/fakes/FakeTuner.h"
#include "tests/support/MessagePump.h"
#include "ui/ViewerWnd.h"

#include <htmlhelp.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

using Lines = std::vector<std::string>;

bool Journaled(const std::string& prefix) {
    const Lines& journal = fakes::Journal();
    return std::any_of(journal.begin(), journal.end(),
                       [&](const std::string& line) { return line.compare(0, prefix.size(), prefix) == 0; });
}

class ViewerCommandTest : public FakeCardTest {
public:
    void SetUp() override {
        FakeCardTest::SetUp();
        ASSERT_TRUE(dialogs.Loaded());
        devices.Add(CLSID_AudioInputDeviceCategory, microphone);
        config.capabilities = {fakes::VideoCapability(MEDIASUBTYPE_RGB24, 24, 640, 480),
                               fakes::VideoCapability(MEDIASUBTYPE_RGB24, 24, 320, 240)};
        procAmp.pages.pages = {CLSID_NULL}; // only the device page: no frame opens
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig, &config);
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, &procAmp);
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoCompression, &compression);
        builder.Answer(nullptr, IID_IAMCrossbar, &crossbar);
        builder.Answer(nullptr, IID_IAMTVTuner, &tuner);
        WriteWholeFile(settingsFile.Path(),
                       "[Preset Channel]\r\nCH1=5\r\nNAME1=one\r\nCH2=40\r\nNAME2=two\r\n");
        formatCatalog.frameRate = 15;
        formatCatalog.formatIndex = 0;
        captureSession.zoomRateSave = false;
        captureSession.topMostWindow = false;
        ASSERT_TRUE(captureSession.Initialize());
        ViewerWnd* window = new ViewerWnd;
        ASSERT_TRUE(window->CreateViewer(&viewer));
        theApp.m_pMainWnd = viewer;
        Pump();
        fakes::ClearJournal();
    }

    void TearDown() override {
        if (viewer) {
            SendMessageA(viewer->m_hWnd, WM_CLOSE, 0, 0);
        }
        theApp.m_pMainWnd = nullptr;
        captureSession.Shutdown();
        FakeCardTest::TearDown();
    }

    void Command(UINT id) {
        fakes::ClearJournal();
        dialogs.Script(dialogAnswer, dialogRate);
        SendMessageA(viewer->m_hWnd, WM_COMMAND, id, 0);
    }
    // The dialog library's calls since the last command, by export name.
    Lines DialogCalls() const {
        Lines names;
        for (const FakeDialogCall& call : dialogs.Calls()) {
            names.push_back(call.exportName);
        }
        return names;
    }

    FakeDialogs dialogs{FakeDialogs::Copy::WithExports};
    int dialogAnswer = 1;
    int dialogRate = 20;
    fakes::FakeDevice microphone{L"マイク"};
    fakes::FakeStreamConfig config;
    fakes::FakeProcAmp procAmp;
    fakes::FakeCompression compression;
    fakes::FakeCrossbar crossbar;
    fakes::FakeTuner tuner;
    ViewerWnd* viewer = nullptr;
};

TEST_F(ViewerCommandTest, EveryCommandReachesItsOwnOperation) {
    // In this order, each row's check tells its operation from its neighbours'.
    struct Row {
        UINT id;
        std::function<bool(ViewerCommandTest&)> reached;
    };
    const Row rows[] = {
        {ID_CHANNEL_ITEM + 2,
         [](auto&) { return tunerControl.currentPreset == 2 && Journaled("tuner.put_Channel(40, -1, -1)"); }},
        {ID_INPUT_SVIDEO,
         [](auto&) { return crossbarControl.videoSource == 2 && Journaled("crossbar.Route(0, 2)"); }},
        {ID_INPUT_VIDEO,
         [](auto&) { return crossbarControl.videoSource == 1 && Journaled("crossbar.Route(0, 1)"); }},
        {ID_INPUT_TUNER,
         [](auto&) { return crossbarControl.videoSource == 0 && Journaled("crossbar.Route(0, 0)"); }},
        {ID_FRAMERATE_30, [](auto&) { return Journaled("streamconfig.SetFormat(320x240, 333333)"); }},
        {ID_FRAMERATE_15, [](auto&) { return Journaled("streamconfig.SetFormat(320x240, 666666)"); }},
        {ID_FRAMERATE_5, [](auto&) { return Journaled("streamconfig.SetFormat(320x240, 2000000)"); }},
        {ID_FRAMERATE_CUSTOM,
         [](auto& t) {
             return t.DialogCalls() == Lines{"InputFrameRate"} && t.dialogs.Calls()[0].rateIn == 5 &&
                    Journaled("streamconfig.SetFormat(320x240, 500000)");
         }},
        {ID_VIDEO_FORMAT + 2,
         [](auto&) {
             return formatCatalog.formatIndex == 1 && Journaled("builder.RenderStream") &&
                    Journaled("streamconfig.SetFormat(640x480, 500000)");
         }},
        {ID_QUALITY_HIGH, [](auto&) { return Journaled("compression.put_Quality(1)"); }},
        {ID_QUALITY_MEDIUM, [](auto&) { return Journaled("compression.put_Quality(0.5)"); }},
        {ID_QUALITY_LOW, [](auto&) { return Journaled("compression.put_Quality(0)"); }},
        {ID_PICTURE_ADJUST, [](auto&) { return Journaled("pages[procamp].GetPages"); }},
        {ID_SOUND_DEVICE + 1,
         [](auto&) {
             return captureSession.captureAudioDevice && !captureSession.muteAudio &&
                    Journaled(u8"graph.AddFilter(filter[マイク]");
         }},
        {ID_AUDIO_MUTE, [](auto&) { return captureSession.muteAudio && !captureSession.captureAudioDevice; }},
        {ID_AUDIO_CARD,
         [](auto&) {
             return !captureSession.muteAudio && !captureSession.captureAudioDevice && Journaled("graph.Run");
         }},
        {ID_KEEP_ASPECT, [](auto&) { return captureSession.zoomRateSave && !captureSession.topMostWindow; }},
        {ID_TOPMOST, [](auto&) { return captureSession.topMostWindow && captureSession.zoomRateSave; }},
        {ID_VERSION_INFO, [](auto& t) { return t.DialogCalls() == Lines{"VersionInfo"}; }},
        {ID_CHANNEL_SETUP,
         [](auto& t) { return t.DialogCalls() == Lines{"SetupPresetChannel"} && !Journaled("tuner."); }},
        {ID_HELP_CONTENTS,
         [](auto&) {
             HWND help = FindWindowA(nullptr, "NarvoTV ヘルプ");
             AfxHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
             return help != nullptr;
         }},
        {ID_APP_QUIT,
         [](auto& t) {
             Pump();
             return t.viewer == nullptr;
         }},
    };
    std::string help = std::string(NARVO_BIN[0] == '/' ? "Z:" : "") + NARVO_BIN + "/NarvoTV.chm";
    std::replace(help.begin(), help.end(), '/', '\\');
    theApp.m_pszHelpFilePath = help.c_str();
    for (const Row& row : rows) {
        Command(row.id);
        EXPECT_TRUE(row.reached(*this)) << "command " << row.id << "; journal:\n"
                                        << ::testing::PrintToString(fakes::Journal());
    }
    theApp.m_pszHelpFilePath = nullptr;
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ViewerCommandTest, CustomRateIsAppliedOnlyWhenConfirmedAndAtLeastOne) {
    struct Case {
        int answer;
        int rate;
        int applied; // 0: nothing changes
    };
    const Case cases[] = {{0, 99, 0}, {0, 24, 0}, {1, 0, 0}, {7, -5, 0}, {1, 1, 1}, {1, 60, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE("answer " + std::to_string(c.answer) + ", rate " + std::to_string(c.rate));
        const int before = formatCatalog.frameRate;
        dialogAnswer = c.answer;
        dialogRate = c.rate;
        Command(ID_FRAMERATE_CUSTOM);
        ASSERT_EQ(1u, dialogs.Calls().size());
        EXPECT_EQ(before, dialogs.Calls()[0].rateIn);
        EXPECT_EQ(c.applied ? c.applied : before, formatCatalog.frameRate);
        EXPECT_EQ(c.applied != 0, Journaled("graph.StopWhenReady"));
    }
}

TEST_F(ViewerCommandTest, AnEditorThatReportsAChangeReloadsThePresetsWithoutTuning) {
    ASSERT_EQ(40, tunerControl.presets[1].channel);
    Command(ID_CHANNEL_ITEM + 2);
    // What the editor would have written, and a selection it must not take over.
    WriteWholeFile(settingsFile.Path(), "[Preset Channel]\r\nCH1=5\r\nNAME1=one\r\nCH2=41\r\nNAME2=two\r\n"
                                        "CH9=12\r\nNAME9=nine\r\n[TVTuner]\r\nSelectChannel=9\r\n");
    dialogAnswer = 0;
    Command(ID_CHANNEL_SETUP);
    EXPECT_EQ(40, tunerControl.presets[1].channel) << "no change reported: nothing read";
    dialogAnswer = 1;
    Command(ID_CHANNEL_SETUP);
    EXPECT_EQ(41, tunerControl.presets[1].channel);
    EXPECT_STREQ("nine", tunerControl.presets[8].name);
    EXPECT_EQ(2, tunerControl.currentPreset);
    EXPECT_FALSE(Journaled("tuner.")) << "the tuner stays on its channel";
}

TEST_F(ViewerCommandTest, WithoutTheLibraryEachDialogCommandTellsOnceAndChangesNothing) {
    dialogs.LetGo();
    FakeDialogs none(FakeDialogs::Copy::None);
    for (UINT id : {ID_FRAMERATE_CUSTOM, ID_CHANNEL_SETUP, ID_VERSION_INFO}) {
        Command(id);
        EXPECT_FALSE(Journaled("graph.")) << id;
    }
    EXPECT_EQ(40, tunerControl.presets[1].channel);
    ASSERT_EQ(3u, boxes.Boxes().size());
    for (const MessageBoxCatcher::Box& box : boxes.Boxes()) {
        EXPECT_EQ("必要なファイルが見つかりません", box.text);
        EXPECT_EQ(viewer->m_hWnd, box.owner);
    }
    EXPECT_EQ(15, formatCatalog.frameRate);
}

} // namespace
