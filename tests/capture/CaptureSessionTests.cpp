// CaptureSession's start and end: the steps of Initialize, each failure the
// user sees, and what Shutdown gives back and writes.
#include "tests/capture/SessionFixture.h"

namespace {

const char AppName[] = "capture_session_tests";

// Journals "apartment.CoUninitialize" each time this thread leaves its apartment.
class ApartmentSpy : public fakes::Fake<IInitializeSpy> {
public:
    ApartmentSpy() : Fake("apartment", {IID_IInitializeSpy}) {}
    STDMETHODIMP PreInitialize(DWORD, DWORD) override { return S_OK; }
    STDMETHODIMP PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
    STDMETHODIMP PreUninitialize(DWORD) override {
        Log("CoUninitialize");
        return S_OK;
    }
    STDMETHODIMP PostUninitialize(DWORD) override { return S_OK; }
};

class InitializeTest : public SessionTest {
protected:
    // Initialize fails with exactly this box, ownerless, and Shutdown still
    // writes the main settings.
    void ExpectFailureBox(const char* text) {
        EXPECT_FALSE(session.Initialize());
        const MessageBoxCatcher::Box box = OnlyBox();
        EXPECT_STREQ(text, box.text.c_str());
        EXPECT_EQ(AppName, box.caption);
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), box.type);
        session.Shutdown();
        EXPECT_EQ("Narvo TV", Stored("VideoDeviceName"));
        EXPECT_EQ("50", Stored("VideoQuality"));
    }
};

TEST_F(InitializeTest, BuildsTheGraphAroundTheCardInOrder) {
    EXPECT_TRUE(session.Initialize());
    EXPECT_EQ((Lines{
                  "factory[FilterGraph].CreateInstance(IGraphBuilder)",
                  "factory[SystemDeviceEnum].CreateInstance(ICreateDevEnum)",
                  "enum.CreateClassEnumerator(VideoInputDeviceCategory)",
                  "factory[SystemDeviceEnum].CreateInstance(ICreateDevEnum)",
                  "enum.CreateClassEnumerator(AudioInputDeviceCategory)",
                  "factory[CaptureGraphBuilder].CreateInstance(ICaptureGraphBuilder)",
                  "factory[FilterGraph].CreateInstance(IGraphBuilder)",
                  "builder.SetFiltergraph(graph)",
                  "graph.AddFilter(filter[Narvo TV], Narvo TV)",
              }),
              fakes::JournalOf({"factory", "enum.", "builder.SetFiltergraph", "graph."}));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(static_cast<IBaseFilter*>(&card.filter), session.videoFilter);
    EXPECT_TRUE(graph.Holds(&card.filter));
}

TEST_F(InitializeTest, ShutdownGivesEverythingBackAndWritesMainConfig) {
    Start();
    graph.journalReleases = builder.journalReleases = true;
    ApartmentSpy spy;
    ULARGE_INTEGER cookie = {};
    ASSERT_EQ(S_OK, CoRegisterInitializeSpy(&spy, &cookie));
    session.Shutdown();
    CoRevokeInitializeSpy(cookie);
    // Closing the apartment while the graph lives can crash the exit on Windows.
    // The builder lets go of the graph last.
    EXPECT_EQ((Lines{"graph.Release", "builder.Release", "graph.Release", "apartment.CoUninitialize"}),
              fakes::JournalOf({"graph.Release", "builder.Release", "apartment."}));
    EXPECT_EQ(nullptr, session.videoFilter);
    EXPECT_EQ(nullptr, session.graph);
    EXPECT_EQ(nullptr, session.builder);
    // The graph let go of its filters when its last reference went.
    EXPECT_EQ(0, card.filter.References());
    EXPECT_EQ("Narvo TV", Stored("VideoDeviceName"));
}

TEST_F(InitializeTest, NoFilterGraphMeansDirectShowIsMissing) {
    graphClass.results = {REGDB_E_CLASSNOTREG};
    ExpectFailureBox("DirectShow がインストールされていません");
    EXPECT_EQ(Lines{}, fakes::JournalOf({"enum."}));
}

TEST_F(InitializeTest, NoCardMeansDeviceNotFound) {
    devices.devices.clear();
    ExpectFailureBox("NARVO TV デバイスが見つかりません");
    EXPECT_EQ(Lines{}, fakes::JournalOf({"factory[CaptureGraphBuilder]"}));
}

TEST_F(InitializeTest, NoBuilderMeansDirectShowCannotStart) {
    builderClass.results = {E_OUTOFMEMORY};
    ExpectFailureBox("DirectShow の初期化ができません");
}

