#include "framework/WinApp.h"

#include "framework/HtmlHelp.h"
#include "framework/Wnd.h"

#include <htmlhelp.h>

#include <cstring>

namespace {

CWinApp* currentApp = nullptr;

// The file name part of a path, walked by characters: 0x5C is also the
// second byte of many double-byte characters (ソ, 表, 能).
const char* FileNameOf(const char* path) {
    const char* fileName = path;
    for (const char* p = path; *p; p = CharNextA(p)) {
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

const char* ModuleBaseName() {
    static char name[MAX_PATH] = {};
    if (name[0] == '\0') {
        char path[MAX_PATH];
        ModulePath(nullptr, path);
        AfxGetFileTitle(path, name, sizeof name);
    }
    return name;
}

} // namespace

void AfxGetFileTitle(const char* path, char* title, size_t size) {
    lstrcpynA(title, FileNameOf(path), static_cast<int>(size));
    if (char* dot = strrchr(title, '.')) {
        *dot = '\0';
    }
}

void AfxReplaceExtension(char* path, const char* extension) {
    const size_t extensionLength = strlen(extension);
    const size_t length = strnlen(path, MAX_PATH - 1);
    path[length] = '\0';

    // Only a dot in the file name starts an extension, not one in a folder name.
    const char* dot = strrchr(FileNameOf(path), '.');
    size_t cut = dot ? static_cast<size_t>(dot - path) : length;
    // Keep the result inside the buffer and still different from the original,
    // cut before the character that would not fit whole.
    const size_t room = MAX_PATH - 1 - extensionLength;
    if (cut > room) {
        const char* p = path;
        while (*p && static_cast<size_t>(CharNextA(p) - path) <= room) {
            p = CharNextA(p);
        }
        cut = static_cast<size_t>(p - path);
    }
    memcpy(path + cut, extension, extensionLength + 1);
}

void AfxGetModulePathWithExtension(HMODULE module, const char* extension, char* path) {
    char modulePath[MAX_PATH];
    ModulePath(module, modulePath);
    AfxReplaceExtension(modulePath, extension);
    lstrcpynA(path, modulePath, MAX_PATH);
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName, const char* helpExtension)
    : m_pszAppName(appName), helpExtension(helpExtension) {
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
        AfxGetFileTitle(path, appNameBuffer, sizeof appNameBuffer);
        m_pszAppName = appNameBuffer;
    }
    lstrcpynA(helpPathBuffer, path, MAX_PATH);
    AfxReplaceExtension(helpPathBuffer, helpExtension);
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
