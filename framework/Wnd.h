#pragma once

#include "framework/CmdTarget.h"
#include "framework/DC.h"
#include "framework/Geometry.h"

#include <windows.h>

// The window procedure of every class this framework registers: it finds the
// window's object from the handle and hands it the message.
LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The window base: one object per platform window, found from its handle.
//
// Messages reach the object from the first one the platform sends during
// creation to the last (WM_NCDESTROY), and go through the class's message
// table (DECLARE_MESSAGE_MAP / BEGIN_MESSAGE_MAP); what no table handles gets
// default processing. A handler can ask for default processing of the message
// it is handling with Default().
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Destroys a window that is still attached to this object.
    ~CWnd() override;

    // The object attached to `hwnd`, or null.
    static CWnd* FromHandle(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();

    // The platform's CreateWindowEx with this object attached from the first
    // message on; a class of another window procedure is subclassed, and
    // Default() then goes to that procedure.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                  int cx, int cy, HWND parent, HMENU idOrMenu, void* param = nullptr);
    // `rect` gives left, top and, as right - left and bottom - top, the size.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, void* param = nullptr);
    BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }

    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL ShowWindow(int command);
    void UpdateWindow();
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    BOOL IsWindowVisible() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;

    // Insert-after values for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    HWND m_hWnd = nullptr;

protected:
    // The message as it came: the table's handler, or default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();
    // Default processing of any message: the subclassed procedure, or the platform's.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY has detached the object; nothing by default.
    virtual void PostNcDestroy() {}

    // Command routing: this window's table, then the application's when this is
    // its main window. False when nobody handled it.
    bool OnCommand(WPARAM wParam, LPARAM lParam);

    // Handlers of the ON_WM_... rows. Each does the default processing; a derived
    // class maps the message and calls these where it wants that.
    void OnClose() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    // The main window's end ends the message loop (WM_QUIT) and clears the
    // application's main window; then the object is detached and PostNcDestroy
    // runs. After this returns the object is no longer attached to any window.
    void OnNcDestroy();

    DECLARE_MESSAGE_MAP()

private:
    explicit CWnd(HWND special) : m_hWnd(special) {}
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);

    // The class's own procedure when CreateEx subclassed the window.
    WNDPROC superProc = nullptr;
};

// Registers (once per distinct set of arguments) a window class served by
// AfxWndProc and returns its name, which stays valid for the process's life;
// null when the platform refuses it.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);
