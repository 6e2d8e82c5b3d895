#include "capture/CaptureSession.h"

#include "app/SettingsFile.h"
#include "app/ShowError.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/MenuText.h"
#include "capture/ProcAmpControl.h"
#include "capture/TunerControl.h"
#include "capture/TvAudioControl.h"
#include "capture/VideoWindowControl.h"
#include "common/DeviceName.h"
#include "common/Ownership.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const char MainConfig[] = "MainConfig";

// The filters of a graph at one moment, each held by one reference.
class GraphFilters {
public:
    explicit GraphFilters(IGraphBuilder* graph) {
        ComRef<IEnumFilters> all;
        if (graph->EnumFilters(all.Put()) != S_OK || !all) {
            return;
        }
        listed = true;
        ComRef<IBaseFilter> filter;
        while (all->Next(1, filter.Put(), nullptr) == S_OK && filter) {
            filters.push_back(std::move(filter));
        }
    }

    bool Contains(IBaseFilter* filter) const {
        return std::any_of(filters.begin(), filters.end(),
                           [filter](const ComRef<IBaseFilter>& listed) { return listed.Get() == filter; });
    }

    bool listed = false;
    std::vector<ComRef<IBaseFilter>> filters;
};

} // namespace

CaptureSession::CaptureSession() = default;

// Interfaces are Shutdown's to release, not the destructor's.
CaptureSession::~CaptureSession() = default;

bool CaptureSession::Initialize() {
    LoadSettings();
    const HRESULT comResult = CoInitialize(nullptr);
    comInitialized = SUCCEEDED(comResult);

    if (!IsDirectShowInstalled()) {
        ShowError("DirectShow がインストールされていません");
        return false;
    }
    if (!FindVideoDevice(videoDeviceName)) {
        ShowError("NARVO TV デバイスが見つかりません");
        return false;
    }
    ListAudioDevices();

    if (CoCreateInstance(CLSID_CaptureGraphBuilder, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                         IID_ICaptureGraphBuilder, reinterpret_cast<void**>(&builder)) != S_OK) {
        ShowError("DirectShow の初期化ができません");
        return false;
    }
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                     IID_IGraphBuilder, reinterpret_cast<void**>(&graph));
    if (builder->SetFiltergraph(graph) != S_OK) {
        ShowError("DirectShow が利用できません");
        return false;
    }
    wchar_t wideName[WideNameSize];
    DeviceName::ToWide(wideName, WideNameSize, videoDeviceName);
    if (!graph || graph->AddFilter(videoFilter, wideName) != S_OK) {
        ShowError("NARVO TV デバイスが利用できません");
        return false;
    }

    // The adapters' own failures only leave them detached.
    formatCatalog.Attach(builder, videoFilter);
    AttachAudioCapture();
    procAmpControl.Attach(builder, videoFilter);
    crossbarAttached = crossbarControl.Attach(builder, videoFilter);
    tunerControl.Attach(builder, videoFilter);
    tvAudioControl.Attach(builder, videoFilter);
    return true;
}

bool CaptureSession::Shutdown() {
    // Still attached when the close-time stop failed and the chain stayed built.
    videoWindowControl.Detach();
    tvAudioControl.Detach();
    tunerControl.Detach();
    crossbarControl.Detach();
    crossbarAttached = false;
    procAmpControl.Detach();
    formatCatalog.Detach();
    ReleaseAndClear(videoFilter);
    DetachAudioCapture();
    // The graph's final release keeps trying to take out a filter that refuses
    // to stop, for ever: such a graph is left to the end of the process.
    if (graph && !StopsForRelease()) {
        graph = nullptr;
    }
    ReleaseAndClear(graph);
    ReleaseAndClear(builder);
    if (comInitialized) {
        CoUninitialize();
        comInitialized = false;
    }
    SaveSettings();
    return true;
}

