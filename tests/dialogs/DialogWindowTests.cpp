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

// What went wrong on the user's thread, where no assertion may run; the
// test checks it once the dialog is closed.
std::string userTrouble;

// Runs `user` on its own thread against the dialog captioned `caption`
// while `open` runs the modal dialog here. `user` must close the dialog;
// one left open fails the test and is cancelled.
int WithDialog(const char* caption, const std::function<int()>& open, const std::function<void(HWND)>& user) {
    userTrouble.clear();
    std::thread thread([&] {
        HWND dialog = nullptr;
        if (Await([&] {
                return (dialog = FindWindowA("#32770", caption)) != nullptr && IsWindowVisible(dialog);
            })) {
            user(dialog);
            for (int i = 0; i < 50 && IsWindow(dialog); ++i) {
                userTrouble += i == 0 ? "left open; " : "";
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                Sleep(100);
            }
        }
    });
    const int result = open();
    thread.join();
    EXPECT_EQ("", userTrouble) << caption;
    return result;
}

// Types into a field as a user does: the field takes the focus with its text
// selected, a backspace erases that, and each character goes to the focused
// control as WM_CHAR, so the field's length limit applies.
void Type(HWND dialog, int id, const std::string& text) {
    HWND field = GetDlgItem(dialog, id);
    if (!field) {
        userTrouble += "no field " + std::to_string(id) + " to type " + text + " into; ";
        return;
    }
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    if (thread.hwndFocus != field) {
        userTrouble += "field " + std::to_string(id) + " has no focus; ";
        return;
    }
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_CHAR, VK_BACK, 1);
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 1024);
    for (const wchar_t* c = wide; *c; ++c) {
        SendMessageW(field, WM_CHAR, *c, 1);
    }
}

