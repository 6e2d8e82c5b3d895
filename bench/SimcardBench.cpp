// Runs the card's capture pin into a sink that draws nothing, at 720x480 and
// 30 fps, and reports the frames delivered per CPU second of the process
// (the card's streaming thread is nearly all of it) and the share of one core.
//
// Usage: simcard_bench <path of SimTvCard.ax> [seconds per scene]
#include "simcard/sink/FrameSink.h"

#include <dshow.h>

#include <cstdio>
#include <cstdlib>

namespace {

// {5CAB011A-FA0A-4335-B4C5-BEB4DC946D80}
const CLSID CaptureFilterClass = {
    0x5cab011a, 0xfa0a, 0x4335, {0xb4, 0xc5, 0xbe, 0xb4, 0xdc, 0x94, 0x6d, 0x80}};

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

template <typename T> void Release(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

HRESULT ChooseFormat(IPin* capture, const GUID& subtype) {
    IAMStreamConfig* config = nullptr;
    HRESULT hr = capture->QueryInterface(IID_IAMStreamConfig, reinterpret_cast<void**>(&config));
    if (FAILED(hr)) {
        return hr;
    }
    int count = 0, size = 0;
    config->GetNumberOfCapabilities(&count, &size);
    hr = E_FAIL;
    for (int i = 0; i < count && FAILED(hr); ++i) {
        AM_MEDIA_TYPE* type = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps;
        if (config->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)) != S_OK) {
            continue;
        }
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
        if (type->subtype == subtype && type->formattype == FORMAT_VideoInfo &&
            info->bmiHeader.biWidth == 720) {
            info->AvgTimePerFrame = 333333;
            hr = config->SetFormat(type);
        }
        CoTaskMemFree(type->pbFormat);
        CoTaskMemFree(type);
    }
    config->Release();
    return hr;
}

struct Result {
    long frames;
    double wall;
    double cpu;
};

// One run of the card on a channel (4 has a station, 5 shows snow).
bool Measure(IClassFactory* factory, const GUID& subtype, long channel, DWORD milliseconds, Result& result) {
    IGraphBuilder* graph = nullptr;
    IBaseFilter* card = nullptr;
    IPin* capture = nullptr;
    IMediaControl* control = nullptr;
    IAMTVTuner* tuner = nullptr;
    FrameSink* sink = FrameSink::Create();
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         reinterpret_cast<void**>(&graph))) &&
              SUCCEEDED(factory->CreateInstance(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&card))) &&
              SUCCEEDED(graph->AddFilter(card, L"Narvo TV")) && SUCCEEDED(graph->AddFilter(sink, L"Sink")) &&
              SUCCEEDED(card->FindPin(L"Capture", &capture)) && SUCCEEDED(ChooseFormat(capture, subtype)) &&
              SUCCEEDED(graph->ConnectDirect(capture, sink->Input(), nullptr)) &&
              SUCCEEDED(card->QueryInterface(IID_IAMTVTuner, reinterpret_cast<void**>(&tuner))) &&
              SUCCEEDED(tuner->put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT)) &&
              SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)));
    if (ok) {
        control->Run();
        sink->WaitForFrames(5, 10000); // past start-up
        const long startFrames = sink->FrameCount();
        const double startCpu = CpuSeconds();
        const ULONGLONG startWall = GetTickCount64();
        Sleep(milliseconds);
        result.frames = sink->FrameCount() - startFrames;
        result.cpu = CpuSeconds() - startCpu;
        result.wall = (GetTickCount64() - startWall) / 1000.0;
        control->Stop();
    }
    Release(control);
    Release(tuner);
    Release(capture);
    Release(card);
    sink->Release();
    Release(graph);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: simcard_bench <SimTvCard.ax> [seconds per scene]\n");
        return 2;
    }
    const DWORD milliseconds = static_cast<DWORD>((argc > 2 ? std::atof(argv[2]) : 5.0) * 1000);
    HMODULE module = LoadLibraryA(argv[1]);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = module ? reinterpret_cast<GetClassObject>(
                                       reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")))
                                 : nullptr;
    if (!getClassObject) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    CoInitialize(nullptr);
    IClassFactory* factory = nullptr;
    int status = 0;
    if (FAILED(getClassObject(CaptureFilterClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
        std::fprintf(stderr, "no class factory\n");
        status = 1;
    } else {
        struct Scene {
            const char* name;
            const GUID* subtype;
            long channel;
        };
        const Scene scenes[] = {
            {"RGB32 720x480 station (channel 4)", &MEDIASUBTYPE_RGB32, 4},
            {"RGB32 720x480 snow (channel 5)", &MEDIASUBTYPE_RGB32, 5},
            {"RGB24 720x480 snow (channel 5)", &MEDIASUBTYPE_RGB24, 5},
        };
        std::printf("%-36s %7s %7s %7s %10s %10s\n", "scene", "frames", "wall s", "cpu s", "frames/cpu",
                    "core share");
        for (const Scene& scene : scenes) {
            Result result = {};
            if (!Measure(factory, *scene.subtype, scene.channel, milliseconds, result)) {
                std::printf("%-36s failed\n", scene.name);
                status = 1;
                continue;
            }
            const double perCpu = result.cpu > 0 ? result.frames / result.cpu : 0;
            std::printf("%-36s %7ld %7.2f %7.3f %10.0f %9.1f%%\n", scene.name, result.frames, result.wall,
                        result.cpu, perCpu, 100.0 * result.cpu / result.wall);
        }
        factory->Release();
    }
    CoUninitialize();
    return status;
}
