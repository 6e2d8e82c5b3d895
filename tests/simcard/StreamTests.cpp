// The card streaming in real graphs: preview through the capture graph
// builder, formats, frame pacing, the picture, stopping.
#include "tests/simcard/SimcardTestSupport.h"

#include "simcard/sink/FrameSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

constexpr DWORD FrameWaitMs = 30000; // an upper bound against hangs, not a timing check
const wchar_t CardName[] = L"Narvo TV";

// A graph with the card in it, as the viewer builds it.
class CardGraph {
public:
    CardGraph() {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         graph.PutVoid());
        CoCreateInstance(CLSID_CaptureGraphBuilder, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder,
                         builder.PutVoid());
        card = BindDevice(CLSID_VideoInputDeviceCategory, CardName);
        if (graph && builder && card) {
            builder->SetFiltergraph(graph.Get());
            graph->AddFilter(card.Get(), CardName);
        }
        sink = ComRef<FrameSink>(FrameSink::Create());
        graph->AddFilter(sink.Get(), L"Sink");
        control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    }
    ~CardGraph() {
        if (control) {
            control->Stop();
        }
    }

    bool Ready() const { return graph && builder && card && control; }

    // The preview rendered into the sink, as the viewer renders it into its window.
    HRESULT RenderPreviewToSink() {
        return builder->RenderStream(&PIN_CATEGORY_PREVIEW, card.Get(), nullptr, sink.Get());
    }

    // The card's capture pin straight into the sink.
    HRESULT ConnectCaptureToSink() {
        ComRef<IPin> capture = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
        return graph->ConnectDirect(capture.Get(), sink->Input(), nullptr);
    }

    ComRef<IAMStreamConfig> StreamConfig() {
        ComRef<IPin> capture = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
        return Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig);
    }

    // Runs until `frames` more frames than now have arrived; answers how many
    // of them did. A loaded machine may deliver one more before the count is
    // read: that is still `frames`.
    long RunFor(long frames) {
        const long target = sink->FrameCount() + frames;
        control->Run();
        return std::min(frames, sink->WaitForFrames(target, FrameWaitMs) - (target - frames));
    }

    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder> builder;
    ComRef<IBaseFilter> card;
    ComRef<IMediaControl> control;
    ComRef<FrameSink> sink;
};

HRESULT SetFormat(IAMStreamConfig* config, const GUID& subtype, int width, int height,
                  REFERENCE_TIME duration) {
    int count = 0, size = 0;
    config->GetNumberOfCapabilities(&count, &size);
    for (int i = 0; i < count; ++i) {
        MediaTypePtr type;
        VIDEO_STREAM_CONFIG_CAPS caps;
        if (config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)) != S_OK) {
            continue;
        }
        HRESULT hr = E_FAIL;
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
        const bool match = type->subtype == subtype && type->formattype == FORMAT_VideoInfo &&
                           info->bmiHeader.biWidth == width && info->bmiHeader.biHeight == height;
        if (match) {
            info->AvgTimePerFrame = duration;
            hr = config->SetFormat(type.Get());
        }
        if (match) {
            return hr;
        }
    }
    return E_INVALIDARG;
}

// Consecutive samples after the first are spaced by exactly one frame.
void ExpectPacedBy(const std::vector<FrameSink::Sample>& samples, REFERENCE_TIME duration) {
    ASSERT_GE(samples.size(), 3u);
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_TRUE(samples[i].timed);
        EXPECT_EQ(samples[i].end - samples[i].start, duration);
        if (i > 0 && !samples[i].discontinuity) {
            EXPECT_EQ(samples[i].start - samples[i - 1].start, duration) << "sample " << i;
        }
    }
}

class CardStreaming : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CardCanUnloadNow(), S_OK) << "objects of the card still alive"; }
    ComApartment com;
};

TEST_F(CardStreaming, PreviewWithoutPreviewPinGoesThroughTheSmartTee) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    EXPECT_EQ(g.RenderPreviewToSink(), VFW_S_NOPREVIEWPIN);
    EXPECT_EQ(g.RunFor(15), 15);
    EXPECT_EQ(StateAfterChange(g.graph.Get()), State_Running);
    EXPECT_EQ(g.control->StopWhenReady(), S_OK);
}

