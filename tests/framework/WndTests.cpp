#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kBaseCommand = 10;
constexpr UINT kSharedCommand = 11;

// A base window class with its own table, to check that tables chain.
class BaseWnd : public CWnd {
public:
    std::vector<std::string> calls;

protected:
    void OnClose() {
        calls.push_back("base close");
        CWnd::OnClose();
    }
    void OnBaseCommand() { calls.push_back("base command"); }
    void OnSharedCommand() { calls.push_back("base shared"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_WM_CLOSE()
ON_COMMAND(kBaseCommand, OnBaseCommand)
ON_COMMAND(kSharedCommand, OnSharedCommand)
END_MESSAGE_MAP()

class TestWnd : public BaseWnd {
public:
    bool Create(DWORD style = WS_OVERLAPPEDWINDOW, void* param = nullptr) {
        return CreateEx(0, AfxRegisterWndClass(0), "test", style, 10, 20, 300, 200, nullptr, nullptr, param);
    }

    UINT sizeType = 0;
    int sizeCx = -1, sizeCy = -1;
    UINT buttonFlags = 0;
    CPoint buttonPoint;
    std::string button;
    HDC eraseDc = nullptr;
    std::vector<UINT> rangeIds;
    int forcedHeight = 0;
    LPARAM nccreateParam = 0;
    bool mappedAtNcCreate = false;
    std::vector<UINT> messages;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    LRESULT OnNcCreateMessage(WPARAM, LPARAM lParam) {
        mappedAtNcCreate = m_hWnd && FromHandle(m_hWnd) == this;
        nccreateParam = reinterpret_cast<LPARAM>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        return Default();
    }
    void OnSize(UINT type, int cx, int cy) {
        sizeType = type;
        sizeCx = cx;
        sizeCy = cy;
    }
    void OnLButtonDown(UINT flags, CPoint point) {
        button = "left";
        buttonFlags = flags;
        buttonPoint = point;
    }
    void OnRButtonDown(UINT flags, CPoint point) {
        button = "right";
        buttonFlags = flags;
        buttonPoint = point;
    }
    BOOL OnEraseBkgnd(CDC* dc) {
        eraseDc = dc->GetSafeHdc();
        return 77;
    }
    void OnWindowPosChanging(WINDOWPOS* pos) {
        CWnd::OnWindowPosChanging(pos);
        if (forcedHeight && !(pos->flags & SWP_NOSIZE)) {
            pos->cy = forcedHeight;
        }
    }
    void OnSharedCommand() { calls.push_back("derived shared"); }
    void OnRange(UINT id) { rangeIds.push_back(id); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestWnd, BaseWnd)
ON_MESSAGE(WM_NCCREATE, OnNcCreateMessage)
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_ERASEBKGND()
ON_WM_WINDOWPOSCHANGING()
ON_COMMAND(kSharedCommand, OnSharedCommand)
ON_COMMAND_RANGE(700, 799, OnRange)
END_MESSAGE_MAP()

// A window that owns itself, as the viewer window does.
class SelfDeletingWnd : public CWnd {
public:
    explicit SelfDeletingWnd(SelfDeletingWnd** slot) : slot(slot) {}

protected:
    void OnNcDestroy() {
        CWnd::OnNcDestroy();
        *slot = nullptr;
        delete this;
    }
    DECLARE_MESSAGE_MAP()

private:
    SelfDeletingWnd** slot;
};

BEGIN_MESSAGE_MAP(SelfDeletingWnd, CWnd)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

int Count(const std::vector<UINT>& messages, UINT message) {
    int n = 0;
    for (UINT m : messages) {
        n += m == message;
    }
    return n;
}

TEST(CWndTest, ObjectReceivesTheCreationMessagesFromTheFirstOn) {
    TestWnd wnd;
    int param = 0;
    ASSERT_TRUE(wnd.Create(WS_OVERLAPPEDWINDOW, &param));
    EXPECT_TRUE(wnd.mappedAtNcCreate);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&param), wnd.nccreateParam);
    EXPECT_EQ(&wnd, CWnd::FromHandle(wnd.m_hWnd));
    ASSERT_FALSE(wnd.messages.empty());
    // An overlapped window with a sizing frame is asked its limits before WM_NCCREATE.
    EXPECT_EQ(static_cast<UINT>(WM_GETMINMAXINFO), wnd.messages.front());
    EXPECT_EQ(1, Count(wnd.messages, WM_NCCREATE));
    EXPECT_EQ(1, Count(wnd.messages, WM_CREATE));
}

TEST(CWndTest, MessagesReachTheirHandlersWithUnpackedArguments) {
    TestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
    EXPECT_EQ(static_cast<UINT>(SIZE_MAXIMIZED), wnd.sizeType);
    EXPECT_EQ(640, wnd.sizeCx);
    EXPECT_EQ(480, wnd.sizeCy);

    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, 7));
    EXPECT_EQ("left", wnd.button);
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON | MK_SHIFT), wnd.buttonFlags);
    EXPECT_EQ(CPoint(-5, 7), wnd.buttonPoint);
    wnd.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(12, -3));
    EXPECT_EQ("right", wnd.button);
    EXPECT_EQ(CPoint(12, -3), wnd.buttonPoint);

    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(77, wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)));
    EXPECT_EQ(dc, wnd.eraseDc);
    DeleteDC(dc);
}

