// The device walks through the system device enumerator: which device is
// bound, which are passed over, how names come through the ANSI code page,
// and that every object of the walk is given back.
#include "tests/capture/SessionFixture.h"
#include "ui/ContextMenu.h"

#include <cstring>

namespace {

// An ASCII letter and then `characters` double-byte characters of code page 932.
std::wstring LongJapaneseName(int characters) {
    return L"A" + std::wstring(characters, L'音');
}

using VideoSearchTest = SessionTest;

TEST_F(VideoSearchTest, WalksTheCategoryAndKeepsTheCardWithItsInputPin) {
    EXPECT_TRUE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ((Lines{
                  "factory[SystemDeviceEnum].CreateInstance(ICreateDevEnum)",
                  "enum.CreateClassEnumerator(VideoInputDeviceCategory)",
                  "monikers.Reset",
                  "monikers.Next",
                  "moniker[Narvo TV].BindToStorage(IPropertyBag)",
                  "bag[Narvo TV].Read(FriendlyName)",
                  "moniker[Narvo TV].BindToObject(IBaseFilter)",
                  "filter[Narvo TV].EnumPins",
                  "pins[Narvo TV].Reset",
                  "pins[Narvo TV].Next",
                  "pin[video in].QueryDirection",
              }),
              fakes::Journal());
    EXPECT_EQ(static_cast<IBaseFilter*>(&card.filter), session.videoFilter);
    EXPECT_EQ(1, card.filter.References());
}

TEST_F(VideoSearchTest, NameIsComparedIgnoringCase) {
    devices.devices.clear();
    fakes::FakeDevice other{L"Other Card"};
    fakes::FakeDevice shouting{L"NARVO tv"};
    shouting.filter.AddPin(PINDIR_INPUT, "in");
    devices.Add(CLSID_VideoInputDeviceCategory, other);
    devices.Add(CLSID_VideoInputDeviceCategory, shouting);
    EXPECT_TRUE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ(static_cast<IBaseFilter*>(&shouting.filter), session.videoFilter);
    EXPECT_EQ(Lines{"moniker[NARVO tv].BindToObject(IBaseFilter)"},
              fakes::JournalOf({"moniker[Other Card].BindToObject", "moniker[NARVO tv].BindToObject"}));
}

TEST_F(VideoSearchTest, LookAlikeWithoutInputPinIsPassedOverForTheNextOne) {
    devices.devices.clear();
    fakes::FakeDevice first{L"Narvo TV", "first"};
    first.filter.AddPin(PINDIR_OUTPUT, "first capture");
    fakes::FakeDevice second{L"Narvo TV", "second"};
    second.filter.AddPin(PINDIR_OUTPUT, "second capture");
    second.filter.AddPin(PINDIR_INPUT, "second in");
    devices.Add(CLSID_VideoInputDeviceCategory, first);
    devices.Add(CLSID_VideoInputDeviceCategory, second);
    EXPECT_TRUE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ(static_cast<IBaseFilter*>(&second.filter), session.videoFilter);
    EXPECT_EQ(0, first.filter.References());
}

TEST_F(VideoSearchTest, FirstOfTwoGoodDevicesIsUsed) {
    fakes::FakeDevice second{L"Narvo TV", "second"};
    second.filter.AddPin(PINDIR_INPUT, "second in");
    devices.Add(CLSID_VideoInputDeviceCategory, second);
    EXPECT_TRUE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ(static_cast<IBaseFilter*>(&card.filter), session.videoFilter);
    EXPECT_EQ(Lines{}, fakes::JournalOf({"moniker[second]"}));
}

TEST_F(VideoSearchTest, EmptyCategoryOrNoEnumeratorFindsNothing) {
    devices.devices.clear();
    EXPECT_FALSE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ(Lines{"enum.CreateClassEnumerator(VideoInputDeviceCategory)"},
              fakes::JournalOf({"enum.", "monikers"}));

    devicesClass.results = {REGDB_E_CLASSNOTREG};
    EXPECT_FALSE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ(nullptr, session.videoFilter);
}

TEST_F(VideoSearchTest, UnreadableOrUnbindableDevicesAreSkipped) {
    devices.devices.clear();
    fakes::FakeDevice noBag{L"Narvo TV", "no bag"};
    noBag.moniker.bindToStorageResult = E_FAIL;
    fakes::FakeDevice noName{L"Narvo TV", "no name"};
    noName.moniker.bag.readResult = E_FAIL;
    fakes::FakeDevice unbindable{L"Narvo TV", "unbindable"};
    unbindable.moniker.bindToObjectResult = E_FAIL;
    for (fakes::FakeDevice* device : {&noBag, &noName, &unbindable, &card}) {
        devices.Add(CLSID_VideoInputDeviceCategory, *device);
    }
    EXPECT_TRUE(session.FindVideoDevice("Narvo TV"));
    EXPECT_EQ(static_cast<IBaseFilter*>(&card.filter), session.videoFilter);
    EXPECT_EQ((Lines{"moniker[unbindable].BindToObject(IBaseFilter)",
                     "moniker[Narvo TV].BindToObject(IBaseFilter)"}),
              fakes::JournalOf({"moniker[no bag].BindToObject", "moniker[no name].BindToObject",
                                "moniker[unbindable].BindToObject", "moniker[Narvo TV].BindToObject"}));
}

TEST_F(VideoSearchTest, InputPinTest) {
    fakes::FakeFilter none{"none"};
    EXPECT_FALSE(session.HasInputPin(&none));
    fakes::FakeFilter outputs{"outputs"};
    outputs.AddPin(PINDIR_OUTPUT, "out 1");
    outputs.AddPin(PINDIR_OUTPUT, "out 2");
    EXPECT_FALSE(session.HasInputPin(&outputs));
    fakes::FakeFilter mute{"mute"};
    mute.AddPin(PINDIR_INPUT, "silent in").queryDirectionResult = E_FAIL;
    EXPECT_FALSE(session.HasInputPin(&mute));
    outputs.AddPin(PINDIR_INPUT, "late in");
    EXPECT_TRUE(session.HasInputPin(&outputs));
    fakes::FakeFilter closed{"closed"};
    closed.AddPin(PINDIR_INPUT, "closed in");
    closed.enumPinsResult = E_FAIL;
    EXPECT_FALSE(session.HasInputPin(&closed));
}

class AudioSearchTest : public SessionTest {
protected:
    // A device listed in the audio category. Devices outlive the test body:
    // the session may still hold one until tear-down.
    fakes::FakeDevice& AudioDevice(const std::wstring& friendlyName) {
        owned.push_back(std::make_unique<fakes::FakeDevice>(friendlyName));
        devices.Add(CLSID_AudioInputDeviceCategory, *owned.back());
        return *owned.back();
    }

