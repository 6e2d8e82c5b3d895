#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kAppCommand = 555;

class LoopApp : public CWinApp {
public:
    BOOL InitInstance() override {
        if (!window.CreateEx(0, AfxRegisterWndClass(0), "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr)) {
            return FALSE;
        }
        m_pMainWnd = &window;
        window.PostMessage(WM_COMMAND, MAKEWPARAM(kAppCommand, 0));
        window.PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override {
        ++exitCalls;
        mainWndAtExit = m_pMainWnd;
        return CWinApp::ExitInstance() + 5;
    }
    void OnAppCommand() { ++appCommands; }

    CWnd window;
    int exitCalls = 0;
    int appCommands = 0;
    CWnd* mainWndAtExit = reinterpret_cast<CWnd*>(1);

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(LoopApp, CWinApp)
ON_COMMAND(kAppCommand, OnAppCommand)
ON_COMMAND(ID_HELP, CWinApp::OnHelp) // a base's handler, as the viewer maps it
END_MESSAGE_MAP()

bool TakeQuit() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(MessageLoopTest, ClosingTheMainWindowEndsTheLoopThenExitInstanceRuns) {
    LoopApp app;
    EXPECT_EQ(5, AfxWinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOW));
    EXPECT_EQ(1, app.exitCalls);
    EXPECT_EQ(nullptr, app.mainWndAtExit);
    EXPECT_EQ(nullptr, app.window.m_hWnd);
    EXPECT_EQ(1, app.appCommands) << "the main window passes on commands it does not handle";
}

TEST(MessageLoopTest, OnlyTheMainWindowsEndPostsQuit) {
    CWinApp app;
    CWnd main;
    CWnd other;
    ASSERT_TRUE(main.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = &main;

    other.DestroyWindow();
    EXPECT_FALSE(TakeQuit());
    EXPECT_EQ(&main, app.m_pMainWnd);

    main.DestroyWindow();
    EXPECT_TRUE(TakeQuit());
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(nullptr, main.m_hWnd);
}

TEST(MessageLoopTest, OtherWindowsDoNotPassCommandsToTheApplication) {
    LoopApp app;
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    other.SendMessage(WM_COMMAND, MAKEWPARAM(kAppCommand, 0));
    EXPECT_EQ(0, app.appCommands);
}

} // namespace
