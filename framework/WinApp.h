#pragma once

#include "framework/CmdTarget.h"

#include <windows.h>

class CWnd;

#ifndef ID_HELP
#define ID_HELP 0xE146 // the framework's standard help command
#endif

// The application object's base: one per process, constructed as a global.
// Construction only registers the object; AfxWinMain does the rest.
class CWinApp : public CCmdTarget {
public:
    // helpExtension names the help file beside the executable; it must outlive the object.
    explicit CWinApp(const char* appName = nullptr, const char* helpExtension = ".HLP");
    ~CWinApp() override;

    // Called once by AfxWinMain after the name and help path are set; FALSE
    // ends the instance at once (ExitInstance, no message loop).
    virtual BOOL InitInstance();
    // Called once, after the message loop or right after a failed InitInstance;
    // its result is the process's exit code. By default the WM_QUIT code that
    // ended the loop, 0 when no loop ran.
    virtual int ExitInstance();
    // The message loop until WM_QUIT, then ExitInstance's result.
    int Run();

    // Kept for the call; there is nothing to enable.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Opens the help file (m_pszHelpFilePath).
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    // The executable's file name without extension unless given at construction.
    const char* m_pszAppName = nullptr;
    // The executable's full path with the help extension given at construction.
    const char* m_pszHelpFilePath = nullptr;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
    void SetNamesFromModule();

    const char* helpExtension;
    char appNameBuffer[MAX_PATH] = {};
    char helpPathBuffer[MAX_PATH] = {};
    int quitCode = 0;
};

// The entry point's work: names, InitInstance, the message loop, ExitInstance.
// Returns the process's exit code; -1 when no application object exists.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The application object, or null when none has been constructed.
CWinApp* AfxGetApp();
// The application's main window, or null.
CWnd* AfxGetMainWnd();
// The application's name: the executable's file name without its extension
// unless the application object was given one.
const char* AfxGetAppName();
// The file name of `path` without its extension, into `title` (size bytes).
void AfxGetFileTitle(const char* path, char* title, size_t size);
// Replaces the extension of the file name in path (MAX_PATH bytes) by
// extension, or appends it when the file name has none. The result always
// fits and differs from the original, cut before a character that would not fit whole.
void AfxReplaceExtension(char* path, const char* extension);
// The path of module (null for the executable) with its extension replaced,
// into path (MAX_PATH bytes): the files that belong beside it.
void AfxGetModulePathWithExtension(HMODULE module, const char* extension, char* path);
// The module whose resources the program uses: the executable.
HINSTANCE AfxGetInstanceHandle();
