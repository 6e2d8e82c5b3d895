// The card's audio capture devices as a recording program meets them: the
// capture pin and its formats, a running graph's sound and time stamps, and
// "SimTV Line In" following the card's tuner and crossbar.
#include "tests/simcard/SimcardTestSupport.h"

#include "simcard/sink/FrameSink.h"

#include <gtest/gtest.h>
#include <qedit.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD SoundWaitMs = 30000; // an upper bound against hangs, not a timing check
const wchar_t LineIn[] = L"SimTV Line In";
const wchar_t Mixer[] = L"SimTV ステレオ ミキサー";
const wchar_t Microphone[] = L"SimTV Microphone";

// An audio device and the sink in a graph of their own.
class AudioGraph {
public:
    explicit AudioGraph(const wchar_t* device) {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         graph.PutVoid());
        CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                         builder.PutVoid());
        audio = BindDevice(CLSID_AudioInputDeviceCategory, device);
        sink = ComRef<FrameSink>(FrameSink::Create());
        if (graph && builder && audio) {
            builder->SetFiltergraph(graph.Get());
            graph->AddFilter(audio.Get(), device);
            graph->AddFilter(sink.Get(), L"Sink");
        }
        control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
        capture = FindPin(audio.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    }
    ~AudioGraph() {
        if (control) {
            control->Stop();
        }
    }

    bool Ready() const { return graph && builder && audio && control && capture; }
    ComRef<IAMStreamConfig> Config() const {
        return Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig);
    }
    HRESULT Connect() { return graph->ConnectDirect(capture.Get(), sink->Input(), nullptr); }

    // Runs (if not yet) until the sink holds this many more bytes of sound;
    // returns the new sound.
    std::vector<BYTE> Record(size_t bytes) {
        const size_t from = sink->SoundSize();
        control->Run();
        const ULONGLONG deadline = GetTickCount64() + SoundWaitMs;
        while (sink->SoundSize() < from + bytes && GetTickCount64() < deadline) {
            sink->WaitForFrames(sink->FrameCount() + 1, 100);
        }
        return sink->Sound(from);
    }

    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder2> builder;
    ComRef<IBaseFilter> audio;
    ComRef<IMediaControl> control;
    ComRef<FrameSink> sink;
    ComRef<IPin> capture;
};

// The first channel's samples of interleaved 16-bit PCM.
std::vector<short> FirstChannel(const std::vector<BYTE>& sound, int channels) {
    std::vector<short> samples;
    const short* all = reinterpret_cast<const short*>(sound.data());
    for (size_t i = 0; i + channels <= sound.size() / 2; i += channels) {
        samples.push_back(all[i]);
    }
    return samples;
}

// Rising zero crossings per second.
double Pitch(const std::vector<short>& samples, long rate) {
    long crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        crossings += samples[i - 1] < 0 && samples[i] >= 0 ? 1 : 0;
    }
    return samples.empty() ? 0.0 : crossings * static_cast<double>(rate) / samples.size();
}

int Peak(const std::vector<short>& samples) {
    int peak = 0;
    for (short sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

// A format of the pin's list by rate and channels, set through IAMStreamConfig.
HRESULT SetFormat(IAMStreamConfig* config, DWORD rate, WORD channels) {
    int count = 0, size = 0;
    config->GetNumberOfCapabilities(&count, &size);
    for (int i = 0; i < count; ++i) {
        MediaTypePtr type;
        AUDIO_STREAM_CONFIG_CAPS caps;
        if (config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)) != S_OK) {
            continue;
        }
        const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
        if (wave->nSamplesPerSec == rate && wave->nChannels == channels) {
            return config->SetFormat(type.Get());
        }
    }
    return E_INVALIDARG;
}

class AudioDevices : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CardCanUnloadNow(), S_OK) << "objects of the card still alive"; }
    ComApartment com;
};

