// The yardstick of the viewer's speed: the least a program must do to preview
// the card. It finds "Narvo TV", sets one format, renders the preview with the
// capture graph builder into its own window of the format's size and runs.
// Commands arrive as WM_COMMAND, with the viewer's ids where it has them:
//   32784 / 32785 / 32786   frame rate 30 / 15 / 5 (stop, new duration, run)
//   600 + n                 the card's n-th capability (stop, rebuild, run)
//   32790 / 32775           mute / the card's own audio (crossbar only)
//   32779 / 32780 / 32781   tuner / composite / S-Video input (crossbar only)
//   700 + n                 tune channel n
// Usage: MinimalPreview.exe SUBTYPE WIDTH HEIGHT FPS   (e.g. RGB565 320 240 15)
#include "common/Ownership.h"

#include <dshow.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char Title[] = "Minimal Preview";
constexpr DWORD Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

struct Format {
    GUID subtype = MEDIASUBTYPE_RGB565;
    long width = 320;
    long height = 240;
    int fps = 15;
};

struct Preview {
    HWND window = nullptr;
    IGraphBuilder* graph = nullptr;
    ICaptureGraphBuilder* builder = nullptr;
    IBaseFilter* card = nullptr;
    IVideoWindow* video = nullptr;
    Format format;
};

Preview preview;

bool ParseSubtype(const char* name, GUID& subtype) {
    const struct {
        const char* name;
        GUID subtype;
    } known[] = {
        {"RGB32", MEDIASUBTYPE_RGB32}, {"RGB24", MEDIASUBTYPE_RGB24}, {"RGB565", MEDIASUBTYPE_RGB565}};
    for (const auto& entry : known) {
        if (std::strcmp(name, entry.name) == 0) {
            subtype = entry.subtype;
            return true;
        }
    }
    return false;
}

IBaseFilter* FindCard() {
    ComRef<ICreateDevEnum> devices;
    ComRef<IEnumMoniker> monikers;
    if (CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                         devices.PutVoid()) != S_OK ||
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Put(), 0) != S_OK) {
        return nullptr;
    }
    for (;;) {
        ComRef<IMoniker> moniker;
        if (monikers->Next(1, moniker.Put(), nullptr) != S_OK) {
            return nullptr;
        }
        ComRef<IPropertyBag> bag;
        if (moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()) != S_OK) {
            continue;
        }
        VARIANT name;
        VariantInit(&name);
        const bool isCard = bag->Read(L"FriendlyName", &name, nullptr) == S_OK && name.vt == VT_BSTR &&
                            _wcsicmp(name.bstrVal, L"Narvo TV") == 0;
        VariantClear(&name);
        IBaseFilter* filter = nullptr;
        if (isCard && moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                            reinterpret_cast<void**>(&filter)) == S_OK) {
            return filter;
        }
    }
}

template <typename T> void CardInterface(REFIID iid, ComRef<T>& found) {
    preview.builder->FindInterface(&PIN_CATEGORY_CAPTURE, preview.card, iid, found.PutVoid());
}

// The capability's type, or the wanted size and subtype, with the frame rate applied.
bool ApplyFormat(int capability) {
    ComRef<IAMStreamConfig> config;
    CardInterface(IID_IAMStreamConfig, config);
    int count = 0, size = 0;
    if (!config || config->GetNumberOfCapabilities(&count, &size) != S_OK) {
        return false;
    }
    bool applied = false;
    for (int i = 0; i < count && !applied; ++i) {
        MediaTypePtr type;
        VIDEO_STREAM_CONFIG_CAPS caps;
        if (config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)) != S_OK) {
            continue;
        }
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
        const bool wanted = type->formattype == FORMAT_VideoInfo &&
                            (capability >= 0 ? i == capability
                                             : type->subtype == preview.format.subtype &&
                                                   info->bmiHeader.biWidth == preview.format.width &&
                                                   info->bmiHeader.biHeight == preview.format.height);
        if (wanted) {
            info->AvgTimePerFrame = 10000000 / preview.format.fps;
            applied = config->SetFormat(type.Get()) == S_OK;
            if (applied) {
                preview.format.subtype = type->subtype;
                preview.format.width = info->bmiHeader.biWidth;
                preview.format.height = std::labs(info->bmiHeader.biHeight);
            }
        }
    }
    return applied;
}

