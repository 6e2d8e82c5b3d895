#pragma once

#include "framework/WinApp.h"

class ViewerWnd;

// The application object: starts the capture session and the viewer window,
// and shuts the session down however the instance ends.
class ViewerApp : public CWinApp {
public:
    ViewerApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The live viewer window; the window sets and clears this itself.
    ViewerWnd* viewerWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern ViewerApp theApp;