// Presses a button and waits until the dialog has either closed or shown a message.
void Press(HWND dialog, int button) {
    SetDlgItemTextA(dialog, IDC_MESSAGE, "");
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

TEST_F(DialogWindowTest, VersionInfoHasNothingToCancel) {
    const auto versionInfo = Get<VersionInfoExport>("VersionInfo");
    ASSERT_NE(nullptr, versionInfo);
    const int result = WithDialog(
        "バージョン情報", [&] { return versionInfo(owner, "C:\\NarvoTV.ini"); },
        [&](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_NE(0, result) << "Esc closes it as OK does";
}

TEST_F(DialogWindowTest, FrameRateRefusesAnythingButOneToThirtyAndCancelLeavesTheRate) {
    const auto inputFrameRate = Get<InputFrameRateExport>("InputFrameRate");
    ASSERT_NE(nullptr, inputFrameRate);
    EXPECT_EQ(0, inputFrameRate(owner, nullptr));

    struct Refusal {
        std::string entered, message;
        bool open;
    };
    std::vector<Refusal> refusals;
    std::string shown;
    int rate = 15;
    int result = WithDialog(
        "フレームレート", [&] { return inputFrameRate(owner, &rate); },
        [&](HWND dialog) {
            shown = Text(dialog, IDC_RATE);
            const auto refused = [&](const std::string& entered) {
                Press(dialog, IDOK);
                refusals.push_back(
                    {entered, IsWindow(dialog) ? Text(dialog, IDC_MESSAGE) : "", IsWindow(dialog) != 0});
            };
            // The card takes at most 30 frames a second.
            for (const char* typed : {"0", "31", "45", "99999999", ""}) {
                Type(dialog, IDC_RATE, typed);
                refused(typed);
            }
            // Pasted: the field lets only digits be typed.
            for (const char* pasted : {"2.5", "-3"}) {
                SetDlgItemTextA(dialog, IDC_RATE, pasted);
                refused(pasted);
            }
            Type(dialog, IDC_RATE, "30");
            Press(dialog, IDOK);
        });
    EXPECT_EQ("15", shown);
    for (const Refusal& refusal : refusals) {
        EXPECT_TRUE(refusal.open) << "\"" << refusal.entered << "\" closed the dialog";
        EXPECT_EQ("フレームレートは 1 から 30 までの整数で入力してください。", refusal.message)
            << refusal.entered;
    }
    EXPECT_NE(0, result);
    EXPECT_EQ(30, rate);

    result = WithDialog(
        "フレームレート", [&] { return inputFrameRate(owner, &rate); },
        [&](HWND dialog) {
            Type(dialog, IDC_RATE, "24");
            Press(dialog, IDCANCEL);
        });
    EXPECT_EQ(0, result);
    EXPECT_EQ(30, rate);
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
    static std::string Row(HWND dialog, int n) {
        return Text(dialog, IDC_CHANNEL_BASE + n) + "|" + Text(dialog, IDC_NAME_BASE + n);
    }

    TempFolder folder;
    std::string path = folder.File("NarvoTV.ini");
    // Presets the editor cannot show as fields it would write: a name beyond
    // 128 bytes (1), channels out of range (3, 4) and not a number (8).
    const std::string longName = std::string(150, 'a') + "ＡＢＣ" + std::string(44, 'z');
    const std::string original =
        "[TVTuner]\r\nSelectChannel=4\r\n[Preset Channel]\r\nCH1=5\r\nNAME1=" + longName +
        "\r\nCH3=-1\r\nNAME3=stale\r\nCH4=70\r\nNAME4=far\r\nCH8=abc\r\nNAME8=Station\r\n"
        "CH9=12\r\nNAME9=ＮＨＫ\r\n";
};

TEST_F(PresetDialogTest, ShowsWhatTheFileHoldsAndOkWithoutEditsWritesNothing) {
    WriteWholeFile(path, original);
    std::vector<std::string> shown;
    std::string note;
    const int result = Edit([&](HWND dialog) {
        for (int n : {1, 2, 3, 4, 8, 9}) {
            shown.push_back(Row(dialog, n));
        }
        note = Text(dialog, IDC_MESSAGE);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(
        (std::vector<std::string>{"5|" + longName, "|", "-1|stale", "70|far", "abc|Station", "12|ＮＨＫ"}),
        shown);
    EXPECT_EQ("プリセット 1, 3, 4, 8 はチャンネルか名前がこの画面で扱える範囲を超えています。"
              "行を編集しない限りそのまま残します。",
              note);
    EXPECT_NE(0, result);
    EXPECT_EQ(original, ReadWholeFile(path));
}

TEST_F(PresetDialogTest, OkWritesOnlyTheRowsTheUserChanged) {
    WriteWholeFile(path, original);
    struct Refusal {
        int field;
        const char* typed;
        const char* restored; // the row as shown again
        std::string message;
    } refusals[] = {
        {IDC_CHANNEL_BASE + 6, "63", "",
         "プリセット 6 のチャンネルは 1 から 62 までの数字で入力してください (空欄で未定義)。"},
        {IDC_CHANNEL_BASE + 6, "0", "",
         "プリセット 6 のチャンネルは 1 から 62 までの数字で入力してください (空欄で未定義)。"},
        {IDC_CHANNEL_BASE + 1, "7", "5", "プリセット 1 の名前が長すぎます (128 バイトまで)。"},
        {IDC_NAME_BASE + 8, "Station 2", "Station",
         "プリセット 8 のチャンネルは 1 から 62 までの数字で入力してください (空欄で未定義)。"},
    };
    std::vector<std::string> seen;
    std::vector<std::string> fileWhileRefused;
    const int result = Edit([&](HWND dialog) {
        for (const Refusal& refusal : refusals) {
            Type(dialog, refusal.field, refusal.typed);
            Press(dialog, IDOK);
            seen.push_back(IsWindow(dialog) ? Text(dialog, IDC_MESSAGE) : "closed");
            fileWhileRefused.push_back(ReadWholeFile(path));
            Type(dialog, refusal.field, refusal.restored);
        }
        // Another editor saves a preset meanwhile; this one never showed it.
        WritePrivateProfileStringA("Preset Channel", "CH10", "20", path.c_str());
        WritePrivateProfileStringA("Preset Channel", "NAME10", "other", path.c_str());
        Type(dialog, IDC_CHANNEL_BASE + 2, "62");
        Type(dialog, IDC_NAME_BASE + 2, "テレビ東京");
        Type(dialog, IDC_CHANNEL_BASE + 9, "");
        Type(dialog, IDC_CHANNEL_BASE + 15, "1");
        Press(dialog, IDOK);
    });
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(refusals[i].message, seen[i]) << refusals[i].typed;
        EXPECT_EQ(original, fileWhileRefused[i]) << "nothing is written while a field is refused";
    }
    EXPECT_NE(0, result);
    EXPECT_EQ("[TVTuner]\r\nSelectChannel=4\r\n[Preset Channel]\r\nCH1=5\r\nNAME1=" + longName +
                  "\r\nCH3=-1\r\nNAME3=stale\r\nCH4=70\r\nNAME4=far\r\nCH8=abc\r\nNAME8=Station\r\n"
                  "CH10=20\r\nNAME10=other\r\nCH2=62\r\nNAME2=テレビ東京\r\nCH15=1\r\nNAME15=\r\n",
              ReadWholeFile(path));
}

TEST_F(PresetDialogTest, ARefusedSaveKeepsTheEditorOpenAndCancelStillReportsIt) {
    WriteWholeFile(path, original);
    // Another program holds the file: it can be read but not written.
    HANDLE held =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    std::string refusal;
    const int result = Edit([&](HWND dialog) {
        Type(dialog, IDC_CHANNEL_BASE + 2, "33");
        Press(dialog, IDOK);
        refusal = IsWindow(dialog) ? Text(dialog, IDC_MESSAGE) : "closed";
        Press(dialog, IDCANCEL);
    });
    CloseHandle(held);
    EXPECT_EQ("設定ファイルに書き込めませんでした。", refusal);
    EXPECT_NE(0, result) << "the viewer reads the presets again after a save that may have been partial";
    EXPECT_EQ(original, ReadWholeFile(path));
}

TEST_F(PresetDialogTest, CancelWritesNothing) {
    WriteWholeFile(path, original);
    const int result = Edit([&](HWND dialog) {
        Type(dialog, IDC_CHANNEL_BASE + 4, "7");
        Type(dialog, IDC_NAME_BASE + 2, "new");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
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
