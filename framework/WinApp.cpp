#include "framework/WinApp.h"

#include "framework/Wnd.h"

#include <cstring>

namespace {

CWinApp* currentApp = nullptr;

// The executable's file name without its extension, computed once.
const char* ModuleBaseName() {
    static char name[MAX_PATH] = {};
    if (name[0] == '\0') {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        path[MAX_PATH - 1] = '\0';
        const char* fileName = path;
        for (const char* p = path; *p; ++p) {
            if (*p == '\\' || *p == '/') {
                fileName = p + 1;
            }
        }
        lstrcpynA(name, fileName, MAX_PATH);
        if (char* dot = strrchr(name, '.')) {
            *dot = '\0';
        }
    }
    return name;
}

} // namespace

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
    return 0;
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
