#include "framework/WinApp.h"

#include "framework/HtmlHelp.h"
#include "framework/Wnd.h"

#include <htmlhelp.h>

#include <cstring>

namespace {

CWinApp* currentApp = nullptr;

// The file name part of a path.
const char* FileNameOf(const char* path) {
    const char* fileName = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/') {
            fileName = p + 1;
        }
    }
    return fileName;
}

void ModulePath(HMODULE module, char (&path)[MAX_PATH]) {
    path[0] = '\0';
    GetModuleFileNameA(module, path, MAX_PATH);
    path[MAX_PATH - 1] = '\0';
}

// `path`'s file name without its extension, into `out`.
void BaseNameOf(const char* path, char* out, size_t size) {
    lstrcpynA(out, FileNameOf(path), static_cast<int>(size));
    if (char* dot = strrchr(out, '.')) {
        *dot = '\0';
    }
}

const char* ModuleBaseName() {
    static char name[MAX_PATH] = {};
    if (name[0] == '\0') {
        char path[MAX_PATH];
        ModulePath(nullptr, path);
        BaseNameOf(path, name, sizeof name);
    }
    return name;
}

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    currentApp = this;
}

CWinApp::~CWinApp() {
    if (currentApp == this) {
        currentApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return quitCode;
}

void CWinApp::SetNamesFromModule() {
    char path[MAX_PATH];
    ModulePath(m_hInstance, path);
    if (!m_pszAppName) {
        BaseNameOf(path, appNameBuffer, sizeof appNameBuffer);
        m_pszAppName = appNameBuffer;
    }
    lstrcpynA(helpPathBuffer, path, MAX_PATH);
    char* dot = strrchr(helpPathBuffer, '.');
    if (!dot || dot < FileNameOf(helpPathBuffer)) {
        dot = helpPathBuffer + strlen(helpPathBuffer);
    }
    // The buffer has room for MAX_PATH - 1 characters plus the extension.
    memcpy(dot, ".HLP", sizeof ".HLP");
    m_pszHelpFilePath = helpPathBuffer;
}

int CWinApp::Run() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    quitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
    return ExitInstance();
}

void CWinApp::OnHelp() {
    if (m_pszHelpFilePath) {
        AfxHtmlHelp(nullptr, m_pszHelpFilePath, HH_DISPLAY_TOPIC, 0);
    }
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        return -1;
    }
    app->m_hInstance = instance ? instance : GetModuleHandleA(nullptr);
    app->SetNamesFromModule();
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

CWinApp* AfxGetApp() {
    return currentApp;
}

CWnd* AfxGetMainWnd() {
    return currentApp ? currentApp->m_pMainWnd : nullptr;
}

const char* AfxGetAppName() {
    if (currentApp && currentApp->m_pszAppName) {
        return currentApp->m_pszAppName;
    }
    return ModuleBaseName();
}

HINSTANCE AfxGetInstanceHandle() {
    if (currentApp && currentApp->m_hInstance) {
        return currentApp->m_hInstance;
    }
    return GetModuleHandleA(nullptr);
}