TEST_F(InitializeTest, BuilderRefusingTheGraphMeansDirectShowUnusable) {
    builder.setFiltergraphResult = E_FAIL;
    ExpectFailureBox("DirectShow が利用できません");
}

TEST_F(InitializeTest, NoGraphAtTheSecondCreationFailsAtSetFiltergraph) {
    graphClass.results = {S_OK, E_OUTOFMEMORY};
    ExpectFailureBox("DirectShow が利用できません");
    EXPECT_EQ(Lines{"builder.SetFiltergraph(NULL)"}, fakes::JournalOf({"builder."}));
}

TEST_F(InitializeTest, GraphRefusingTheCardMeansDeviceUnusable) {
    graph.addFilterResults = {E_FAIL};
    ExpectFailureBox("NARVO TV デバイスが利用できません");
}

TEST_F(InitializeTest, CardTakenUnderANameOfTheGraphsOwnMeansDeviceUnusable) {
    graph.addFilterResults = {VFW_S_DUPLICATE_NAME};
    ExpectFailureBox("NARVO TV デバイスが利用できません");
}

TEST_F(InitializeTest, FailureKeepsTheLoadedSettingsForShutdown) {
    WriteSettings(
        "VideoDeviceName=Other Card\r\nVideoQuality=150\r\nMuteAudio=7\r\nAudioDeviceName=マイク\r\n"
        "WindowPosX=-40\r\n");
    devices.devices.clear();
    EXPECT_FALSE(session.Initialize());
    session.Shutdown();
    EXPECT_EQ("Narvo TV", Stored("VideoDeviceName"));
    EXPECT_EQ("100", Stored("VideoQuality"));
    EXPECT_EQ("1", Stored("MuteAudio"));
    EXPECT_EQ("マイク", Stored("AudioDeviceName"));
    EXPECT_EQ("-40", Stored("WindowPosX"));
}

class AudioAttachTest : public SessionTest {
protected:
    fakes::FakeDevice microphone{L"マイク"};
};

TEST_F(AudioAttachTest, MissingAudioDeviceIsReportedAndForgotten) {
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=Gone\r\n");
    devices.Add(CLSID_AudioInputDeviceCategory, microphone);
    EXPECT_TRUE(session.Initialize());
    const MessageBoxCatcher::Box box = OnlyBox();
    EXPECT_STREQ("オーディオデバイスが見つかりません", box.text.c_str());
    EXPECT_EQ(AppName, box.caption);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(nullptr, session.audioFilter);
    EXPECT_STREQ("", session.audioDeviceName);
    EXPECT_FALSE(session.captureAudioDevice);
    // The session goes on with its video.
    EXPECT_EQ(static_cast<IBaseFilter*>(&card.filter), session.videoFilter);
    session.Shutdown();
    EXPECT_EQ("0", Stored("CaptureAudioDevice"));
    EXPECT_EQ("", Stored("AudioDeviceName"));
}

TEST_F(AudioAttachTest, AudioDeviceRefusedByTheGraphIsReleasedAndForgotten) {
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    devices.Add(CLSID_AudioInputDeviceCategory, microphone);
    graph.addFilterResults = {S_OK, E_FAIL};
    EXPECT_TRUE(session.Initialize());
    EXPECT_STREQ("オーディオデバイスが利用できません", OnlyBox().text.c_str());
    EXPECT_EQ(nullptr, session.audioFilter);
    EXPECT_EQ(0, microphone.filter.References());
    EXPECT_STREQ("", session.audioDeviceName);
    EXPECT_FALSE(session.captureAudioDevice);
    session.Shutdown();
    EXPECT_EQ("0", Stored("CaptureAudioDevice"));
    EXPECT_EQ("", Stored("AudioDeviceName"));
}

TEST_F(AudioAttachTest, EmptyNameAttachesTheFirstDeviceThatBindsAndSavesItsName) {
    fakes::FakeDevice broken{L"Broken"};
    broken.moniker.bindToObjectResult = E_FAIL;
    devices.Add(CLSID_AudioInputDeviceCategory, broken);
    devices.Add(CLSID_AudioInputDeviceCategory, microphone);
    WriteSettings("CaptureAudioDevice=1\r\n");
    EXPECT_TRUE(session.Initialize());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(static_cast<IBaseFilter*>(&microphone.filter), session.audioFilter);
    EXPECT_EQ(u8"graph.AddFilter(filter[マイク], マイク)", fakes::JournalOf({"graph.AddFilter"}).back());
    session.Shutdown();
    EXPECT_EQ("1", Stored("CaptureAudioDevice"));
    EXPECT_EQ("マイク", Stored("AudioDeviceName"));
}

} // namespace