TEST_F(AudioDevices, EachHasOneCapturePinWithPcmFormats48kStereoFirst) {
    struct Expected {
        DWORD rate;
        WORD channels;
    };
    const Expected formats[] = {{48000, 2}, {48000, 1}, {44100, 2}, {44100, 1}};
    for (const wchar_t* device : {LineIn, Mixer, Microphone}) {
        SCOPED_TRACE(device == LineIn ? "Line In" : device == Mixer ? "stereo mixer" : "Microphone");
        ComRef<IBaseFilter> audio = BindDevice(CLSID_AudioInputDeviceCategory, device);
        ASSERT_TRUE(audio);
        EXPECT_EQ(CountPins(audio.Get(), PINDIR_OUTPUT), 1);
        EXPECT_EQ(CountPins(audio.Get(), PINDIR_INPUT), 0);
        ComRef<IPin> capture = FindPin(audio.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
        ASSERT_TRUE(capture) << "the capture category, answered through IKsPropertySet";
        EXPECT_TRUE(Query<IAMBufferNegotiation>(capture.Get(), IID_IAMBufferNegotiation));
        ComRef<IAMStreamConfig> config = Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig);
        ASSERT_TRUE(config);

        int count = 0, size = 0;
        ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
        ASSERT_EQ(count, 4);
        ASSERT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
        for (int i = 0; i < count; ++i) {
            MediaTypePtr type;
            AUDIO_STREAM_CONFIG_CAPS caps = {};
            ASSERT_EQ(config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)), S_OK);
            EXPECT_EQ(type->majortype, MEDIATYPE_Audio);
            EXPECT_EQ(type->subtype, MEDIASUBTYPE_PCM);
            ASSERT_EQ(type->formattype, FORMAT_WaveFormatEx);
            const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
            EXPECT_EQ(wave->wFormatTag, WAVE_FORMAT_PCM);
            EXPECT_EQ(wave->wBitsPerSample, 16);
            EXPECT_EQ(wave->nSamplesPerSec, formats[i].rate);
            EXPECT_EQ(wave->nChannels, formats[i].channels);
            EXPECT_EQ(wave->nBlockAlign, formats[i].channels * 2);
            EXPECT_EQ(wave->nAvgBytesPerSec, formats[i].rate * formats[i].channels * 2);
            EXPECT_EQ(caps.guid, MEDIATYPE_Audio);
            EXPECT_EQ(caps.MinimumSampleFrequency, formats[i].rate);
            EXPECT_EQ(caps.MaximumChannels, formats[i].channels);
            EXPECT_EQ(caps.MaximumBitsPerSample, 16u);
        }
        MediaTypePtr current;
        ASSERT_EQ(config->GetFormat(current.Put()), S_OK);
        EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(current->pbFormat)->nSamplesPerSec, 48000u);
        EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(current->pbFormat)->nChannels, 2);

        // 8-bit and 22.05 kHz are not among them.
        WAVEFORMATEX odd = *reinterpret_cast<const WAVEFORMATEX*>(current->pbFormat);
        odd.nSamplesPerSec = 22050;
        odd.nAvgBytesPerSec = 22050 * odd.nBlockAlign;
        current->pbFormat = reinterpret_cast<BYTE*>(&odd);
        EXPECT_EQ(config->SetFormat(current.Get()), VFW_E_INVALIDMEDIATYPE);
        current->pbFormat = nullptr; // odd is on the stack
        current->cbFormat = 0;
    }
}

