#pragma once

#include "capture/DeviceEnumeration.h"

#include <windows.h>
#include <dshow.h>

#include <string>
#include <vector>

// The spine of the viewer: owns the capture graph builder, the filter graph,
// the video and audio capture filters and the settings of "MainConfig".
// Exactly one lives as a global; its operations run on the UI thread.
class CaptureSession {
public:
    static constexpr int DeviceNameSize = 81; // at most 80 characters
    static constexpr int WideNameSize = 256;  // UTF-16 conversion buffers
    // Friendly names as the device searches read them back.
    static constexpr int NarrowNameSize = DeviceEnumeration::FriendlyNameSize;
    static constexpr int MaxAudioDevices = 10;

    CaptureSession();
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    bool Initialize();
    bool Shutdown();
    bool LoadSettings();
    bool SaveSettings();
    bool IsDirectShowInstalled();
    bool SetOwnerWindow(HWND window);

    bool BuildPreview();
    bool DismantlePreview();
    void RemoveDownstream(IBaseFilter* filter);
    bool RunGraph();
    bool StopGraph();
    bool StartPreview();
    bool StopPreview();

    bool SetQuality(double quality);
    bool SetFrameRate(int fps);
    bool SelectFormat(int index);
    bool SetMute(bool mute);
    bool SelectAudioDevice(int index);
    bool AttachAudioCapture();
    bool DetachAudioCapture();
    // The context menu's command ids: the resources define them, the caller passes them in.
    struct MenuIds {
        UINT qualityHigh;
        UINT qualityMedium;
        UINT qualityLow;
        UINT audioMute;
        UINT audioCard;
        UINT keepAspect;
        UINT topMost;
    };
    // Audio device i goes before the placeholder as command placeholderId + 1 + i.
    bool FillMenu(HMENU menu, UINT placeholderId, const MenuIds& ids);

    // The device searches of DeviceEnumeration, keeping what they found.
    bool HasInputPin(IBaseFilter* filter);
    bool FindVideoDevice(const char* name);
    bool FindAudioDevice(char* name);
    bool ListAudioDevices();
    int AudioDeviceCount() const { return static_cast<int>(audioDeviceNames.size()); }

    ICaptureGraphBuilder* builder = nullptr;
    IGraphBuilder* graph = nullptr;
    IBaseFilter* videoFilter = nullptr;
    IBaseFilter* audioFilter = nullptr;
    HWND ownerWindow = nullptr;
    bool crossbarAttached = false;
    char videoDeviceName[DeviceNameSize] = "Narvo TV";
    char audioDeviceName[DeviceNameSize] = "";
    bool muteAudio = false;
    bool captureAudioDevice = false;
    double videoQuality = 0.5;
    int windowPosX = 0;
    int windowPosY = 0;
    bool zoomRateSave = true;
    bool topMostWindow = false;
    std::vector<std::string> audioDeviceNames;

private:
    // After a refused stop: true once the graph and every filter in it stopped.
    bool StopsForRelease();

    bool comInitialized = false;
    bool stopRefused = false; // the last stop failed, so the chain is still built
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern CaptureSession captureSession;