void FitWindow() {
    RECT outer = {0, 0, preview.format.width, preview.format.height};
    AdjustWindowRectEx(&outer, Style, FALSE, 0);
    SetWindowPos(preview.window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (preview.video) {
        preview.video->SetWindowPosition(0, 0, preview.format.width, preview.format.height);
    }
}

bool Render() {
    if (FAILED(preview.builder->RenderStream(&PIN_CATEGORY_PREVIEW, preview.card, nullptr, nullptr)) ||
        preview.builder->FindInterface(&PIN_CATEGORY_CAPTURE, preview.card, IID_IVideoWindow,
                                       reinterpret_cast<void**>(&preview.video)) != S_OK) {
        return false;
    }
    const OAHWND owner = reinterpret_cast<OAHWND>(preview.window);
    preview.video->put_Owner(owner);
    preview.video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    preview.video->put_MessageDrain(owner);
    preview.video->put_Visible(OATRUE);
    return true;
}

void Run() {
    ComRef<IMediaControl> control;
    if (preview.graph->QueryInterface(IID_IMediaControl, control.PutVoid()) == S_OK) {
        control->Run();
    }
}

void Stop() {
    ComRef<IMediaControl> control;
    if (preview.graph->QueryInterface(IID_IMediaControl, control.PutVoid()) == S_OK) {
        control->StopWhenReady();
    }
}

// Everything the builder added goes; the card stays.
void Dismantle() {
    if (preview.video) {
        preview.video->put_Visible(OAFALSE);
        preview.video->put_Owner(0);
        ReleaseAndClear(preview.video);
    }
    for (;;) {
        ComRef<IEnumFilters> filters;
        if (preview.graph->EnumFilters(filters.Put()) != S_OK) {
            return;
        }
        ComRef<IBaseFilter> other;
        for (;;) {
            ComRef<IBaseFilter> filter;
            if (filters->Next(1, filter.Put(), nullptr) != S_OK) {
                break;
            }
            if (filter.Get() != preview.card) {
                other = std::move(filter);
                break;
            }
        }
        if (!other) {
            return;
        }
        filters.Reset();
        preview.graph->RemoveFilter(other.Get());
    }
}

void Route(long output, long input) {
    ComRef<IAMCrossbar> crossbar;
    CardInterface(IID_IAMCrossbar, crossbar);
    if (crossbar) {
        crossbar->Route(output, input);
    }
}

void Command(int id) {
    if (id >= 32784 && id <= 32786) {
        const int rates[] = {30, 15, 5};
        Stop();
        preview.format.fps = rates[id - 32784];
        ApplyFormat(-1);
        Run();
    } else if (id > 600 && id < 700) {
        Stop();
        Dismantle();
        ApplyFormat(id - 601);
        Render();
        FitWindow();
        Run();
    } else if (id == 32790 || id == 32775) {
        Route(1, id == 32790 ? -1 : 3);
    } else if (id >= 32779 && id <= 32781) {
        Route(0, id - 32779);
    } else if (id > 700 && id < 800) {
        ComRef<IAMTVTuner> tuner;
        CardInterface(IID_IAMTVTuner, tuner);
        if (tuner) {
            tuner->put_Channel(id - 700, -1, -1);
        }
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        Stop();
        Dismantle();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool BuildGraph() {
    preview.card = FindCard();
    if (!preview.card ||
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         reinterpret_cast<void**>(&preview.graph)) != S_OK ||
        CoCreateInstance(CLSID_CaptureGraphBuilder, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder,
                         reinterpret_cast<void**>(&preview.builder)) != S_OK ||
        preview.builder->SetFiltergraph(preview.graph) != S_OK ||
        preview.graph->AddFilter(preview.card, L"Narvo TV") != S_OK) {
        return false;
    }
    return ApplyFormat(-1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 &&
        (!ParseSubtype(argv[1], preview.format.subtype) || (preview.format.width = atol(argv[2])) <= 0 ||
         (preview.format.height = atol(argv[3])) <= 0 || (preview.format.fps = atoi(argv[4])) <= 0)) {
        std::fprintf(stderr, "usage: MinimalPreview.exe SUBTYPE WIDTH HEIGHT FPS\n");
        return 2;
    }
    CoInitialize(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MinimalPreview";
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    preview.window = CreateWindowExA(0, windowClass.lpszClassName, Title, Style, CW_USEDEFAULT, CW_USEDEFAULT,
                                     320, 240, nullptr, nullptr, windowClass.hInstance, nullptr);
    int result = 1;
    if (preview.window && BuildGraph() && Render()) {
        Run();
        FitWindow();
        ShowWindow(preview.window, SW_SHOW);
        UpdateWindow(preview.window);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        result = 0;
    } else {
        std::fprintf(stderr, "MinimalPreview: no preview of the card\n");
        if (preview.window) {
            DestroyWindow(preview.window);
        }
    }
    ReleaseAndClear(preview.video);
    ReleaseAndClear(preview.builder);
    ReleaseAndClear(preview.graph);
    ReleaseAndClear(preview.card);
    CoUninitialize();
    return result;
}
