// The context menu's commands: each calls the part that owns the change.
// Commands that rebuild the preview fit the window to the format afterwards.
#include "ui/ViewerWnd.h"

#include "app/DialogLibrary.h"
#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TunerControl.h"
#include "framework/WinApp.h"
#include "res/resource.h"

// Ids above the last preset map to numbers the tuner refuses.
void ViewerWnd::OnPreset(UINT id) {
    tunerControl.SelectPreset(static_cast<int>(id) - ID_CHANNEL_ITEM);
}

// The editor writes the presets to the settings file; they are read again
// without tuning, so the picture stays on its channel.
void ViewerWnd::OnChannelSetup() {
    if (DialogLibrary::EditPresetChannels()) {
        tunerControl.ReloadPresets();
    }
}

// The graph keeps running while the input changes.
void ViewerWnd::OnInputTuner() {
    crossbarControl.SelectTuner();
}

void ViewerWnd::OnInputVideo() {
    crossbarControl.SelectComposite();
}

void ViewerWnd::OnInputSVideo() {
    crossbarControl.SelectSVideo();
}

void ViewerWnd::OnFormat(UINT id) {
    captureSession.SelectFormat(static_cast<int>(id) - (ID_VIDEO_FORMAT + 1));
    FitToVideo();
}

void ViewerWnd::OnFrameRate30() {
    captureSession.SetFrameRate(30);
}

void ViewerWnd::OnFrameRate15() {
    captureSession.SetFrameRate(15);
}

void ViewerWnd::OnFrameRate5() {
    captureSession.SetFrameRate(5);
}

void ViewerWnd::OnFrameRateCustom() {
    int rate = formatCatalog.frameRate;
    // The frame duration is 10,000,000 / rate: whatever the library answers,
    // a rate below 1 is never applied.
    if (DialogLibrary::AskFrameRate(&rate) && rate >= 1) {
        captureSession.SetFrameRate(rate);
    }
}

void ViewerWnd::OnQualityHigh() {
    captureSession.SetQuality(1.0);
}

void ViewerWnd::OnQualityMedium() {
    captureSession.SetQuality(0.5);
}

void ViewerWnd::OnQualityLow() {
    captureSession.SetQuality(0.0);
}

void ViewerWnd::OnPictureAdjust() {
    procAmpControl.ShowPropertyPages(m_hWnd);
}

void ViewerWnd::OnAudioMute() {
    captureSession.SetMute(true);
    captureSession.SelectAudioDevice(-1);
    FitToVideo();
}

void ViewerWnd::OnAudioCard() {
    captureSession.SetMute(false);
    captureSession.SelectAudioDevice(-1);
    FitToVideo();
}

void ViewerWnd::OnAudioDevice(UINT id) {
    captureSession.SetMute(false);
    captureSession.SelectAudioDevice(static_cast<int>(id) - (ID_SOUND_DEVICE + 1));
    FitToVideo();
}

void ViewerWnd::OnHelpContents() {
    // The help file beside the executable, opened as the framework's help command does.
    if (CWinApp* app = AfxGetApp()) {
        app->OnHelp();
    }
}

void ViewerWnd::OnVersionInfo() {
    DialogLibrary::ShowVersionInfo();
}
