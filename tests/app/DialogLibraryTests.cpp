// The bridge to the dialog library, against the test copies of the library:
// what each export is given, how its answer is read, and what the user sees
// when the library or an export is missing.
#include "app/DialogLibrary.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/ViewerApp.h"
#include "framework/Wnd.h"
#include "tests/app/FakeDialogs.h"
#include "tests/support/MessageBoxCatcher.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const HWND Viewer = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x30c4a));

class DialogLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(boxes.Installed());
        mainWindow.m_hWnd = Viewer;
        theApp.m_pMainWnd = &mainWindow;
    }
    void TearDown() override {
        theApp.m_pMainWnd = nullptr;
        mainWindow.m_hWnd = nullptr;
    }

    CWnd mainWindow;
    MessageBoxCatcher boxes;
};

// Each operation with the integer it is given (only the frame rate has one).
struct Operation {
    const char* exportName;
    std::function<bool(int*)> call;
    bool givesPath;
};

const Operation Operations[] = {
    {"VersionInfo", [](int*) { return DialogLibrary::ShowVersionInfo(); }, true},
    {"InputFrameRate", [](int* rate) { return DialogLibrary::AskFrameRate(rate); }, false},
    {"SetupPresetChannel", [](int*) { return DialogLibrary::EditPresetChannels(); }, true},
};

TEST_F(DialogLibraryTest, EachExportGetsTheMainWindowAndItsArgumentAndAnyNonzeroAnswerIsTrue) {
    FakeDialogs library(FakeDialogs::Copy::WithExports);
    ASSERT_TRUE(library.Loaded());
    for (const Operation& operation : Operations) {
        for (const int answer : {0, 1, -7}) {
            SCOPED_TRACE(std::string(operation.exportName) + " answering " + std::to_string(answer));
            library.Script(answer, 24);
            int rate = 15;
            EXPECT_EQ(answer != 0, operation.call(&rate));
            const std::vector<FakeDialogCall> calls = library.Calls();
            ASSERT_EQ(1u, calls.size());
            EXPECT_STREQ(operation.exportName, calls[0].exportName);
            EXPECT_EQ(Viewer, calls[0].owner);
            EXPECT_STREQ(operation.givesPath ? settingsFile.Path() : "", calls[0].path);
            if (!operation.givesPath) {
                EXPECT_EQ(15, calls[0].rateIn);
                EXPECT_EQ(24, rate) << "the integer comes back as the library left it";
            }
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DialogLibraryTest, WithoutAMainWindowTheOwnerIsNone) {
    theApp.m_pMainWnd = nullptr;
    FakeDialogs library(FakeDialogs::Copy::WithExports);
    DialogLibrary::ShowVersionInfo();
    ASSERT_EQ(1u, library.Calls().size());
    EXPECT_EQ(nullptr, library.Calls()[0].owner);
}

TEST_F(DialogLibraryTest, TheLibraryIsLoadedForTheCallOnly) {
    FakeDialogs library(FakeDialogs::Copy::WithExports);
    library.LetGo();
    ASSERT_EQ(nullptr, GetModuleHandleA("RADO_DU.DLL"));
    for (const Operation& operation : Operations) {
        int rate = 15;
        EXPECT_TRUE(operation.call(&rate)) << operation.exportName << " reached the copy's default answer";
        EXPECT_EQ(nullptr, GetModuleHandleA("RADO_DU.DLL")) << operation.exportName;
    }
}

TEST_F(DialogLibraryTest, AMissingLibraryIsToldOncePerCallAndChangesNothing) {
    FakeDialogs library(FakeDialogs::Copy::None);
    for (const Operation& operation : Operations) {
        SCOPED_TRACE(operation.exportName);
        const size_t before = boxes.Boxes().size();
        int rate = 15;
        EXPECT_FALSE(operation.call(&rate));
        EXPECT_EQ(15, rate);
        ASSERT_EQ(before + 1, boxes.Boxes().size());
        const MessageBoxCatcher::Box& box = boxes.Boxes().back();
        EXPECT_EQ("必要なファイルが見つかりません", box.text);
        EXPECT_EQ(std::string(AfxGetAppName()), box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), box.type);
        EXPECT_EQ(Viewer, box.owner);
    }
}

TEST_F(DialogLibraryTest, AMissingExportIsSilentAndChangesNothing) {
    FakeDialogs library(FakeDialogs::Copy::WithoutExports);
    for (const Operation& operation : Operations) {
        int rate = 15;
        EXPECT_FALSE(operation.call(&rate)) << operation.exportName;
        EXPECT_EQ(15, rate);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(nullptr, GetModuleHandleA("RADO_DU.DLL")) << "let go of after a failed lookup too";
}

} // namespace
