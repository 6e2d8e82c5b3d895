#include "app/ViewerApp.h"

#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "ui/ViewerWnd.h"

#include <cstring>

BEGIN_MESSAGE_MAP(ViewerApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

ViewerApp::ViewerApp() : CWinApp(nullptr) {}

BOOL ViewerApp::InitInstance() {
    Enable3dControlsStatic();
    // The help file is the executable's name with ".chm", beside it.
    char* helpPath = const_cast<char*>(m_pszHelpFilePath);
    if (char* dot = helpPath ? strrchr(helpPath, '.') : nullptr) {
        if (strlen(dot) >= 4) {
            memcpy(dot, ".chm", 4);
        }
    }
    if (!captureSession.Initialize()) {
        return FALSE;
    }
    ViewerWnd* window = new ViewerWnd;
    if (!window->CreateViewer(&viewerWnd)) {
        // Without a window nothing could ever end the message loop.
        delete window;
        return FALSE;
    }
    m_pMainWnd = window;
    return TRUE;
}

int ViewerApp::ExitInstance() {
    captureSession.Shutdown();
    return CWinApp::ExitInstance();
}