TEST_F(CardStreaming, PreviewPinVariantRendersDirectly) {
    ScopedEnvironment variant(L"SIMTV_VARIANT", L"PreviewPin");
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    EXPECT_EQ(g.RenderPreviewToSink(), S_OK);
    ComRef<IPin> capture = FindPin(g.card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    ComRef<IPin> peer;
    EXPECT_EQ(capture->ConnectedTo(peer.Put()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(g.RunFor(15), 15);
}

TEST_F(CardStreaming, PreviewToTheVideoRendererFindsItsWindowFromTheCapturePin) {
    {
        ComRef<IBaseFilter> renderer;
        if (CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                             renderer.PutVoid()) != S_OK) {
            GTEST_SKIP() << "no video renderer without a display";
        }
    }
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    EXPECT_EQ(g.builder->RenderStream(&PIN_CATEGORY_PREVIEW, g.card.Get(), nullptr, nullptr),
              VFW_S_NOPREVIEWPIN);
    ComRef<IVideoWindow> window;
    EXPECT_EQ(
        g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, g.card.Get(), IID_IVideoWindow, window.PutVoid()),
        S_OK);
    g.control->Run();
    EXPECT_EQ(StateAfterChange(g.graph.Get()), State_Running);
    EXPECT_EQ(g.control->StopWhenReady(), S_OK);
}

TEST_F(CardStreaming, DeliversTheChosenFormatWithTimestampsOneFrameApart) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMStreamConfig> config = g.StreamConfig();
    ASSERT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB565, 640, 480, 666666), S_OK);
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);

    BITMAPINFOHEADER header = {};
    GUID subtype = GUID_NULL;
    ASSERT_TRUE(g.sink->ConnectedBitmap(header, subtype));
    EXPECT_EQ(subtype, MEDIASUBTYPE_RGB565);
    EXPECT_EQ(header.biWidth, 640);
    EXPECT_EQ(header.biHeight, 480);

    const ULONGLONG started = GetTickCount64();
    EXPECT_EQ(g.RunFor(8), 8);
    const ULONGLONG took = GetTickCount64() - started;
    g.control->Stop();
    const std::vector<FrameSink::Sample> samples = g.sink->Samples();
    ExpectPacedBy(samples, 666666);
    for (const FrameSink::Sample& sample : samples) {
        EXPECT_EQ(sample.length, 640 * 480 * 2);
    }
    // Paced by the clock: the eighth frame comes seven frame times after the first.
    EXPECT_GE(took, 7 * 66 * 7 / 10) << "frames came faster than 15 a second";
    // A discontinuity only where the times jump: at the start of the run (and
    // after a catch-up, should the machine stall for a second).
    EXPECT_TRUE(samples[0].discontinuity);
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].start == samples[i - 1].end) {
            EXPECT_FALSE(samples[i].discontinuity) << "sample " << i;
        }
    }
}

// A program may name only the subtype it wants: the card connects in the
// first format it proposes with that subtype.
TEST_F(CardStreaming, PartialTypeConnectsInTheFirstProposalThatMatches) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    AM_MEDIA_TYPE partial = {};
    partial.majortype = MEDIATYPE_Video;
    partial.subtype = MEDIASUBTYPE_RGB565;
    ComRef<IPin> capture = FindPin(g.card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    ASSERT_EQ(g.graph->ConnectDirect(capture.Get(), g.sink->Input(), &partial), S_OK);
    BITMAPINFOHEADER header = {};
    GUID subtype = GUID_NULL;
    ASSERT_TRUE(g.sink->ConnectedBitmap(header, subtype));
    EXPECT_EQ(subtype, MEDIASUBTYPE_RGB565);
    EXPECT_EQ(header.biWidth, 320); // the first RGB565 format of the list
    EXPECT_EQ(header.biHeight, 240);
}