bool CaptureSession::LoadSettings() {
    muteAudio = settingsFile.ReadBool(MainConfig, "MuteAudio", muteAudio);
    captureAudioDevice = settingsFile.ReadBool(MainConfig, "CaptureAudioDevice", captureAudioDevice);
    settingsFile.ReadString(MainConfig, "AudioDeviceName", audioDeviceName, audioDeviceName, DeviceNameSize);
    const int percent =
        settingsFile.ReadInt(MainConfig, "VideoQuality", static_cast<int>(videoQuality * 100.0));
    videoQuality = std::clamp(percent * 0.01, 0.0, 1.0);
    windowPosX = settingsFile.ReadInt(MainConfig, "WindowPosX", windowPosX);
    windowPosY = settingsFile.ReadInt(MainConfig, "WindowPosY", windowPosY);
    zoomRateSave = settingsFile.ReadBool(MainConfig, "ZoomRateSave", zoomRateSave);
    topMostWindow = settingsFile.ReadBool(MainConfig, "TopMostWindow", topMostWindow);
    return true;
}

bool CaptureSession::SaveSettings() {
    settingsFile.WriteString(MainConfig, "VideoDeviceName", videoDeviceName);
    settingsFile.WriteBool(MainConfig, "MuteAudio", muteAudio);
    settingsFile.WriteBool(MainConfig, "CaptureAudioDevice", captureAudioDevice);
    settingsFile.WriteString(MainConfig, "AudioDeviceName", audioDeviceName);
    // Rounded, not truncated: 0.29 * 100 is 28.999... in binary and must read back as 29.
    settingsFile.WriteInt(MainConfig, "VideoQuality", static_cast<int>(std::lround(videoQuality * 100.0)));
    settingsFile.WriteInt(MainConfig, "WindowPosX", windowPosX);
    settingsFile.WriteInt(MainConfig, "WindowPosY", windowPosY);
    settingsFile.WriteBool(MainConfig, "ZoomRateSave", zoomRateSave);
    settingsFile.WriteBool(MainConfig, "TopMostWindow", topMostWindow);
    return true;
}

bool CaptureSession::IsDirectShowInstalled() {
    ComRef<IGraphBuilder> probe;
    return SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      probe.PutVoid()));
}

bool CaptureSession::SetOwnerWindow(HWND window) {
    ownerWindow = window;
    return true;
}

bool CaptureSession::BuildPreview() {
    if (!builder || !graph) {
        return false;
    }
    graph->SetDefaultSyncSource();
    const GraphFilters before(graph);
    const HRESULT result = builder->RenderStream(&PIN_CATEGORY_PREVIEW, videoFilter, nullptr, nullptr);
    // Without a preview pin the builder renders the capture pin through a tee.
    if (result != S_OK && result != VFW_S_NOPREVIEWPIN) {
        // A failed render can leave a half-built chain; an orphaned renderer
        // would show a window of its own and pile up with every retry.
        if (before.listed) {
            const GraphFilters after(graph);
            for (const ComRef<IBaseFilter>& filter : after.filters) {
                if (!before.Contains(filter.Get())) {
                    graph->RemoveFilter(filter.Get());
                }
            }
        }
        return false;
    }
    SetQuality(videoQuality);
    if (videoWindowControl.Attach(builder, videoFilter)) {
        if (ownerWindow) {
            videoWindowControl.SetOwner(ownerWindow);
        }
        videoWindowControl.SetVisible(true);
    }
    return true;
}

bool CaptureSession::DismantlePreview() {
    if (videoFilter) {
        RemoveDownstream(videoFilter);
    }
    if (audioFilter) {
        RemoveDownstream(audioFilter);
    }
    // The renderer is out of the graph; the control's own reference keeps it alive for this.
    videoWindowControl.Detach();
    return true;
}

void CaptureSession::RemoveDownstream(IBaseFilter* filter) {
    if (!filter || !graph) {
        return;
    }
    ComRef<IEnumPins> pins;
    if (filter->EnumPins(pins.Put()) != S_OK || !pins) {
        return;
    }
    pins->Reset();
    for (;;) {
        ComRef<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK) {
            return;
        }
        if (!pin) {
            continue;
        }
        ComRef<IPin> connected;
        if (pin->ConnectedTo(connected.Put()) == S_OK && connected) {
            PIN_INFO info = {};
            const HRESULT queried = connected->QueryPinInfo(&info);
            const ComRef<IBaseFilter> downstream(info.pFilter);
            if (queried != S_OK) {
                return;
            }
            if (info.dir == PINDIR_INPUT) {
                RemoveDownstream(downstream.Get());
                graph->Disconnect(connected.Get());
                graph->Disconnect(pin.Get());
                graph->RemoveFilter(downstream.Get());
            }
        }
    }
}

