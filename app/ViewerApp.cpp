#include "app/ViewerApp.h"

#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "ui/ViewerWnd.h"

#include <memory>

BEGIN_MESSAGE_MAP(ViewerApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

// The help file is the executable's name with ".chm", beside it.
ViewerApp::ViewerApp() : CWinApp(nullptr, ".chm") {}

BOOL ViewerApp::InitInstance() {
    Enable3dControlsStatic();
    if (!captureSession.Initialize()) {
        return FALSE;
    }
    auto window = std::make_unique<ViewerWnd>();
    // Without a window nothing could ever end the message loop.
    if (!window->CreateViewer(&viewerWnd)) {
        return FALSE;
    }
    // A created window deletes itself when it is destroyed.
    m_pMainWnd = window.release();
    return TRUE;
}

int ViewerApp::ExitInstance() {
    captureSession.Shutdown();
    return CWinApp::ExitInstance();
}
