#include "ui/ViewerWnd.h"

#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "capture/FormatCatalog.h"
#include "capture/VideoWindowControl.h"
#include "res/resource.h"
#include "ui/ContextMenu.h"

#include <cstdlib>

namespace {

// WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, created hidden.
constexpr DWORD ViewerStyle = 0x06CF0000;
constexpr WPARAM MoveByCaption = SC_MOVE | HTCAPTION;

// The current format's size as the window uses it: a bottom-up format's
// negative height counts by its magnitude. False when none is known or it is
// degenerate.
bool CurrentPictureSize(int& width, int& height) {
    if (!formatCatalog.GetCurrentSize(width, height)) {
        return false;
    }
    width = std::abs(width);
    height = std::abs(height);
    return width > 0 && height > 0;
}

} // namespace

BEGIN_MESSAGE_MAP(ViewerWnd, CWnd)
ON_WM_ERASEBKGND()
ON_WM_NCDESTROY()
ON_WM_RBUTTONDOWN()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_WINDOWPOSCHANGING()
ON_COMMAND(ID_KEEP_ASPECT, OnKeepAspect)
ON_COMMAND(ID_TOPMOST, OnTopMost)
ON_COMMAND(ID_APP_QUIT, OnQuit)
ON_COMMAND_RANGE(ID_CHANNEL_ITEM + 1, ID_CHANNEL_ITEM + 99, OnPreset)
ON_COMMAND(ID_INPUT_TUNER, OnInputTuner)
ON_COMMAND(ID_INPUT_VIDEO, OnInputVideo)
ON_COMMAND(ID_INPUT_SVIDEO, OnInputSVideo)
ON_COMMAND_RANGE(ID_VIDEO_FORMAT + 1, ID_VIDEO_FORMAT + 99, OnFormat)
ON_COMMAND(ID_CHANNEL_SETUP, OnChannelSetup)
ON_COMMAND(ID_FRAMERATE_30, OnFrameRate30)
ON_COMMAND(ID_FRAMERATE_15, OnFrameRate15)
ON_COMMAND(ID_FRAMERATE_5, OnFrameRate5)
ON_COMMAND(ID_FRAMERATE_CUSTOM, OnFrameRateCustom)
ON_COMMAND(ID_QUALITY_HIGH, OnQualityHigh)
ON_COMMAND(ID_QUALITY_MEDIUM, OnQualityMedium)
ON_COMMAND(ID_QUALITY_LOW, OnQualityLow)
ON_COMMAND(ID_PICTURE_ADJUST, OnPictureAdjust)
ON_COMMAND(ID_AUDIO_MUTE, OnAudioMute)
ON_COMMAND(ID_AUDIO_CARD, OnAudioCard)
ON_COMMAND_RANGE(ID_SOUND_DEVICE + 1, ID_SOUND_DEVICE + 99, OnAudioDevice)
ON_COMMAND(ID_HELP_CONTENTS, OnHelpContents)
ON_COMMAND(ID_VERSION_INFO, OnVersionInfo)
END_MESSAGE_MAP()

ViewerWnd::ViewerWnd() {
    icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NARVOTV));
}

ViewerWnd::~ViewerWnd() = default;

bool ViewerWnd::CreateViewer(ViewerWnd** mainWindowSlot) {
    const char* windowClass = AfxRegisterWndClass(0, nullptr, nullptr, icon);
    // Replaced by FitToVideo; it stays only when no format is known.
    const CRect initial(captureSession.windowPosX, captureSession.windowPosY, captureSession.windowPosX + 320,
                        captureSession.windowPosY + 240);
    if (!CreateEx(0, windowClass, Title, ViewerStyle, initial, nullptr, 0, nullptr)) {
        return false;
    }
    windowMade = true;
    captureSession.SetOwnerWindow(m_hWnd);
    captureSession.StartPreview();
    FitToVideo();
    if (captureSession.topMostWindow) {
        SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
    ShowWindow(SW_SHOW);
    UpdateWindow();
    slot = mainWindowSlot;
    *slot = this;
    return true;
}

void ViewerWnd::FitToVideo() {
    int width = 0;
    int height = 0;
    if (!CurrentPictureSize(width, height)) {
        return;
    }
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(&placement);
    // Only the restored size changes: a maximized or minimized window stays so.
    RECT& normal = placement.rcNormalPosition;
    normal.right = normal.left + (outer.right - outer.left);
    normal.bottom = normal.top + (outer.bottom - outer.top);
    SetWindowPlacement(&placement);
    PlaceVideo();
}

void ViewerWnd::PlaceVideo() {
    CRect client;
    GetClientRect(&client);
    videoWindowControl.SetPosition(client.left, client.top, client.right, client.bottom);
}

BOOL ViewerWnd::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client, RGB(0, 0, 0));
    return TRUE;
}

void ViewerWnd::OnNcDestroy() {
    CWnd::OnNcDestroy();
    // A window refused while being created ends here too; its creator still
    // holds the object and deletes it.
    if (!windowMade) {
        return;
    }
    if (slot) {
        *slot = nullptr;
    }
    delete this;
}

void ViewerWnd::OnRButtonDown(UINT, CPoint point) {
    ContextMenu::Open(*this, point);
}

void ViewerWnd::OnClose() {
    captureSession.StopPreview();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(&placement);
    // The restored position, never the maximized one.
    captureSession.windowPosX = placement.rcNormalPosition.left;
    captureSession.windowPosY = placement.rcNormalPosition.top;
    Default();
}

void ViewerWnd::OnSize(UINT, int, int) {
    Default();
    if (IsWindowVisible()) {
        PlaceVideo();
    }
}

void ViewerWnd::OnLButtonDown(UINT, CPoint) {
    // The platform then moves the window with the mouse, as from its caption.
    PostMessage(WM_SYSCOMMAND, MoveByCaption, 0);
}

void ViewerWnd::OnWindowPosChanging(WINDOWPOS* position) {
    Default();
    if (IsIconic() || IsZoomed() || !captureSession.zoomRateSave || (position->flags & SWP_NOSIZE)) {
        return;
    }
    int width = 0;
    int height = 0;
    if (!CurrentPictureSize(width, height)) {
        return;
    }
    // The outer size keeps the picture's proportion; 64 bits so no size overflows.
    position->cy = static_cast<int>(static_cast<long long>(position->cx) * height / width);
}

void ViewerWnd::OnKeepAspect() {
    // Takes effect from the next size change.
    captureSession.zoomRateSave = !captureSession.zoomRateSave;
}

void ViewerWnd::OnTopMost() {
    captureSession.topMostWindow = !captureSession.topMostWindow;
    SetWindowPos(captureSession.topMostWindow ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
}

void ViewerWnd::OnQuit() {
    PostMessage(WM_CLOSE, 0, 0);
}
