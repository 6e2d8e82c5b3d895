// The real RADO_DU.DLL on a display: each dialog is opened through its
// export while a second thread reads and fills its controls and presses its
// buttons, as a user would.
#include "dialogs/DialogExports.h"
#include "dialogs/DialogIds.h"
#include "res/NarvoVersion.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string BinFile(const char* name) {
    const std::string bin = NARVO_BIN;
    return (bin[0] == '/' ? "Z:" + bin : bin) + "/" + name;
}

std::string Text(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Waits (boundedly) until `done` holds; false when it never did.
bool Await(const std::function<bool()>& done) {
    for (int i = 0; i < 500; ++i) {
        if (done()) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

// Runs `user` on its own thread against the dialog captioned `caption`
// while `open` runs the modal dialog here. `user` must close the dialog.
int WithDialog(const char* caption, const std::function<int()>& open, const std::function<void(HWND)>& user) {
    std::thread thread([&] {
        HWND dialog = nullptr;
        if (Await([&] {
                return (dialog = FindWindowA("#32770", caption)) != nullptr && IsWindowVisible(dialog);
            })) {
            user(dialog);
        }
    });
    const int result = open();
    thread.join();
    return result;
}

// Presses a button and waits until the dialog has either closed or shown a message.
void Press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, button, 0);
    Await([&] { return !IsWindow(dialog) || !Text(dialog, IDC_MESSAGE).empty(); });
}

class DialogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        library = LoadLibraryA(BinFile("RADO_DU.DLL").c_str());
        ASSERT_NE(nullptr, library);
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 80, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        FreeLibrary(library);
    }
    template <typename Export> Export Get(const char* name) {
        return reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    }

    HMODULE library = nullptr;
    HWND owner = nullptr;
};

TEST_F(DialogWindowTest, VersionInfoNamesTheProgramVersionAndSettingsFileCentredOnItsOwner) {
    const auto versionInfo = Get<VersionInfoExport>("VersionInfo");
    ASSERT_NE(nullptr, versionInfo);
    std::vector<std::string> seen;
    RECT place = {};
    HWND ownerSeen = nullptr;
    const int result = WithDialog(
        "バージョン情報", [&] { return versionInfo(owner, "C:\\Program Files\\NarvoTV\\NarvoTV.ini"); },
        [&](HWND dialog) {
            for (int id : {IDC_PROGRAM_NAME, IDC_VERSION, IDC_COPYRIGHT, IDC_SETTINGS_PATH}) {
                seen.push_back(Text(dialog, id));
            }
            GetWindowRect(dialog, &place);
            ownerSeen = GetWindow(dialog, GW_OWNER);
            Press(dialog, IDOK);
        });
    EXPECT_NE(0, result);
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ("NarvoTV", seen[0]);
    EXPECT_NE(std::string::npos, seen[1].find(NARVO_VERSION_TEXT));
    EXPECT_NE(std::string::npos, seen[2].find("Copyright"));
    EXPECT_EQ("C:\\Program Files\\NarvoTV\\NarvoTV.ini", seen[3]);
    EXPECT_EQ(owner, ownerSeen);
    EXPECT_NEAR(100 + 300, (place.left + place.right) / 2, 1);
    EXPECT_NEAR(80 + 200, (place.top + place.bottom) / 2, 1);
}

TEST_F(DialogWindowTest, FrameRateRefusesAnythingButOneToSixtyAndCancelLeavesTheRate) {
    const auto inputFrameRate = Get<InputFrameRateExport>("InputFrameRate");
    ASSERT_NE(nullptr, inputFrameRate);
    EXPECT_EQ(0, inputFrameRate(owner, nullptr));

    struct Refusal {
        std::string typed, message;
        bool open;
    };
    std::vector<Refusal> refusals;
    std::string shown;
    int rate = 15;
    int result = WithDialog(
        "フレームレート", [&] { return inputFrameRate(owner, &rate); },
        [&](HWND dialog) {
            shown = Text(dialog, IDC_RATE);
            for (const char* typed : {"0", "61", "", "2.5", "-3"}) {
                SetDlgItemTextA(dialog, IDC_MESSAGE, "");
                SetDlgItemTextA(dialog, IDC_RATE, typed);
                Press(dialog, IDOK);
                refusals.push_back(
                    {typed, IsWindow(dialog) ? Text(dialog, IDC_MESSAGE) : "", IsWindow(dialog) != 0});
            }
            SetDlgItemTextA(dialog, IDC_RATE, "24");
            Press(dialog, IDOK);
        });
    EXPECT_EQ("15", shown);
    for (const Refusal& refusal : refusals) {
        EXPECT_TRUE(refusal.open) << "\"" << refusal.typed << "\" closed the dialog";
        EXPECT_EQ("フレームレートは 1 から 60 までの整数で入力してください。", refusal.message)
            << refusal.typed;
    }
    EXPECT_NE(0, result);
    EXPECT_EQ(24, rate);

    result = WithDialog(
        "フレームレート", [&] { return inputFrameRate(owner, &rate); },
        [&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_RATE, "30");
            Press(dialog, IDCANCEL);
        });
    EXPECT_EQ(0, result);
    EXPECT_EQ(24, rate);
}

