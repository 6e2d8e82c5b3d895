#pragma once

#include <windows.h>
#include <dshow.h>

// Makes the preview renderer's window a child of the viewer window.
class VideoWindowControl {
public:
    VideoWindowControl() = default;
    VideoWindowControl(const VideoWindowControl&) = delete;
    VideoWindowControl& operator=(const VideoWindowControl&) = delete;

    bool Attach(ICaptureGraphBuilder* builder, IBaseFilter* captureFilter);
    // Hides the video, takes the owner away, then lets the renderer go.
    bool Detach();
    bool SetVisible(bool show);
    bool SetOwner(HWND owner);
    bool SetPosition(int left, int top, int width, int height);

    IVideoWindow* iface = nullptr;
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern VideoWindowControl videoWindowControl;