TEST_F(CardStreaming, FrameRateChangedWhileConnectedChangesThePacing) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMStreamConfig> config = g.StreamConfig();
    ASSERT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB24, 320, 240, 333333), S_OK);
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);
    EXPECT_EQ(g.RunFor(3), 3);

    // While running the format stays; stopped, the frame rate may change but not the size.
    EXPECT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB24, 320, 240, 2000000), VFW_E_NOT_STOPPED);
    ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    EXPECT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB24, 640, 480, 2000000), VFW_E_ALREADY_CONNECTED);
    ASSERT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB24, 320, 240, 2000000), S_OK);

    const size_t before = g.sink->Samples().size();
    EXPECT_EQ(g.RunFor(4), 4);
    g.control->Stop();
    const std::vector<FrameSink::Sample> all = g.sink->Samples();
    ExpectPacedBy(std::vector<FrameSink::Sample>(all.begin() + static_cast<long>(before), all.end()),
                  2000000);
}

TEST_F(CardStreaming, NothingArrivesAfterStopReturns) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);
    EXPECT_EQ(g.RunFor(5), 5);
    ASSERT_EQ(g.control->Stop(), S_OK);
    const long stopped = g.sink->FrameCount();
    Sleep(300); // ten frame periods at 30 fps
    EXPECT_EQ(g.sink->FrameCount(), stopped);
}

TEST_F(CardStreaming, PausedCardAnswersCantCueAndDeliversNothing) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(g.card->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    Sleep(300);
    EXPECT_EQ(g.sink->FrameCount(), 0);
    EXPECT_EQ(g.RunFor(3), 3);

    // Paused after running: a frame in flight may still arrive, then nothing.
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    Sleep(100);
    const long paused = g.sink->FrameCount();
    Sleep(300);
    EXPECT_EQ(g.sink->FrameCount(), paused);
}

// The state caption's blocks, read from the last frame delivered.
struct Caption {
    Rgb input;
    Rgb audio;
    int channel;
};

Caption ReadCaption(const FrameSink& sink) {
    BITMAPINFOHEADER header = {};
    GUID subtype = GUID_NULL;
    sink.ConnectedBitmap(header, subtype);
    const std::vector<BYTE> frame = sink.LastFrame();
    auto block = [&](int i) { return PixelAt(frame, subtype, header, 12 + 12 * i, 12); };
    Caption caption = {block(0), block(1), 0};
    for (int bit = 0; bit < 6; ++bit) {
        caption.channel = caption.channel * 2 + (block(2 + bit) == Rgb{255, 255, 255} ? 1 : 0);
    }
    return caption;
}

