#include "framework/Wnd.h"

#include "framework/WinApp.h"

#include <cstdio>
#include <set>
#include <string>
#include <unordered_map>

namespace {

// Never destroyed: global window objects may still look themselves up while
// the process's static objects are torn down.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static auto* map = new std::unordered_map<HWND, CWnd*>;
    return *map;
}

// The message being dispatched, for Default().
struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMessage currentMessage = {};

// The object CreateEx is creating a window for, until the platform names the handle.
struct Creation {
    CWnd* pending;
    HWND created;
};
thread_local Creation creation = {};

} // namespace

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd && FromHandle(m_hWnd) == this) {
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd && FromHandle(m_hWnd) == this) {
        Detach();
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    auto& map = HandleMap();
    auto found = map.find(hwnd);
    return found == map.end() ? nullptr : found->second;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (m_hWnd || !hwnd || FromHandle(hwnd)) {
        return FALSE;
    }
    HandleMap()[hwnd] = this;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd && FromHandle(hwnd) == this) {
        HandleMap().erase(hwnd);
    }
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && creation.pending) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        CWnd* wnd = creation.pending;
        creation.pending = nullptr;
        if (wnd->Attach(hwnd)) {
            creation.created = hwnd;
            auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
            if (proc != AfxWndProc) {
                wnd->superProc = proc;
                SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int cx, int cy, HWND parent, HMENU idOrMenu, void* param) {
    if (m_hWnd) {
        return FALSE;
    }
    // Windows created inside this one's creation messages install their own hook.
    const Creation outer = creation;
    creation = {this, nullptr};
    HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    if (!hook) {
        creation = outer;
        return FALSE;
    }
    HWND hwnd = CreateWindowExA(exStyle, className, windowName, style, x, y, cx, cy, parent, idOrMenu,
                                AfxGetInstanceHandle(), param);
    UnhookWindowsHookEx(hook);
    const HWND created = creation.created;
    creation = outer;
    if (hwnd) {
        return TRUE;
    }
    // A window refused during creation has had its WM_NCDESTROY, which detached
    // the object and may have deleted it: touch it only while still attached.
    if (created && FromHandle(created) == this) {
        Detach();
        superProc = nullptr;
    }
    return FALSE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandle(hwnd);
    if (!wnd) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    const CurrentMessage outer = currentMessage;
    currentMessage = {hwnd, message, wParam, lParam};
    // The object may be gone when this returns (a window that deletes itself).
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    currentMessage = outer;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            return 0;
        }
    } else if (const MessageMapEntry* entry = FindMessageEntry(message)) {
        return entry->handler(this, wParam, lParam);
    }
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    // Menus (0) and accelerators (1) are both plain commands; a control keeps its code.
    const UINT code = lParam ? HIWORD(wParam) : 0;
    if (OnCmdMsg(id, code)) {
        return true;
    }
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd == this && app->OnCmdMsg(id, code);
}

LRESULT CWnd::Default() {
    return DefWindowProc(currentMessage.message, currentMessage.wParam, currentMessage.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (superProc) {
        return CallWindowProcA(superProc, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::OnNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        PostQuitMessage(0);
        app->m_pMainWnd = nullptr;
    }
    Default();
    if (superProc) {
        // Give the window back to its class's procedure for whatever follows.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == AfxWndProc) {
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc));
        }
        superProc = nullptr;
    }
    Detach();
    PostNcDestroy();
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

BOOL CWnd::ShowWindow(int command) {
    return ::ShowWindow(m_hWnd, command);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}

void CWnd::ClientToScreen(LPPOINT point) const {
    ::ClientToScreen(m_hWnd, point);
}

void CWnd::ClientToScreen(LPRECT rect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rect->right));
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
    placement->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, placement);
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement) {
    WINDOWPLACEMENT copy = *placement;
    copy.length = sizeof(WINDOWPLACEMENT);
    return ::SetWindowPlacement(m_hWnd, &copy);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::IsZoomed() const {
    return ::IsZoomed(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE));
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    HINSTANCE instance = AfxGetInstanceHandle();
    char name[128];
    snprintf(name, sizeof name, "NarvoWnd:%p:%x:%p:%p:%p", static_cast<void*>(instance), classStyle,
             static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));

    // The names handed out, kept for the process's life (never destroyed, as above).
    static auto* names = new std::set<std::string>;
    auto known = names->find(name);
    if (known != names->end()) {
        return known->c_str();
    }
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, name, &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        if (!RegisterClassA(&wc)) {
            return nullptr;
        }
    }
    return names->insert(name).first->c_str();
}
