#pragma once

#include <windows.h>

class CWnd;

// The application object's base: one per process, constructed as a global.
class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const char* m_pszAppName = nullptr;
    const char* m_pszHelpFilePath = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

// The application object, or null when none has been constructed.
CWinApp* AfxGetApp();
// The application's main window, or null.
CWnd* AfxGetMainWnd();
// The application's name: the executable's file name without its extension
// unless the application object was given one.
const char* AfxGetAppName();