    std::vector<std::unique_ptr<fakes::FakeDevice>> owned;
    char name[CaptureSession::DeviceNameSize] = "";
};

TEST_F(AudioSearchTest, EmptyNameTakesTheFirstDeviceThatBinds) {
    fakes::FakeDevice& broken = AudioDevice(L"Broken");
    broken.moniker.bindToObjectResult = E_FAIL;
    fakes::FakeDevice& oddAnswer = AudioDevice(L"Odd answer");
    oddAnswer.moniker.bindToObjectResult = S_FALSE; // a filter comes back, but not with S_OK
    fakes::FakeDevice& microphone = AudioDevice(L"Microphone");
    EXPECT_TRUE(session.FindAudioDevice(name));
    EXPECT_EQ(static_cast<IBaseFilter*>(&microphone.filter), session.audioFilter);
    EXPECT_STREQ("Microphone", name);
    EXPECT_EQ(0, oddAnswer.filter.References());
}

TEST_F(AudioSearchTest, NameTakesTheDevicesOwnLetterCase) {
    AudioDevice(L"Microphone");
    strcpy(name, "MICROPHONE");
    EXPECT_TRUE(session.FindAudioDevice(name));
    EXPECT_STREQ("Microphone", name);
}

TEST_F(AudioSearchTest, UnknownNameLeavesTheBufferAlone) {
    AudioDevice(L"Microphone");
    strcpy(name, "Gone");
    EXPECT_FALSE(session.FindAudioDevice(name));
    EXPECT_STREQ("Gone", name);
    EXPECT_EQ(nullptr, session.audioFilter);
    EXPECT_EQ(Lines{}, fakes::JournalOf({"moniker[Microphone].BindToObject"}));
}

TEST_F(AudioSearchTest, TwelveDevicesListTheFirstTenAndTheUnnamedDoNotCount) {
    std::vector<std::unique_ptr<fakes::FakeDevice>> all;
    for (int i = 1; i <= 12; ++i) {
        all.push_back(std::make_unique<fakes::FakeDevice>(L"Device " + std::to_wstring(i)));
        devices.Add(CLSID_AudioInputDeviceCategory, *all.back());
        if (i == 3) {
            all.push_back(std::make_unique<fakes::FakeDevice>(L"Unnamed", "unnamed"));
            all.back()->moniker.bag.readResult = E_FAIL;
            devices.Add(CLSID_AudioInputDeviceCategory, *all.back());
        }
    }
    EXPECT_TRUE(session.ListAudioDevices());
    ASSERT_EQ(10, session.AudioDeviceCount());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ("Device " + std::to_string(i + 1), session.audioDeviceNames[i]);
    }
    EXPECT_EQ(Lines{}, fakes::JournalOf({"moniker[Device 11]"}));