// A format and suggested buffer size streamed for about a second: the sink
// is connected in that format, every sample has the suggested size, and the
// times run on without a gap at the format's rate.
TEST_F(AudioDevices, DeliverTheFormatSetInTheSuggestedBuffersWithContinuousTimes) {
    struct Case {
        DWORD rate;
        WORD channels;
        long suggestedBytes;
        long expectedBytes; // whole sample frames
    };
    const Case cases[] = {{44100, 1, 882, 882}, {48000, 2, 19201, 19200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels");
        AudioGraph g(Microphone);
        ASSERT_TRUE(g.Ready());
        ASSERT_EQ(SetFormat(g.Config().Get(), c.rate, c.channels), S_OK);
        ComRef<IAMBufferNegotiation> buffers =
            Query<IAMBufferNegotiation>(g.capture.Get(), IID_IAMBufferNegotiation);
        ALLOCATOR_PROPERTIES suggested = {-1, c.suggestedBytes, -1, -1};
        ASSERT_EQ(buffers->SuggestAllocatorProperties(&suggested), S_OK);
        ASSERT_EQ(g.Connect(), S_OK);
        EXPECT_EQ(buffers->SuggestAllocatorProperties(&suggested), VFW_E_ALREADY_CONNECTED);
        ALLOCATOR_PROPERTIES actual = {};
        ASSERT_EQ(buffers->GetAllocatorProperties(&actual), S_OK);
        EXPECT_GE(actual.cbBuffer, c.expectedBytes);

        WAVEFORMATEX wave = {};
        ASSERT_TRUE(g.sink->ConnectedWave(wave));
        EXPECT_EQ(wave.nSamplesPerSec, c.rate);
        EXPECT_EQ(wave.nChannels, c.channels);

        const long bytesPerSecond = static_cast<long>(c.rate) * c.channels * 2;
        g.Record(bytesPerSecond);
        ASSERT_EQ(g.control->Stop(), S_OK);
        const std::vector<FrameSink::Sample> samples = g.sink->Samples();
        ASSERT_GE(samples.size(), 3u);
        REFERENCE_TIME covered = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            ASSERT_TRUE(samples[i].timed);
            EXPECT_EQ(samples[i].length, c.expectedBytes) << "sample " << i;
            if (i > 0) {
                EXPECT_EQ(samples[i].start, samples[i - 1].end) << "sample " << i;
                EXPECT_FALSE(samples[i].discontinuity) << "sample " << i;
            }
            covered += samples[i].end - samples[i].start;
        }
        EXPECT_TRUE(samples[0].discontinuity);
        // Each sample's duration is its frames at the rate (to the 100 ns unit).
        const REFERENCE_TIME nominal =
            10000000LL * static_cast<LONGLONG>(g.sink->SoundSize()) / bytesPerSecond;
        EXPECT_LE(std::llabs(covered - nominal), static_cast<long long>(samples.size()));
    }
}

// The rates and channels of the formats a pin proposes, in order.
std::vector<std::pair<DWORD, WORD>> Proposed(IPin* pin) {
    std::vector<std::pair<DWORD, WORD>> formats;
    ComRef<IEnumMediaTypes> types;
    if (pin->EnumMediaTypes(types.Put()) != S_OK) {
        return formats;
    }
    MediaTypePtr type;
    while (types->Next(1, type.Put(), nullptr) == S_OK && type) {
        const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
        formats.emplace_back(wave->nSamplesPerSec, wave->nChannels);
    }
    return formats;
}

// A recorder chooses the format before it connects: from then on the pin
// proposes that one alone, keeps to it while connected, and takes no change
// unless the graph is stopped.
TEST_F(AudioDevices, SetFormatNeedsAStoppedGraphAndKeepsToTheConnection) {
    using Formats = std::vector<std::pair<DWORD, WORD>>;
    AudioGraph g(Microphone);
    ASSERT_TRUE(g.Ready());
    EXPECT_EQ(Proposed(g.capture.Get()), (Formats{{48000, 2}, {48000, 1}, {44100, 2}, {44100, 1}}));
    ASSERT_EQ(SetFormat(g.Config().Get(), 44100, 1), S_OK);
    EXPECT_EQ(Proposed(g.capture.Get()), (Formats{{44100, 1}}));

    ASSERT_EQ(g.Connect(), S_OK);
    EXPECT_EQ(SetFormat(g.Config().Get(), 48000, 2), VFW_E_ALREADY_CONNECTED);
    EXPECT_EQ(SetFormat(g.Config().Get(), 44100, 1), S_OK) << "the connection's own format is no change";
    MediaTypePtr current;
    ASSERT_EQ(g.Config()->GetFormat(current.Put()), S_OK);
    EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(current->pbFormat)->nSamplesPerSec, 44100u);

    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    EXPECT_EQ(SetFormat(g.Config().Get(), 44100, 1), VFW_E_NOT_STOPPED);
    ASSERT_EQ(g.control->Stop(), S_OK);
    EXPECT_EQ(SetFormat(g.Config().Get(), 44100, 1), S_OK);
}