bool CaptureSession::RunGraph() {
    if (!graph) {
        return false;
    }
    bool started = false;
    ComRef<IMediaControl> control;
    if (graph->QueryInterface(IID_IMediaControl, control.PutVoid()) == S_OK && control) {
        if (control->Run() == S_OK) {
            started = true;
        } else {
            // A live graph often answers S_FALSE and is running moments later.
            OAFilterState state = State_Stopped;
            control->GetState(500, &state);
            started = state == State_Running;
        }
        control.Reset();
    }
    // Every start routes or mutes the card's audio, whether or not the graph runs.
    if (crossbarAttached) {
        crossbarControl.RouteAudio(!muteAudio);
    }
    return started;
}

bool CaptureSession::StopGraph() {
    if (!graph) {
        return false;
    }
    ComRef<IMediaControl> control;
    if (graph->QueryInterface(IID_IMediaControl, control.PutVoid()) != S_OK || !control) {
        return false;
    }
    // Pause until the filters are ready, then stop: no half-delivered frame.
    stopRefused = control->StopWhenReady() != S_OK;
    return !stopRefused;
}

bool CaptureSession::StopsForRelease() {
    if (!stopRefused) {
        return true;
    }
    ComRef<IMediaControl> control;
    if (graph->QueryInterface(IID_IMediaControl, control.PutVoid()) == S_OK && control) {
        control->Stop();
    }
    // The graph may count itself stopped while a filter is not: ask each one.
    const GraphFilters filters(graph);
    for (const ComRef<IBaseFilter>& filter : filters.filters) {
        FILTER_STATE state = State_Stopped;
        if (FAILED(filter->GetState(0, &state)) || state != State_Stopped) {
            return false;
        }
    }
    stopRefused = false;
    return true;
}

bool CaptureSession::StartPreview() {
    return BuildPreview() && RunGraph();
}

bool CaptureSession::StopPreview() {
    return StopGraph() && DismantlePreview();
}

bool CaptureSession::SetQuality(double quality) {
    if (!builder) {
        return false;
    }
    ComRef<IAMVideoCompression> compression;
    if (builder->FindInterface(&PIN_CATEGORY_CAPTURE, videoFilter, IID_IAMVideoCompression,
                               compression.PutVoid()) != S_OK ||
        !compression) {
        return false;
    }
    long keyFrameRate = 0;
    long framesPerKey = 0;
    double defaultQuality = 0.0;
    long capabilities = 0;
    bool applied = false;
    if (compression->GetInfo(nullptr, nullptr, nullptr, nullptr, &keyFrameRate, &framesPerKey,
                             &defaultQuality, &capabilities) == S_OK &&
        (capabilities & CompressionCaps_CanQuality) != 0 && compression->put_Quality(quality) == S_OK) {
        videoQuality = quality;
        applied = true;
    }
    return applied;
}

bool CaptureSession::SetFrameRate(int fps) {
    // The chain stays built: only the capture pin's format changes.
    StopGraph();
    const bool accepted = formatCatalog.SetFrameRate(fps);
    RunGraph();
    return accepted;
}

bool CaptureSession::SelectFormat(int index) {
    // A new format needs the preview chain rebuilt around it.
    StopPreview();
    const bool accepted = formatCatalog.SelectFormat(index);
    StartPreview();
    return accepted;
}

bool CaptureSession::SetMute(bool mute) {
    muteAudio = mute;
    return true;
}

bool CaptureSession::SelectAudioDevice(int index) {
    StopPreview();
    DetachAudioCapture();
    if (index >= 0 && index < AudioDeviceCount()) {
        DeviceName::CopyBounded(audioDeviceName, DeviceNameSize, audioDeviceNames[index].c_str());
        captureAudioDevice = true;
    } else {
        audioDeviceName[0] = '\0';
        captureAudioDevice = false;
    }
    AttachAudioCapture();
    StartPreview();
    return true;
}