TEST_F(CardStreaming, CaptionShowsInputChannelAndAudioRoute) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(g.card.Get(), IID_IAMCrossbar);
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(g.card.Get(), IID_IAMTVTuner);
    ComRef<IAMStreamConfig> config = g.StreamConfig();
    ASSERT_TRUE(crossbar && tuner);
    ASSERT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB565, 320, 240, 333333), S_OK);
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);

    ASSERT_EQ(crossbar->Route(0, 1), S_OK);  // composite
    ASSERT_EQ(crossbar->Route(1, -1), S_OK); // muted
    ASSERT_EQ(tuner->put_Channel(12, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    ASSERT_EQ(g.RunFor(2), 2);
    Caption caption = ReadCaption(*g.sink);
    EXPECT_EQ(caption.input, (Rgb{0, 255, 0}));
    EXPECT_EQ(caption.audio, (Rgb{0, 0, 0}));
    EXPECT_EQ(caption.channel, 12);

    // Switched while running: a later frame shows it.
    ASSERT_EQ(crossbar->Route(0, 0), S_OK);
    ASSERT_EQ(crossbar->Route(1, 3), S_OK);
    ASSERT_EQ(tuner->put_Channel(45, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    ASSERT_EQ(g.sink->WaitForFrames(g.sink->FrameCount() + 2, FrameWaitMs) >= 4, true);
    caption = ReadCaption(*g.sink);
    EXPECT_EQ(caption.input, (Rgb{255, 0, 0}));
    EXPECT_EQ(caption.audio, (Rgb{255, 255, 255}));
    EXPECT_EQ(caption.channel, 45);

    // 12 and 45 read the same both ways round; 6 does not.
    ASSERT_EQ(tuner->put_Channel(6, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    g.sink->WaitForFrames(g.sink->FrameCount() + 2, FrameWaitMs);
    EXPECT_EQ(ReadCaption(*g.sink).channel, 6) << "most significant bit first";
}

// A pixel well away from the caption: the middle of the sixth colour bar (red).
Rgb PictureSample(const FrameSink& sink) {
    BITMAPINFOHEADER header = {};
    GUID subtype = GUID_NULL;
    sink.ConnectedBitmap(header, subtype);
    return PixelAt(sink.LastFrame(), subtype, header, header.biWidth * 11 / 14, header.biHeight / 2);
}

TEST_F(CardStreaming, StationIsStillAndAnEmptyChannelShowsMovingSnow) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(g.card.Get(), IID_IAMTVTuner);
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);
    ASSERT_EQ(tuner->put_Channel(4, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK); // a station
    ASSERT_EQ(g.RunFor(2), 2);
    const std::vector<BYTE> station = g.sink->LastFrame();
    ASSERT_EQ(g.sink->WaitForFrames(g.sink->FrameCount() + 1, FrameWaitMs) >= 3, true);
    EXPECT_EQ(g.sink->LastFrame(), station);

    ASSERT_EQ(tuner->put_Channel(5, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK); // nothing there
    g.sink->WaitForFrames(g.sink->FrameCount() + 2, FrameWaitMs);
    const std::vector<BYTE> snow = g.sink->LastFrame();
    g.sink->WaitForFrames(g.sink->FrameCount() + 1, FrameWaitMs);
    EXPECT_NE(g.sink->LastFrame(), snow);
}

TEST_F(CardStreaming, BrightnessChangesThePictureButNotTheCaption) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(g.card.Get(), IID_IAMCrossbar);
    ComRef<IAMVideoProcAmp> procAmp = Query<IAMVideoProcAmp>(g.card.Get(), IID_IAMVideoProcAmp);
    ASSERT_EQ(crossbar->Route(0, 1), S_OK); // composite: colour bars
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);
    ASSERT_EQ(g.RunFor(2), 2);
    const Rgb before = PictureSample(*g.sink);
    const Caption captionBefore = ReadCaption(*g.sink);

    ASSERT_EQ(procAmp->Set(VideoProcAmp_Brightness, 60, VideoProcAmp_Flags_Manual), S_OK);
    g.sink->WaitForFrames(g.sink->FrameCount() + 2, FrameWaitMs);
    const Rgb after = PictureSample(*g.sink);
    EXPECT_EQ(before, (Rgb{191, 0, 0}));
    EXPECT_GT(after.r, before.r);
    EXPECT_EQ(ReadCaption(*g.sink).input, captionBefore.input);
}

TEST_F(CardStreaming, SaturationAndLowQualityShowInThePicture) {
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(g.card.Get(), IID_IAMCrossbar);
    ComRef<IAMVideoProcAmp> procAmp = Query<IAMVideoProcAmp>(g.card.Get(), IID_IAMVideoProcAmp);
    ComRef<IPin> capture = FindPin(g.card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    ComRef<IAMVideoCompression> compression =
        Query<IAMVideoCompression>(capture.Get(), IID_IAMVideoCompression);
    ASSERT_TRUE(crossbar && procAmp && compression);
    ASSERT_EQ(crossbar->Route(0, 1), S_OK); // colour bars over a grey ramp
    ASSERT_EQ(procAmp->Set(VideoProcAmp_Saturation, 0, VideoProcAmp_Flags_Manual), S_OK);
    ASSERT_EQ(compression->put_Quality(0.2), S_OK);
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);
    ASSERT_EQ(g.RunFor(2), 2);

    const Rgb red = PictureSample(*g.sink);
    EXPECT_GT(red.r, 0);
    EXPECT_TRUE(red.r == red.g && red.g == red.b)
        << "the red bar keeps colour at saturation 0: " << red.r << "," << red.g << "," << red.b;
    // Below quality 0.25 the picture is in blocks of 8 pixels: the ramp steps.
    BITMAPINFOHEADER header = {};
    GUID subtype = GUID_NULL;
    ASSERT_TRUE(g.sink->ConnectedBitmap(header, subtype));
    const std::vector<BYTE> frame = g.sink->LastFrame();
    const int y = header.biHeight * 7 / 8;
    const Rgb block = PixelAt(frame, subtype, header, 160, y);
    EXPECT_EQ(PixelAt(frame, subtype, header, 167, y), block);
    EXPECT_FALSE(PixelAt(frame, subtype, header, 168, y) == block) << "the next block";
}

// The fields of the SIMTV_FRAMES lines, split on spaces (no value here holds one).
std::vector<std::map<std::string, std::string>> ReadFrameReports(const std::wstring& path) {
    std::vector<std::map<std::string, std::string>> reports;
    std::ifstream file(path.c_str());
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::map<std::string, std::string> fields;
        std::string word;
        words >> fields["kind"];
        while (words >> word) {
            const size_t equals = word.find('=');
            fields[word.substr(0, equals)] = equals == std::string::npos ? "" : word.substr(equals + 1);
        }
        reports.push_back(fields);
    }
    return reports;
}

std::wstring FreshFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    DeleteFileW(path.c_str());
    return path;
}

TEST_F(CardStreaming, FrameReportCountsEachRunOfAPinAndIsWrittenAtStop) {
    const std::wstring path = FreshFile(L"simtv-frames-test.txt");
    ScopedEnvironment report(L"SIMTV_FRAMES", path.c_str());
    CardGraph g;
    ASSERT_TRUE(g.Ready());
    ComRef<IAMStreamConfig> config = g.StreamConfig();
    ASSERT_EQ(SetFormat(config.Get(), MEDIASUBTYPE_RGB565, 320, 240, 333333), S_OK);
    ASSERT_EQ(g.ConnectCaptureToSink(), S_OK);

    // A pause and stop that never ran delivered nothing and writes nothing.
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    ASSERT_EQ(g.control->Stop(), S_OK);
    EXPECT_TRUE(ReadFrameReports(path).empty());

    ASSERT_EQ(g.RunFor(4), 4);
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    EXPECT_TRUE(ReadFrameReports(path).empty()) << "written before the pin stopped";
    ASSERT_EQ(g.RunFor(3), 3);
    ASSERT_EQ(g.control->Stop(), S_OK);

    const auto reports = ReadFrameReports(path);
    ASSERT_EQ(reports.size(), 1u);
    auto line = reports[0];
    EXPECT_EQ(line["kind"], "Frames");
    EXPECT_EQ(line["pin"], "\"Capture\"");
    EXPECT_EQ(line["subtype"], "RGB565");
    EXPECT_EQ(line["width"] + "x" + line["height"], "320x240");
    EXPECT_EQ(line["avgTimePerFrame"], "333333");
    EXPECT_EQ(std::stol(line["delivered"]), g.sink->FrameCount());
    EXPECT_EQ(line["accepted"], line["delivered"]);
    EXPECT_EQ(line["skipped"], "0");
    EXPECT_GT(std::stod(line["longestGapMs"]), 0.0);

    // Two runs, each "<run>/<first frame>", in order, all before the stop.
    std::vector<double> times;
    std::istringstream runs(line["runs"]);
    std::string run;
    while (std::getline(runs, run, ',')) {
        const size_t slash = run.find('/');
        ASSERT_NE(slash, std::string::npos) << run;
        times.push_back(std::stod(run.substr(0, slash)));
        times.push_back(std::stod(run.substr(slash + 1)));
    }
    times.push_back(std::stod(line["stopped"]));
    ASSERT_EQ(times.size(), 5u) << line["runs"];
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end())) << line["runs"] << " stopped=" << line["stopped"];
    EXPECT_GT(times[0], 1.7e9) << "not Unix time in seconds";
    DeleteFileW(path.c_str());
}

TEST_F(CardStreaming, ReleasingTheRunningGraphReleasesTheCard) {
    {
        CardGraph g;
        ASSERT_TRUE(g.Ready());
        ASSERT_EQ(g.RenderPreviewToSink(), VFW_S_NOPREVIEWPIN);
        EXPECT_EQ(g.RunFor(3), 3);
        EXPECT_EQ(CardCanUnloadNow(), S_FALSE);
    }
    // TearDown checks that DllCanUnloadNow answers S_OK now.
}

} // namespace
