#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string ModulePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class RecordingApp : public CWinApp {
public:
    using CWinApp::CWinApp;

    BOOL InitInstance() override {
        ++initCalls;
        nameAtInit = m_pszAppName ? m_pszAppName : "(null)";
        helpAtInit = m_pszHelpFilePath ? m_pszHelpFilePath : "(null)";
        // A message left in the queue shows whether a loop ran afterwards.
        PostThreadMessageA(GetCurrentThreadId(), WM_APP + 7, 0, 0);
        return initResult;
    }
    int ExitInstance() override {
        ++exitCalls;
        return 42;
    }

    BOOL initResult = FALSE;
    int initCalls = 0;
    int exitCalls = 0;
    std::string nameAtInit;
    std::string helpAtInit;
};

TEST(WinAppTest, FailedInitInstanceExitsAtOnceWithExitInstanceResult) {
    RecordingApp app;
    EXPECT_EQ(42, AfxWinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOW));
    EXPECT_EQ(1, app.initCalls);
    EXPECT_EQ(1, app.exitCalls);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE)) << "a message loop ran";
}

TEST(WinAppTest, NameAndHelpPathAreSetBeforeInitInstance) {
    RecordingApp app;
    AfxWinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
    EXPECT_EQ("framework_tests", app.nameAtInit);
    std::string expected = ModulePath();
    expected = expected.substr(0, expected.rfind('.')) + ".HLP";
    EXPECT_EQ(expected, app.helpAtInit);
    EXPECT_STREQ("framework_tests", AfxGetAppName());
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE);
}

TEST(WinAppTest, GivenNameAndHelpExtensionAreUsed) {
    RecordingApp app("viewer", ".chm");
    AfxWinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
    EXPECT_EQ("viewer", app.nameAtInit);
    EXPECT_STREQ("viewer", AfxGetAppName());
    std::string expected = ModulePath();
    expected = expected.substr(0, expected.rfind('.')) + ".chm";
    EXPECT_EQ(expected, app.helpAtInit);
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE);
}

TEST(WinAppTest, TheApplicationObjectIsFoundWhileItLives) {
    EXPECT_EQ(nullptr, AfxGetApp());
    EXPECT_STREQ("framework_tests", AfxGetAppName());
    {
        CWinApp app;
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_EQ(nullptr, AfxGetMainWnd());
    }
    EXPECT_EQ(nullptr, AfxGetApp());
}

TEST(ExtensionRule, ExtensionOfTheFileNameIsReplaced) {
    char path[MAX_PATH] = "C:\\Program Files\\NarvoTV\\NarvoTV.exe";
    AfxReplaceExtension(path, ".ini");
    EXPECT_STREQ("C:\\Program Files\\NarvoTV\\NarvoTV.ini", path);
}

TEST(ExtensionRule, PathWithoutExtensionGetsOneAppended) {
    char plain[MAX_PATH] = "C:\\tools\\viewer";
    AfxReplaceExtension(plain, ".ini");
    EXPECT_STREQ("C:\\tools\\viewer.ini", plain);

    // A dot in a folder name is not the file's extension.
    char dotted[MAX_PATH] = "C:\\my.tools\\viewer";
    AfxReplaceExtension(dotted, ".ini");
    EXPECT_STREQ("C:\\my.tools\\viewer.ini", dotted);
}

TEST(ExtensionRule, LongestPathStaysInsideTheBufferAndDiffers) {
    char path[MAX_PATH];
    memset(path, 'a', sizeof path);
    path[MAX_PATH - 1] = '\0';
    const std::string original = path;
    AfxReplaceExtension(path, ".ini");
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), strlen(path));
    EXPECT_NE(original, path);
    EXPECT_STREQ(".ini", path + MAX_PATH - 5);
}

TEST(RegisterWndClassTest, SameArgumentsGiveTheSameClassOthersANewOne) {
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); // IDI_APPLICATION
    const char* first = AfxRegisterWndClass(0, nullptr, nullptr, icon);
    ASSERT_NE(nullptr, first);
    const char* again = AfxRegisterWndClass(0, nullptr, nullptr, icon);
    EXPECT_STREQ(first, again);
    const char* other = AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, icon);
    ASSERT_NE(nullptr, other);
    EXPECT_STRNE(first, other);
    EXPECT_STRNE(first, AfxRegisterWndClass(0));

    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), first, &wc));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(AfxWndProc), wc.lpfnWndProc);
    EXPECT_EQ(icon, wc.hIcon);
    EXPECT_EQ(0u, wc.style);
    EXPECT_EQ(nullptr, wc.hbrBackground);
}

} // namespace
