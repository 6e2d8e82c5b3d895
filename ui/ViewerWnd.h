#pragma once

#include "framework/DC.h"
#include "framework/Geometry.h"
#include "framework/Wnd.h"

// The one top-level window: a place for the renderer to draw, sized to the
// capture format, dragged by its body, driven by its context menu. It deletes
// itself when its window is finally destroyed.
class ViewerWnd : public CWnd {
public:
    static constexpr char Title[] = "NARVO TV Viewer";

    ViewerWnd();
    ~ViewerWnd() override;

    // Creates the window at the stored position, starts the preview, fits the
    // window to the format and shows it. False when no window could be made.
    bool CreateViewer(ViewerWnd** mainWindowSlot);
    void FitToVideo();

protected:
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcDestroy();
    void OnRButtonDown(UINT flags, CPoint point);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnWindowPosChanging(WINDOWPOS* position);

    void OnKeepAspect();
    void OnTopMost();
    void OnQuit();

    // Context menu commands (ViewerCommands.cpp).
    void OnPreset(UINT id);
    void OnChannelSetup();
    void OnInputTuner();
    void OnInputVideo();
    void OnInputSVideo();
    void OnFormat(UINT id);
    void OnFrameRate30();
    void OnFrameRate15();
    void OnFrameRate5();
    void OnFrameRateCustom();
    void OnQualityHigh();
    void OnQualityMedium();
    void OnQualityLow();
    void OnPictureAdjust();
    void OnAudioMute();
    void OnAudioCard();
    void OnAudioDevice(UINT id);
    void OnHelpContents();
    void OnVersionInfo();

    DECLARE_MESSAGE_MAP()

private:
    // The video follows the client area.
    void PlaceVideo();

    HICON icon = nullptr;
    ViewerWnd** slot = nullptr;
    // Until the platform window exists, the object belongs to its creator.
    bool windowMade = false;
};