bool CaptureSession::AttachAudioCapture() {
    if (!captureAudioDevice) {
        return true;
    }
    if (!FindAudioDevice(audioDeviceName)) {
        audioDeviceName[0] = '\0';
        captureAudioDevice = false;
        ShowError("オーディオデバイスが見つかりません");
        return true;
    }
    wchar_t wideName[WideNameSize];
    DeviceName::ToWide(wideName, WideNameSize, audioDeviceName);
    const HRESULT added = graph ? graph->AddFilter(audioFilter, wideName) : E_POINTER;
    if (added != S_OK) {
        // Another success code (a device named like the card) did add it, under a
        // name of the graph's own: take it out by itself or it runs on unseen.
        if (SUCCEEDED(added)) {
            graph->RemoveFilter(audioFilter);
        }
        ReleaseAndClear(audioFilter);
        audioDeviceName[0] = '\0';
        captureAudioDevice = false;
        ShowError("オーディオデバイスが利用できません");
    }
    return true;
}

bool CaptureSession::DetachAudioCapture() {
    if (!audioFilter) {
        return true;
    }
    if (audioDeviceName[0] != '\0' && graph) {
        wchar_t wideName[WideNameSize];
        DeviceName::ToWide(wideName, WideNameSize, audioDeviceName);
        ComRef<IBaseFilter> inGraph;
        if (graph->FindFilterByName(wideName, inGraph.Put()) == S_OK && inGraph) {
            graph->RemoveFilter(inGraph.Get());
        }
    }
    ReleaseAndClear(audioFilter);
    return true;
}

bool CaptureSession::HasInputPin(IBaseFilter* filter) {
    return DeviceEnumeration::HasInputPin(filter);
}

bool CaptureSession::FindVideoDevice(const char* name) {
    ReleaseAndClear(videoFilter);
    videoFilter = DeviceEnumeration::FindVideoDevice(name).Detach();
    return videoFilter != nullptr;
}

bool CaptureSession::FindAudioDevice(char* name) {
    ReleaseAndClear(audioFilter);
    DeviceEnumeration::AudioDevice found = DeviceEnumeration::FindAudioDevice(name, DeviceNameSize);
    if (found.named) {
        DeviceName::CopyBounded(name, DeviceNameSize, found.name.c_str());
    }
    audioFilter = found.filter.Detach();
    return audioFilter != nullptr;
}

bool CaptureSession::ListAudioDevices() {
    audioDeviceNames = DeviceEnumeration::ListAudioDevices(MaxAudioDevices);
    return !audioDeviceNames.empty();
}

bool CaptureSession::FillMenu(HMENU menu, UINT placeholderId, const MenuIds& ids) {
    const UINT quality = videoQuality > 0.5    ? ids.qualityHigh
                         : videoQuality == 0.5 ? ids.qualityMedium
                                               : ids.qualityLow;
    CheckMenuItem(menu, quality, MF_BYCOMMAND | MF_CHECKED);
    if (muteAudio) {
        CheckMenuItem(menu, ids.audioMute, MF_BYCOMMAND | MF_CHECKED);
    } else if (!captureAudioDevice) {
        CheckMenuItem(menu, ids.audioCard, MF_BYCOMMAND | MF_CHECKED);
    }
    for (int i = 0; i < AudioDeviceCount(); ++i) {
        const char* name = audioDeviceNames[i].c_str();
        UINT flags = MF_BYCOMMAND | MF_STRING;
        if (!muteAudio && DeviceName::Matches(audioDeviceName, DeviceNameSize, name)) {
            flags |= MF_CHECKED;
        }
        // Room for a friendly name with every byte an '&'.
        char text[NarrowNameSize * 2];
        MenuText::CopyName(text, sizeof text, name);
        InsertMenuA(menu, placeholderId, flags, placeholderId + 1 + i, text);
    }
    DeleteMenu(menu, placeholderId, MF_BYCOMMAND);
    if (zoomRateSave) {
        CheckMenuItem(menu, ids.keepAspect, MF_BYCOMMAND | MF_CHECKED);
    }
    if (topMostWindow) {
        CheckMenuItem(menu, ids.topMost, MF_BYCOMMAND | MF_CHECKED);
    }
    return true;
}