    // The menu offers 501 to 510.
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 500, "SOUND DEVICE");
    session.FillMenu(menu, 500, ContextMenu::SessionIds());
    ASSERT_EQ(10, GetMenuItemCount(menu));
    EXPECT_EQ(501u, GetMenuItemID(menu, 0));
    EXPECT_EQ(510u, GetMenuItemID(menu, 9));
    DestroyMenu(menu);
}

TEST_F(AudioSearchTest, NoDevicesLeaveNoList) {
    AudioDevice(L"Microphone");
    ASSERT_TRUE(session.ListAudioDevices());
    devices.devices.clear();
    EXPECT_FALSE(session.ListAudioDevices());
    EXPECT_EQ(0, session.AudioDeviceCount());
    EXPECT_TRUE(session.audioDeviceNames.empty());
}

TEST_F(AudioSearchTest, JapaneseNameComesThroughTheCodePageAndBack) {
    AudioDevice(L"ライン入力 (USB オーディオ)");
    ASSERT_TRUE(session.ListAudioDevices());
    EXPECT_STREQ("ライン入力 (USB オーディオ)", session.audioDeviceNames[0].c_str());
    EXPECT_EQ('\x83', session.audioDeviceNames[0][0]); // "ラ" in code page 932 is 83 89
    EXPECT_EQ('\x89', session.audioDeviceNames[0][1]);

    Start();
    session.captureAudioDevice = true;
    session.AttachAudioCapture();
    EXPECT_STREQ("ライン入力 (USB オーディオ)", session.audioDeviceName);
    EXPECT_EQ(Lines{u8"graph.AddFilter(filter[ライン入力 (USB オーディオ)], ライン入力 (USB オーディオ))"},
              fakes::JournalOf({"graph.AddFilter"}));
}

TEST_F(AudioSearchTest, OverlongNamesAreCutOnACharacterBoundary) {
    // 1 + 45 * 2 = 91 bytes: the field keeps 1 + 39 * 2 = 79, never half a character.
    AudioDevice(LongJapaneseName(45));
    EXPECT_TRUE(session.FindAudioDevice(name));
    EXPECT_EQ(79u, strlen(name));
    char expected[CaptureSession::DeviceNameSize] = {};
    WideCharToMultiByte(CP_ACP, 0, LongJapaneseName(39).c_str(), -1, expected, sizeof expected, nullptr,
                        nullptr);
    EXPECT_STREQ(expected, name);

    // Past the 256-byte conversion buffer a listed name is cut too.
    devices.devices.clear();
    AudioDevice(std::wstring(300, L'x'));
    ASSERT_TRUE(session.ListAudioDevices());
    EXPECT_EQ(std::string(255, 'x'), session.audioDeviceNames[0].c_str());
}

TEST_F(AudioSearchTest, CutNameFindsItsDeviceOnTheNextStartAndIsTicked) {
    AudioDevice(L"Other");
    fakes::FakeDevice& longName = AudioDevice(LongJapaneseName(45));

    // First run: the device is chosen from the menu and saved cut.
    Start();
    session.SelectAudioDevice(1);
    ASSERT_EQ(static_cast<IBaseFilter*>(&longName.filter), session.audioFilter);
    session.Shutdown();
    EXPECT_EQ(79u, Stored("AudioDeviceName").size());

    // Next run: the stored cut name attaches the same device and ticks it.
    CaptureSession next;
    EXPECT_TRUE(next.Initialize());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(static_cast<IBaseFilter*>(&longName.filter), next.audioFilter);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 500, "SOUND DEVICE");
    next.FillMenu(menu, 500, ContextMenu::SessionIds());
    EXPECT_EQ(static_cast<UINT>(MF_UNCHECKED), GetMenuState(menu, 501, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(menu, 502, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);
    next.Shutdown();
}

} // namespace