class PresetDialogTest : public DialogWindowTest {
protected:
    std::string Read(const char* section, const char* key) {
        char value[300] = {};
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, path.c_str());
        return value;
    }
    int Edit(const std::function<void(HWND)>& user) {
        const auto setup = Get<SetupPresetChannelExport>("SetupPresetChannel");
        return setup ? WithDialog(
                           "チャンネル設定", [&] { return setup(owner, path.c_str()); }, user)
                     : -1;
    }

    TempFolder folder;
    std::string path = folder.File("NarvoTV.ini");
    const std::string original =
        "[TVTuner]\r\nSelectChannel=4\r\n[Preset Channel]\r\nCH1=5\r\nNAME1=ＮＨＫ\r\n"
        "CH3=-1\r\nNAME3=stale\r\nCH4=70\r\nNAME4=far\r\n";
};

TEST_F(PresetDialogTest, ShowsTheFileRefusesAChannelBeyondSixtyTwoAndWritesTheSectionOnOk) {
    WriteWholeFile(path, original);
    std::vector<std::string> shown;
    std::string refusal;
    std::string fileWhileRefused;
    const int result = Edit([&](HWND dialog) {
        for (int n : {1, 3, 4}) {
            shown.push_back(Text(dialog, IDC_CHANNEL_BASE + n) + "|" + Text(dialog, IDC_NAME_BASE + n));
        }
        Press(dialog, IDOK); // preset 4 still holds 70
        refusal = Text(dialog, IDC_MESSAGE);
        fileWhileRefused = ReadWholeFile(path);
        SetDlgItemTextA(dialog, IDC_CHANNEL_BASE + 4, "");
        SetDlgItemTextA(dialog, IDC_CHANNEL_BASE + 1, " ");
        SetDlgItemTextA(dialog, IDC_CHANNEL_BASE + 2, "62");
        SetDlgItemTextA(dialog, IDC_NAME_BASE + 2, "テレビ東京");
        SetDlgItemTextA(dialog, IDC_CHANNEL_BASE + 15, "1");
        Press(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"5|ＮＨＫ", "|", "70|far"}), shown);
    EXPECT_EQ("プリセット 4 のチャンネルは 1 から 62 までの数字で入力してください (空欄で未定義)。", refusal);
    EXPECT_EQ(original, fileWhileRefused) << "nothing is written while a field is refused";
    EXPECT_NE(0, result);
    for (const char* removed : {"CH1", "NAME1", "CH3", "NAME3", "CH4", "NAME4"}) {
        EXPECT_EQ("<missing>", Read("Preset Channel", removed)) << removed;
    }
    EXPECT_EQ("62", Read("Preset Channel", "CH2"));
    EXPECT_EQ("テレビ東京", Read("Preset Channel", "NAME2"));
    EXPECT_EQ("1", Read("Preset Channel", "CH15"));
    EXPECT_EQ("", Read("Preset Channel", "NAME15"));
    EXPECT_EQ("4", Read("TVTuner", "SelectChannel"));
}

TEST_F(PresetDialogTest, CancelAndRefusedNamesWriteNothing) {
    WriteWholeFile(path, original);
    std::string refusal;
    int result = Edit([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_CHANNEL_BASE + 4, "7");
        SetDlgItemTextA(dialog, IDC_NAME_BASE + 1, std::string(129, 'n').c_str());
        Press(dialog, IDOK);
        refusal = Text(dialog, IDC_MESSAGE);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("プリセット 1 の名前が長すぎます (128 バイトまで)。", refusal);
    EXPECT_EQ(original, ReadWholeFile(path));
}

TEST(VersionResourceTest, TheViewerAndItsDialogLibraryCarryTheBuildsVersion) {
    for (const char* file : {"NarvoTV.exe", "RADO_DU.DLL"}) {
        const std::string path = BinFile(file);
        DWORD ignored = 0;
        std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
        ASSERT_FALSE(block.empty()) << file;
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(NARVO_VERSION_MINOR, NARVO_VERSION_MAJOR)),
                  fixed->dwFileVersionMS)
            << file;
        char* text = nullptr;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\041104B0\\FileVersion",
                                   reinterpret_cast<void**>(&text), &size));
        EXPECT_STREQ(NARVO_VERSION_TEXT, text) << file;
    }
}

} // namespace
