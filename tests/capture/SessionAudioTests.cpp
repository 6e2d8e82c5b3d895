// The audio path (mute, the card's own output, a listed capture device) and
// the session's share of the context menu, read back from a real popup menu.
#include "tests/capture/SessionFixture.h"
#include "tests/support/MenuItems.h"
#include "ui/ContextMenu.h"

namespace {

const UINT High = 32776, Medium = 32777, Low = 32778, Mute = 32790, CardAudio = 32775, KeepAspect = 32788,
           TopMost = 32789, SoundDevice = 500;

// The audio and quality part of the context menu, as the resource lays it out.
struct ContextMenu {
    ContextMenu() {
        HMENU quality = CreatePopupMenu();
        AppendMenuA(quality, MF_STRING, High, "高");
        AppendMenuA(quality, MF_STRING, Medium, "中");
        AppendMenuA(quality, MF_STRING, Low, "低");
        audio = CreatePopupMenu();
        AppendMenuA(audio, MF_STRING, Mute, "ミュート");
        AppendMenuA(audio, MF_STRING, CardAudio, "内蔵スピーカまたはサウンド入力");
        AppendMenuA(audio, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(audio, MF_STRING, SoundDevice, "SOUND DEVICE");
        root = CreatePopupMenu();
        AppendMenuA(root, MF_POPUP, reinterpret_cast<UINT_PTR>(quality), "画質");
        AppendMenuA(root, MF_POPUP, reinterpret_cast<UINT_PTR>(audio), "サウンド");
        AppendMenuA(root, MF_STRING, KeepAspect, "画面比率を保つ");
        AppendMenuA(root, MF_STRING, TopMost, "最前面表示する");
    }
    ~ContextMenu() { DestroyMenu(root); }

    bool Checked(UINT id) const { return (GetMenuState(root, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    // The checked ids among those given.
    std::vector<UINT> CheckedOf(std::initializer_list<UINT> ids) const {
        std::vector<UINT> found;
        for (UINT id : ids) {
            if (Checked(id)) {
                found.push_back(id);
            }
        }
        return found;
    }
    // The audio submenu, one line per item.
    Lines AudioItems() const { return MenuItems(audio); }

    HMENU root;
    HMENU audio;
};

// Choosing "ライン入力" once the old audio path is gone: the device is found,
// added, and the preview started again with it.
const Lines AddLineInAndRestart = {
    "enum.CreateClassEnumerator(AudioInputDeviceCategory)",
    u8"moniker[マイク].BindToStorage(IPropertyBag)",
    u8"moniker[ライン入力].BindToStorage(IPropertyBag)",
    u8"moniker[ライン入力].BindToObject(IBaseFilter)",
    u8"graph.AddFilter(filter[ライン入力], ライン入力)",
    "graph.SetDefaultSyncSource",
    "graph.EnumFilters",
    "builder.RenderStream(PREVIEW, filter[Narvo TV], NULL, NULL)",
    "graph.Run",
};

Lines Joined(Lines head, const Lines& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class AudioPathTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        devices.Add(CLSID_AudioInputDeviceCategory, microphone);
        devices.Add(CLSID_AudioInputDeviceCategory, line);
    }
    // Started with the preview running, as the viewer window leaves it.
    void StartViewing() {
        Start();
        ASSERT_TRUE(session.StartPreview());
        fakes::ClearJournal();
    }
    Lines AudioCalls() { return fakes::JournalOf({"graph.", "enum.", "moniker[", "builder.RenderStream"}); }

    fakes::FakeDevice microphone{L"マイク"};
    fakes::FakeDevice line{L"ライン入力"};
    ContextMenu menu;
};

TEST_F(AudioPathTest, ChoosingAListedDeviceRestartsThePreviewWithIt) {
    StartViewing();
    session.SetMute(false);
    session.SelectAudioDevice(1);
    EXPECT_EQ(Joined({"graph.StopWhenReady"}, AddLineInAndRestart), AudioCalls());
    EXPECT_TRUE(session.captureAudioDevice);
    EXPECT_STREQ("ライン入力", session.audioDeviceName);
    EXPECT_EQ(static_cast<IBaseFilter*>(&line.filter), session.audioFilter);

    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((Lines{std::to_string(Mute) + " ミュート",
                     std::to_string(CardAudio) + " 内蔵スピーカまたはサウンド入力", "---", "501 マイク",
                     "502 ライン入力 checked"}),
              menu.AudioItems());
}

TEST_F(AudioPathTest, ChoosingTheDeviceInUseDetachesAndReattachesIt) {
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=ライン入力\r\n");
    StartViewing();
    ASSERT_EQ(static_cast<IBaseFilter*>(&line.filter), session.audioFilter);
    session.SelectAudioDevice(1);
    EXPECT_EQ(Joined({"graph.StopWhenReady", u8"graph.FindFilterByName(ライン入力)",
                      u8"graph.RemoveFilter(filter[ライン入力])"},
                     AddLineInAndRestart),
              AudioCalls());
    EXPECT_EQ(static_cast<IBaseFilter*>(&line.filter), session.audioFilter);
}

TEST_F(AudioPathTest, IndexPastTheListMeansTheCardsOwnOutput) {
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    StartViewing();
    ASSERT_EQ(2, session.AudioDeviceCount());
    session.SetMute(false);
    session.SelectAudioDevice(2);
    EXPECT_EQ(Lines{u8"graph.RemoveFilter(filter[マイク])"}, fakes::JournalOf({"graph.RemoveFilter"}));
    EXPECT_EQ(Lines{}, fakes::JournalOf({"enum."}));
    EXPECT_EQ(nullptr, session.audioFilter);
    EXPECT_FALSE(session.captureAudioDevice);
    EXPECT_STREQ("", session.audioDeviceName);
    EXPECT_FALSE(graph.Holds(&microphone.filter));
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((std::vector<UINT>{CardAudio}), menu.CheckedOf({Mute, CardAudio, 501, 502}));
}

TEST_F(AudioPathTest, MuteDropsTheCaptureDevice) {
    WriteSettings("CaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    StartViewing();
    session.SetMute(true);
    session.SelectAudioDevice(-1);
    EXPECT_TRUE(session.muteAudio);
    EXPECT_FALSE(session.captureAudioDevice);
    EXPECT_EQ(nullptr, session.audioFilter);
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((std::vector<UINT>{Mute}), menu.CheckedOf({Mute, CardAudio, 501, 502}));
    session.Shutdown();
    EXPECT_EQ("1", Stored("MuteAudio"));
    EXPECT_EQ("0", Stored("CaptureAudioDevice"));
}

TEST_F(AudioPathTest, MutedCaptureDeviceTicksOnlyMute) {
    WriteSettings("MuteAudio=1\r\nCaptureAudioDevice=1\r\nAudioDeviceName=マイク\r\n");
    Start();
    EXPECT_EQ(static_cast<IBaseFilter*>(&microphone.filter), session.audioFilter);
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((std::vector<UINT>{Mute}), menu.CheckedOf({Mute, CardAudio, 501, 502}));
}

TEST_F(AudioPathTest, NameLeftWithoutCaptureTicksBothCardAndDevice) {
    WriteSettings("CaptureAudioDevice=0\r\nAudioDeviceName=マイク\r\n");
    Start();
    EXPECT_EQ(nullptr, session.audioFilter);
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((std::vector<UINT>{CardAudio, 501}), menu.CheckedOf({Mute, CardAudio, 501, 502}));
}

TEST_F(AudioPathTest, DeviceIsTickedWhateverTheLetterCaseOfItsName) {
    fakes::FakeDevice usb{L"USB Audio"};
    devices.Add(CLSID_AudioInputDeviceCategory, usb);
    session.ListAudioDevices();
    strcpy(session.audioDeviceName, "usb AUDIO");
    session.captureAudioDevice = true;
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((std::vector<UINT>{503}), menu.CheckedOf({Mute, CardAudio, 501, 502, 503}));
}

class MenuTest : public SessionTest {
protected:
    ContextMenu menu;
};

TEST_F(MenuTest, QualityTickFollowsTheStoredQuality) {
    const std::pair<double, UINT> cases[] = {
        {1.0, High}, {0.51, High}, {0.5, Medium}, {0.49, Low}, {0.0, Low}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ContextMenu fresh;
        session.videoQuality = c.first;
        session.FillMenu(fresh.root, SoundDevice, ::ContextMenu::SessionIds());
        EXPECT_EQ((std::vector<UINT>{c.second}), fresh.CheckedOf({High, Medium, Low}));
    }
}

TEST_F(MenuTest, NoDevicesLeavesTheSeparatorLast) {
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_EQ((Lines{std::to_string(Mute) + " ミュート",
                     std::to_string(CardAudio) + " 内蔵スピーカまたはサウンド入力 checked", "---"}),
              menu.AudioItems());
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(menu.root, SoundDevice, MF_BYCOMMAND));
}

TEST_F(MenuTest, KeepAspectAndTopMostAreTickedFromTheirFlags) {
    session.zoomRateSave = true;
    session.topMostWindow = false;
    session.FillMenu(menu.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_TRUE(menu.Checked(KeepAspect));
    EXPECT_FALSE(menu.Checked(TopMost));

    ContextMenu other;
    session.zoomRateSave = false;
    session.topMostWindow = true;
    session.FillMenu(other.root, SoundDevice, ::ContextMenu::SessionIds());
    EXPECT_FALSE(other.Checked(KeepAspect));
    EXPECT_TRUE(other.Checked(TopMost));
}

} // namespace