TEST_F(AudioDevices, NothingIsDeliveredWhilePausedOrAfterStopReturns) {
    AudioGraph g(Mixer);
    ASSERT_TRUE(g.Ready());
    ASSERT_EQ(g.Connect(), S_OK);
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(g.audio->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    Sleep(300); // several buffers' time
    EXPECT_EQ(g.sink->FrameCount(), 0);
    EXPECT_FALSE(g.Record(48000 * 4 / 10).empty());
    ASSERT_EQ(g.control->Stop(), S_OK);
    const long stopped = g.sink->FrameCount();
    Sleep(300);
    EXPECT_EQ(g.sink->FrameCount(), stopped);
}

// What each device hears, with the card's tuner and crossbar set as the
// rows say. Pitch 0 means silence, -1 noise (low, many crossings).
TEST_F(AudioDevices, LineInCarriesTheCardsAudioOutputTheOthersTheirOwnSound) {
    struct Row {
        const wchar_t* device;
        long channel; // 0: leave the tuner as it is
        long videoInput;
        long audioInput; // -1 mutes
        double pitch;
        int peakAtLeast, peakAtMost;
    };
    const Row rows[] = {
        {LineIn, 0, 0, 3, 210.0, 15000, 16384},  // the card's start: channel 1, tuner audio
        {LineIn, 12, 0, 3, 320.0, 15000, 16384}, // 200 Hz + 10 Hz per channel
        {LineIn, 62, 0, 3, 820.0, 15000, 16384}, //
        {LineIn, 0, 1, 4, 1500.0, 15000, 16384}, // line audio with composite video
        {LineIn, 0, 2, 4, 1800.0, 15000, 16384}, // ... with S-Video
        {LineIn, 0, 0, -1, 0.0, 0, 0},           // muted
        {Mixer, 0, 0, 3, 1000.0, 7500, 8192},    // its own tone whatever the card does
        {Microphone, 0, 0, 3, -1.0, 100, 512},   // low noise
    };
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(card.Get(), IID_IAMCrossbar);
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(card.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(crossbar && tuner);
    for (const wchar_t* device : {LineIn, Mixer, Microphone}) {
        AudioGraph g(device);
        ASSERT_TRUE(g.Ready());
        ASSERT_EQ(g.Connect(), S_OK);
        for (const Row& row : rows) {
            if (row.device != device) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
            if (row.channel > 0) {
                ASSERT_EQ(tuner->put_Channel(row.channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT),
                          S_OK);
            }
            ASSERT_EQ(crossbar->Route(0, row.videoInput), S_OK);
            ASSERT_EQ(crossbar->Route(1, row.audioInput), S_OK);
            // Half a second, of which the first tenth may predate the change.
            const std::vector<BYTE> sound = g.Record(48000 * 4 / 2);
            const std::vector<short> all = FirstChannel(sound, 2);
            ASSERT_GE(all.size(), 24000u);
            const std::vector<short> heard(all.begin() + 4800, all.end());
            const int peak = Peak(heard);
            EXPECT_GE(peak, row.peakAtLeast);
            EXPECT_LE(peak, row.peakAtMost);
            const double pitch = Pitch(heard, 48000);
            if (row.pitch > 0) {
                EXPECT_NEAR(pitch, row.pitch, row.pitch * 0.02);
            } else if (row.pitch < 0) {
                EXPECT_GT(pitch, 3000.0) << "noise crosses zero far more often than any tone";
            }
        }
    }
}

TEST_F(AudioDevices, LineInIsSilentWithoutACardInTheProcess) {
    AudioGraph g(LineIn);
    ASSERT_TRUE(g.Ready());
    ASSERT_EQ(g.Connect(), S_OK);
    EXPECT_EQ(Peak(FirstChannel(g.Record(48000 * 4 / 5), 2)), 0);
}

// With two cards in one process Line In hears the one made last; once that
// one is released, the one before it; once none is left, silence.
TEST_F(AudioDevices, LineInFollowsTheCardMadeLast) {
    ComRef<IBaseFilter> first = CreateCard();
    ComRef<IBaseFilter> second = CreateCard();
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(second.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(first && tuner);
    ASSERT_EQ(tuner->put_Channel(12, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    tuner.Reset();
    AudioGraph g(LineIn);
    ASSERT_TRUE(g.Ready());
    ASSERT_EQ(g.Connect(), S_OK);
    // Half a second, of which the first tenth may predate the change.
    auto heard = [&g] {
        const std::vector<short> all = FirstChannel(g.Record(48000 * 4 / 2), 2);
        return std::vector<short>(all.begin() + static_cast<long>(std::min<size_t>(4800, all.size())),
                                  all.end());
    };
    EXPECT_NEAR(Pitch(heard(), 48000), 320.0, 320.0 * 0.02) << "the second card, on channel 12";
    second.Reset();
    EXPECT_NEAR(Pitch(heard(), 48000), 210.0, 210.0 * 0.02) << "the first card, on channel 1";
    first.Reset();
    EXPECT_EQ(Peak(heard()), 0);
}

// The way a recording program finds the pin: by category and media type
// through the capture graph builder, which then connects it downstream.
TEST_F(AudioDevices, CaptureGraphBuilderFindsAndRendersTheCapturePin) {
    AudioGraph g(Mixer);
    ASSERT_TRUE(g.Ready());
    ComRef<IAMStreamConfig> config;
    EXPECT_EQ(g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, g.audio.Get(),
                                       IID_IAMStreamConfig, config.PutVoid()),
              S_OK);
    EXPECT_EQ(g.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, g.audio.Get(), nullptr,
                                      g.sink.Get()),
              S_OK);
    WAVEFORMATEX wave = {};
    ASSERT_TRUE(g.sink->ConnectedWave(wave));
    EXPECT_EQ(wave.nSamplesPerSec, 48000u);
    EXPECT_NEAR(Pitch(FirstChannel(g.Record(48000 * 4 / 2), 2), 48000), 1000.0, 20.0);
    EXPECT_EQ(StateAfterChange(g.graph.Get()), State_Running);
    EXPECT_EQ(g.control->StopWhenReady(), S_OK);
}

// Nothing of ours downstream: the system's Sample Grabber and Null Renderer,
// as a recording program uses them, take the stream and hear the tone.
TEST_F(AudioDevices, SystemFiltersRecordTheDevice) {
    const GUID sampleGrabber = {0xC1F400A0, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
    const GUID nullRenderer = {0xC1F400A4, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
    AudioGraph g(Mixer);
    ASSERT_TRUE(g.Ready());
    ComRef<IBaseFilter> grabber, renderer;
    if (CoCreateInstance(sampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabber.PutVoid()) !=
            S_OK ||
        CoCreateInstance(nullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer.PutVoid()) !=
            S_OK) {
        GTEST_SKIP() << "no Sample Grabber or Null Renderer here";
    }
    ComRef<ISampleGrabber> grab = Query<ISampleGrabber>(grabber.Get(), IID_ISampleGrabber);
    ASSERT_TRUE(grab);
    grab->SetBufferSamples(TRUE);
    g.graph->AddFilter(grabber.Get(), L"Grabber");
    g.graph->AddFilter(renderer.Get(), L"Null");
    ASSERT_EQ(g.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, g.audio.Get(), grabber.Get(),
                                      renderer.Get()),
              S_OK);
    g.control->Run();
    std::vector<BYTE> buffer(48000 * 4);
    long size = 0;
    for (DWORD waited = 0; waited < SoundWaitMs; waited += 50) {
        size = static_cast<long>(buffer.size());
        if (grab->GetCurrentBuffer(&size, reinterpret_cast<long*>(buffer.data())) == S_OK && size > 0) {
            break;
        }
        size = 0;
        Sleep(50);
    }
    ASSERT_GT(size, 0);
    buffer.resize(static_cast<size_t>(size));
    EXPECT_NEAR(Pitch(FirstChannel(buffer, 2), 48000), 1000.0, 50.0);
    EXPECT_EQ(g.control->StopWhenReady(), S_OK);
}

} // namespace