TEST(CWndTest, WindowPosChangingHandlerChangesTheRealMove) {
    TestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.forcedHeight = 150;
    wnd.SetWindowPos(nullptr, 30, 40, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect;
    wnd.GetWindowRect(rect);
    EXPECT_EQ(CRect(30, 40, 430, 190).left, rect.left);
    EXPECT_EQ(400, rect.Width());
    EXPECT_EQ(150, rect.Height());
}

TEST(CWndTest, CommandsGoToTheMostDerivedHandlerThenTheBaseTable) {
    TestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kSharedCommand, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kBaseCommand, 1)); // from an accelerator
    EXPECT_EQ((std::vector<std::string>{"derived shared", "base command"}), wnd.calls);

    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(701, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(799, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(700, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(800, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(699, 0));
    EXPECT_EQ((std::vector<UINT>{701, 799, 700}), wnd.rangeIds);

    // A control's notification other than a click is no command.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kBaseCommand, EN_CHANGE), reinterpret_cast<LPARAM>(wnd.m_hWnd));
    EXPECT_EQ(2u, wnd.calls.size());
}

TEST(CWndTest, UnhandledMessagesAndDefaultGetDefaultProcessing) {
    TestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("caption"));
    char text[32] = {};
    GetWindowTextA(wnd.m_hWnd, text, sizeof text);
    EXPECT_STREQ("caption", text);

    // The base's OnClose records and then asks for default processing: destruction.
    HWND hwnd = wnd.m_hWnd;
    wnd.SendMessage(WM_CLOSE);
    EXPECT_EQ(std::vector<std::string>{"base close"}, wnd.calls);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
}

TEST(CWndTest, WindowOfAnotherClassIsSubclassedAndDefaultReachesItsProcedure) {
    CWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, "EDIT", "", WS_POPUP, CRect(0, 0, 100, 20), nullptr, 0));
    EXPECT_EQ(&edit, CWnd::FromHandle(edit.m_hWnd));
    // Only the edit control's own procedure answers this.
    EXPECT_NE(0, edit.SendMessage(EM_GETLIMITTEXT));
    HWND hwnd = edit.m_hWnd;
    EXPECT_TRUE(edit.DestroyWindow());
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
}

TEST(CWndTest, RectangleFormGivesPositionAndSize) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "r", WS_POPUP, CRect(50, 60, 320, 240), nullptr, 0));
    CRect rect;
    wnd.GetWindowRect(rect);
    EXPECT_EQ(50, rect.left);
    EXPECT_EQ(60, rect.top);
    EXPECT_EQ(270, rect.Width());
    EXPECT_EQ(180, rect.Height());
    EXPECT_FALSE(wnd.CreateEx(0, AfxRegisterWndClass(0), "twice", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
}

TEST(CWndTest, FailedCreationLeavesTheObjectUnattached) {
    CWnd wnd;
    EXPECT_FALSE(wnd.CreateEx(0, "NoSuchClassHere", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    // The hook is gone: a later plain window is not taken by this object.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, CWnd::FromHandle(plain));
    DestroyWindow(plain);
}

TEST(CWndTest, TopMostInsertAfterValues) {
    TestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOPMOST);
    wnd.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_FALSE(wnd.GetExStyle() & WS_EX_TOPMOST);
}

TEST(CWndTest, SelfDeletingWindowIsGoneAfterDestruction) {
    SelfDeletingWnd* wnd = nullptr;
    wnd = new SelfDeletingWnd(&wnd);
    ASSERT_TRUE(wnd->CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = wnd->m_hWnd;
    DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, wnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
}

} // namespace
