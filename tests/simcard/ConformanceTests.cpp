// The card as any DirectShow program meets it, pin by pin: each output pin
// accepts exactly the media types it lists (in QueryAccept, SetFormat and a
// connection) and nothing beside them, its capabilities describe those types,
// it gives back every reference it hands out, and each capture filter counts
// as a source. One loop per rule over tables of pins and of near misses.
#include "tests/simcard/SimcardTestSupport.h"

#include "simcard/base/MediaTypes.h"
#include "simcard/sink/FrameSink.h"

#include <dvdmedia.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Every pin a program finds: the card's capture pin and each sound device's pin.
struct PinCase {
    const char* what;
    REFCLSID category;
    const wchar_t* device;
    const GUID* pinCategory;
    const wchar_t* pinName;
    bool video;
};

const PinCase pinCases[] = {
    {"video capture", CLSID_VideoInputDeviceCategory, L"Narvo TV", &PIN_CATEGORY_CAPTURE, L"Capture", true},
    {"line in", CLSID_AudioInputDeviceCategory, L"SimTV Line In", &PIN_CATEGORY_CAPTURE, nullptr, false},
    {"mixer", CLSID_AudioInputDeviceCategory, L"SimTV ステレオ ミキサー", &PIN_CATEGORY_CAPTURE, nullptr,
     false},
    {"microphone", CLSID_AudioInputDeviceCategory, L"SimTV Microphone", &PIN_CATEGORY_CAPTURE, nullptr,
     false},
};

ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

std::vector<MediaType> Enumerated(IPin* pin) {
    std::vector<MediaType> types;
    ComRef<IEnumMediaTypes> list;
    if (pin->EnumMediaTypes(list.Put()) != S_OK) {
        return types;
    }
    MediaTypePtr type;
    while (list->Next(1, type.Put(), nullptr) == S_OK && type) {
        types.emplace_back(*type);
    }
    return types;
}

std::vector<MediaType> Capabilities(IAMStreamConfig* config, bool video) {
    std::vector<MediaType> types;
    int count = 0;
    int size = 0;
    if (config->GetNumberOfCapabilities(&count, &size) != S_OK) {
        return types;
    }
    EXPECT_EQ(video ? sizeof(VIDEO_STREAM_CONFIG_CAPS) : sizeof(AUDIO_STREAM_CONFIG_CAPS), size_t(size));
    for (int i = 0; i < count; ++i) {
        MediaTypePtr type;
        BYTE caps[sizeof(VIDEO_STREAM_CONFIG_CAPS)] = {};
        if (config->GetStreamCaps(i, type.Put(), caps) != S_OK || !type) {
            ADD_FAILURE() << "capability " << i;
            continue;
        }
        types.emplace_back(*type);
        if (video) {
            // A size range of one point, the type's own, at 1 to 30 frames a second.
            const auto& described = *reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps);
            const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(*type);
            EXPECT_EQ(type->formattype, described.guid) << i;
            EXPECT_EQ(bitmap->biWidth, described.MinOutputSize.cx) << i;
            EXPECT_EQ(bitmap->biWidth, described.MaxOutputSize.cx) << i;
            EXPECT_EQ(bitmap->biHeight, described.MinOutputSize.cy) << i;
            EXPECT_EQ(bitmap->biHeight, described.MaxOutputSize.cy) << i;
            EXPECT_EQ(333333, described.MinFrameInterval) << i;
            EXPECT_EQ(10000000, described.MaxFrameInterval) << i;
            EXPECT_EQ(LONG(bitmap->biSizeImage) * 8, described.MinBitsPerSecond) << i;
        } else {
            const auto& described = *reinterpret_cast<AUDIO_STREAM_CONFIG_CAPS*>(caps);
            const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
            EXPECT_EQ(wave->nChannels, described.MinimumChannels) << i;
            EXPECT_EQ(wave->nChannels, described.MaximumChannels) << i;
            EXPECT_EQ(wave->nSamplesPerSec, described.MinimumSampleFrequency) << i;
            EXPECT_EQ(wave->nSamplesPerSec, described.MaximumSampleFrequency) << i;
            EXPECT_EQ(wave->wBitsPerSample, described.MinimumBitsPerSample) << i;
        }
    }
    return types;
}

// Same format in every field a program reads.
bool SameFormat(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype) {
        return false;
    }
    const BITMAPINFOHEADER* x = MediaTypes::Bitmap(a);
    const BITMAPINFOHEADER* y = MediaTypes::Bitmap(b);
    if (x && y) {
        return x->biWidth == y->biWidth && x->biHeight == y->biHeight && x->biBitCount == y->biBitCount &&
               x->biCompression == y->biCompression && x->biSizeImage == y->biSizeImage;
    }
    if (a.formattype == FORMAT_WaveFormatEx && a.pbFormat && b.pbFormat &&
        a.cbFormat >= sizeof(PCMWAVEFORMAT) && b.cbFormat >= sizeof(PCMWAVEFORMAT)) {
        return std::memcmp(a.pbFormat, b.pbFormat, sizeof(PCMWAVEFORMAT)) == 0;
    }
    return false;
}

bool Listed(const std::vector<MediaType>& list, const AM_MEDIA_TYPE& type) {
    for (const MediaType& known : list) {
        if (SameFormat(known.Get(), type)) {
            return true;
        }
    }
    return false;
}

// A picture format built the way any program builds one, independently of the card.
MediaType Picture(const GUID& subtype, LONG width, LONG height, bool videoInfo2) {
    struct Layout {
        const GUID* subtype;
        WORD bits;
        DWORD compression;
    };
    const Layout layouts[] = {
        {&MEDIASUBTYPE_RGB32, 32, BI_RGB},
        {&MEDIASUBTYPE_RGB24, 24, BI_RGB},
        {&MEDIASUBTYPE_RGB565, 16, BI_BITFIELDS},
        {&MEDIASUBTYPE_RGB555, 16, BI_RGB},
        {&MEDIASUBTYPE_YUY2, 16, MAKEFOURCC('Y', 'U', 'Y', '2')},
    };
    BITMAPINFOHEADER header = {};
    for (const Layout& layout : layouts) {
        if (*layout.subtype == subtype) {
            header.biBitCount = layout.bits;
            header.biCompression = layout.compression;
        }
    }
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biSizeImage = DWORD(((width * header.biBitCount / 8 + 3) & ~3) * height);
    BYTE block[sizeof(VIDEOINFOHEADER2) + 12] = {};
    if (videoInfo2) {
        auto* info = reinterpret_cast<VIDEOINFOHEADER2*>(block);
        info->AvgTimePerFrame = 333333;
        info->bmiHeader = header;
    } else {
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(block);
        info->AvgTimePerFrame = 333333;
        info->bmiHeader = header;
    }
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    const ULONG headerSize = videoInfo2 ? sizeof(VIDEOINFOHEADER2) : sizeof(VIDEOINFOHEADER);
    const bool withMasks = header.biCompression == BI_BITFIELDS;
    if (withMasks) {
        std::memcpy(block + headerSize, masks, sizeof masks);
    }
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = header.biSizeImage;
    type.formattype = videoInfo2 ? FORMAT_VideoInfo2 : FORMAT_VideoInfo;
    type.cbFormat = headerSize + (withMasks ? sizeof masks : 0);
    type.pbFormat = block;
    return MediaType(type);
}

MediaType Sound(WORD channels, DWORD rate, WORD bits) {
    WAVEFORMATEX wave = {};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = channels;
    wave.nSamplesPerSec = rate;
    wave.wBitsPerSample = bits;
    wave.nBlockAlign = WORD(channels * bits / 8);
    wave.nAvgBytesPerSec = rate * wave.nBlockAlign;
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = wave.nBlockAlign;
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = sizeof wave;
    type.pbFormat = reinterpret_cast<BYTE*>(&wave);
    return MediaType(type);
}

// What a program might try beside the listed types: every other subtype and
// size, and each listed type with a wrong image size, a wrong block size, a
// missing or a short format block. Those of them the pin lists must be taken,
// the rest refused.
struct NearMiss {
    std::string what;
    MediaType type;
};

std::vector<NearMiss> NearMisses(const std::vector<MediaType>& listed, bool video) {
    std::vector<NearMiss> misses;
    if (video) {
        const GUID* subtypes[] = {&MEDIASUBTYPE_RGB32, &MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_RGB565,
                                  &MEDIASUBTYPE_RGB555, &MEDIASUBTYPE_YUY2};
        const SIZE sizes[] = {{160, 120}, {320, 240}, {352, 240}, {640, 480}, {720, 480}, {720, 576}};
        for (const GUID* subtype : subtypes) {
            for (const SIZE& size : sizes) {
                for (bool videoInfo2 : {false, true}) {
                    misses.push_back({std::string(MediaTypes::SubtypeName(*subtype)) + " " +
                                          std::to_string(size.cx) + "x" + std::to_string(size.cy) +
                                          (videoInfo2 ? " VIDEOINFOHEADER2" : ""),
                                      Picture(*subtype, size.cx, size.cy, videoInfo2)});
                }
            }
        }
    } else {
        for (WORD channels : {1, 2, 6}) {
            for (DWORD rate : {8000u, 22050u, 44100u, 48000u, 96000u}) {
                for (WORD bits : {8, 16, 24}) {
                    misses.push_back({std::to_string(channels) + " channels " + std::to_string(rate) +
                                          " Hz " + std::to_string(bits) + " bits",
                                      Sound(channels, rate, bits)});
                }
            }
        }
    }
    for (size_t i = 0; i < listed.size(); ++i) {
        const std::string name = "listed #" + std::to_string(i);
        MediaType broken = listed[i];
        if (BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(broken.Get())) {
            bitmap->biSizeImage += 4;
            misses.push_back({name + " with an image size 4 bytes too large", broken});
        } else {
            auto* wave = reinterpret_cast<WAVEFORMATEX*>(broken.Get().pbFormat);
            wave->nBlockAlign = WORD(wave->nBlockAlign * 2);
            misses.push_back({name + " with a block twice the size", broken});
        }
        MediaType other = listed[i];
        other.Get().majortype = video ? MEDIATYPE_Audio : MEDIATYPE_Video;
        misses.push_back({name + " of the other major type", other});

        // The card's types own their blocks; these borrow theirs from the listed type.
        AM_MEDIA_TYPE blockless = listed[i].Get();
        blockless.cbFormat = 0;
        blockless.pbFormat = nullptr;
        misses.push_back({name + " without a format block", MediaType(blockless)});
        AM_MEDIA_TYPE shortBlock = listed[i].Get();
        shortBlock.cbFormat = video ? sizeof(VIDEOINFOHEADER) - sizeof(BITMAPINFOHEADER) : sizeof(WORD) * 3;
        misses.push_back({name + " with a short format block", MediaType(shortBlock)});
    }
    return misses;
}

class CardConformance : public ::testing::Test {
protected:
    struct Pin {
        ComRef<IBaseFilter> filter;
        ComRef<IPin> pin;
        ComRef<IAMStreamConfig> config;
    };

    Pin Open(const PinCase& c) {
        Pin found;
        found.filter = BindDevice(c.category, c.device);
        if (found.filter) {
            found.pin = FindPin(found.filter.Get(), PINDIR_OUTPUT, c.pinCategory);
        }
        if (found.pin) {
            found.config = Query<IAMStreamConfig>(found.pin.Get(), IID_IAMStreamConfig);
        }
        return found;
    }

    // A new graph holding the pin's filter and a sink, not yet connected.
    static bool InGraphWithSink(const Pin& opened, const wchar_t* name, ComRef<IGraphBuilder>& graph,
                                ComRef<FrameSink>& sink) {
        if (CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                             graph.PutVoid()) != S_OK) {
            return false;
        }
        sink = ComRef<FrameSink>(FrameSink::Create());
        return graph->AddFilter(opened.filter.Get(), name) == S_OK &&
               graph->AddFilter(sink.Get(), L"Sink") == S_OK;
    }

    ComApartment apartment;
};

TEST_F(CardConformance, EachPinTellsItsDirectionCategoryAndNameAndEachFilterCountsAsASource) {
    for (const PinCase& c : pinCases) {
        SCOPED_TRACE(c.what);
        Pin opened = Open(c);
        ASSERT_TRUE(opened.pin);
        PIN_DIRECTION direction = PINDIR_INPUT;
        ASSERT_EQ(S_OK, opened.pin->QueryDirection(&direction));
        EXPECT_EQ(PINDIR_OUTPUT, direction);
        PIN_INFO info = {};
        ASSERT_EQ(S_OK, opened.pin->QueryPinInfo(&info));
        EXPECT_EQ(opened.filter.Get(), info.pFilter);
        EXPECT_NE(L'\0', info.achName[0]);
        if (c.pinName) {
            EXPECT_STREQ(c.pinName, info.achName);
        }
        if (info.pFilter) {
            info.pFilter->Release();
        }

        ComRef<IKsPropertySet> properties = Query<IKsPropertySet>(opened.pin.Get(), IID_IKsPropertySet);
        ASSERT_TRUE(properties);
        GUID category = GUID_NULL;
        DWORD returned = 0;
        EXPECT_EQ(S_OK, properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                                        sizeof category, &returned));
        EXPECT_EQ(*c.pinCategory, category);
        EXPECT_EQ(sizeof category, returned);
        // The category is the pin's; a program cannot change it.
        DWORD support = 0;
        EXPECT_EQ(S_OK, properties->QuerySupported(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, &support));
        EXPECT_EQ(DWORD(KSPROPERTY_SUPPORT_GET), support);

        ComRef<IAMFilterMiscFlags> flags =
            Query<IAMFilterMiscFlags>(opened.filter.Get(), IID_IAMFilterMiscFlags);
        ASSERT_TRUE(flags);
        EXPECT_EQ(ULONG(AM_FILTER_MISC_FLAGS_IS_SOURCE), flags->GetMiscFlags());
    }
}

TEST_F(CardConformance, EachPinTakesExactlyWhatItListsInQueryAcceptSetFormatAndAConnection) {
    for (const PinCase& c : pinCases) {
        SCOPED_TRACE(c.what);
        Pin opened = Open(c);
        ASSERT_TRUE(opened.pin && opened.config);
        const std::vector<MediaType> listed = Enumerated(opened.pin.Get());
        const std::vector<MediaType> capabilities = Capabilities(opened.config.Get(), c.video);
        ASSERT_FALSE(listed.empty());
        // The capabilities and the enumeration name the same formats (the
        // enumeration starts with the current one, a capability too).
        for (const MediaType& capability : capabilities) {
            EXPECT_TRUE(Listed(listed, capability.Get()));
        }
        for (const MediaType& type : listed) {
            EXPECT_TRUE(Listed(capabilities, type.Get()));
        }

        ComRef<IGraphBuilder> graph;
        ComRef<FrameSink> sink;
        ASSERT_TRUE(InGraphWithSink(opened, c.device, graph, sink));

        std::vector<NearMiss> cases;
        for (size_t i = 0; i < listed.size(); ++i) {
            cases.push_back({"listed #" + std::to_string(i), listed[i]});
        }
        for (NearMiss& miss : NearMisses(listed, c.video)) {
            cases.push_back(std::move(miss));
        }
        for (const NearMiss& tried : cases) {
            SCOPED_TRACE(tried.what);
            const bool taken = Listed(listed, tried.type.Get());
            AM_MEDIA_TYPE type = tried.type.Get();
            EXPECT_EQ(taken ? S_OK : S_FALSE, opened.pin->QueryAccept(&type));
            EXPECT_EQ(taken ? S_OK : VFW_E_INVALIDMEDIATYPE, opened.config->SetFormat(&type));
            const HRESULT connected = graph->ConnectDirect(opened.pin.Get(), sink->Input(), &type);
            EXPECT_EQ(taken, connected == S_OK) << std::hex << connected;
            if (connected == S_OK) {
                // The connection is the format asked for, and GetFormat says so.
                AM_MEDIA_TYPE now = {};
                EXPECT_EQ(S_OK, opened.pin->ConnectionMediaType(&now));
                EXPECT_TRUE(SameFormat(tried.type.Get(), now));
                FreeMediaTypeContents(now);
                MediaTypePtr current;
                EXPECT_EQ(S_OK, opened.config->GetFormat(current.Put()));
                EXPECT_TRUE(current && SameFormat(tried.type.Get(), *current));
                graph->Disconnect(opened.pin.Get());
                graph->Disconnect(sink->Input());
            }
        }
        graph->RemoveFilter(sink.Get());
        graph->RemoveFilter(opened.filter.Get());
    }
}

// Every order of three state changes from stopped, then a stop, on the filter
// alone and with its pin connected (then through the graph, so the sink
// follows). A live source delivers nothing while paused: the documented
// answer to GetState then is VFW_S_CANT_CUE, which the card gives.
TEST_F(CardConformance, EveryOrderOfStateChangesEndsWhereItWasAsked) {
    enum Step { Stop, Pause, Run };
    const char* const names[] = {"stop", "pause", "run"};
    const FILTER_STATE states[] = {State_Stopped, State_Paused, State_Running};
    for (const PinCase& c : pinCases) {
        for (bool connected : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (connected ? ", connected" : ", alone"));
            Pin opened = Open(c);
            ASSERT_TRUE(opened.pin);
            ComRef<IGraphBuilder> graph;
            ComRef<FrameSink> sink;
            ASSERT_TRUE(InGraphWithSink(opened, c.device, graph, sink));
            if (connected) {
                ASSERT_EQ(S_OK, graph->ConnectDirect(opened.pin.Get(), sink->Input(), nullptr));
            }
            ComRef<IMediaControl> control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
            ASSERT_TRUE(control);
            auto take = [&](int step) {
                if (connected) {
                    return step == Stop ? control->Stop() : step == Pause ? control->Pause() : control->Run();
                }
                return step == Stop    ? opened.filter->Stop()
                       : step == Pause ? opened.filter->Pause()
                                       : opened.filter->Run(0);
            };
            for (int order = 0; order < 27; ++order) {
                const int steps[] = {order / 9, order / 3 % 3, order % 3, Stop};
                std::string path;
                for (int step : steps) {
                    path += std::string(path.empty() ? "" : " ") + names[step];
                    SCOPED_TRACE(path);
                    EXPECT_TRUE(SUCCEEDED(take(step)));
                    FILTER_STATE state = State_Stopped;
                    const HRESULT answer = opened.filter->GetState(connected ? 500 : 0, &state);
                    EXPECT_EQ(states[step], state);
                    EXPECT_EQ(step == Pause ? VFW_S_CANT_CUE : S_OK, answer);
                }
            }
            if (connected) {
                graph->Disconnect(opened.pin.Get());
                graph->Disconnect(sink->Input());
            }
            graph->RemoveFilter(sink.Get());
            graph->RemoveFilter(opened.filter.Get());
        }
    }
}

// What a recorder reads off each sample, for every format each pin lists: a
// time stamp, a length the format promises, the first sample marked as a
// discontinuity, and times that follow on: a picture every frame duration,
// sound without gaps, each buffer as long as its bytes last.
TEST_F(CardConformance, EveryListedFormatDeliversSamplesARecorderCanTrust) {
    constexpr long Samples = 4;
    constexpr DWORD WaitMs = 30000; // against a hang, not a timing check
    for (const PinCase& c : pinCases) {
        Pin probe = Open(c);
        ASSERT_TRUE(probe.pin);
        const std::vector<MediaType> listed = Enumerated(probe.pin.Get());
        for (size_t i = 0; i < listed.size(); ++i) {
            SCOPED_TRACE(std::string(c.what) + ", listed #" + std::to_string(i));
            Pin opened = Open(c);
            ComRef<IGraphBuilder> graph;
            ComRef<FrameSink> sink;
            ASSERT_TRUE(InGraphWithSink(opened, c.device, graph, sink));
            AM_MEDIA_TYPE type = listed[i].Get();
            ASSERT_EQ(S_OK, graph->ConnectDirect(opened.pin.Get(), sink->Input(), &type));
            ComRef<IMediaControl> control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
            ASSERT_EQ(S_OK, control->Run());
            ASSERT_LE(Samples, sink->WaitForFrames(Samples, WaitMs));
            control->Stop();
            const std::vector<FrameSink::Sample> samples = sink->Samples();
            ASSERT_LE(size_t(Samples), samples.size());
            EXPECT_TRUE(samples[0].discontinuity);
            const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(type);
            const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
            for (size_t k = 0; k < samples.size(); ++k) {
                SCOPED_TRACE("sample " + std::to_string(k));
                const FrameSink::Sample& sample = samples[k];
                ASSERT_TRUE(sample.timed);
                ASSERT_LT(sample.start, sample.end);
                if (bitmap) {
                    EXPECT_EQ(LONG(bitmap->biSizeImage), sample.length);
                    EXPECT_EQ(*MediaTypes::FrameDuration(type), sample.end - sample.start);
                } else {
                    ASSERT_GT(sample.length, 0);
                    EXPECT_EQ(0, sample.length % wave->nBlockAlign);
                    EXPECT_EQ(REFERENCE_TIME(sample.length) * 10000000 / wave->nAvgBytesPerSec,
                              sample.end - sample.start);
                }
                if (k > 0 && !sample.discontinuity) {
                    EXPECT_EQ(samples[k - 1].end, sample.start);
                }
            }
            graph->Disconnect(opened.pin.Get());
            graph->Disconnect(sink->Input());
            graph->RemoveFilter(sink.Get());
            graph->RemoveFilter(opened.filter.Get());
        }
    }
}

TEST_F(CardConformance, EveryEnumerationAndQueryGivesItsReferencesBack) {
    for (const PinCase& c : pinCases) {
        SCOPED_TRACE(c.what);
        Pin opened = Open(c);
        ASSERT_TRUE(opened.pin && opened.config);
        const ULONG pinBefore = References(opened.pin.Get());
        const ULONG filterBefore = References(opened.filter.Get());
        const std::vector<std::pair<const char*, std::function<void()>>> steps = {
            {"EnumMediaTypes", [&] { Enumerated(opened.pin.Get()); }},
            {"GetStreamCaps", [&] { Capabilities(opened.config.Get(), c.video); }},
            {"QueryPinInfo",
             [&] {
                 PIN_INFO info = {};
                 if (opened.pin->QueryPinInfo(&info) == S_OK && info.pFilter) {
                     info.pFilter->Release();
                 }
             }},
            {"EnumPins",
             [&] {
                 ComRef<IEnumPins> pins;
                 opened.filter->EnumPins(pins.Put());
                 IPin* pin = nullptr;
                 while (pins && pins->Next(1, &pin, nullptr) == S_OK) {
                     pin->Release();
                 }
             }},
            {"QueryInterface",
             [&] {
                 for (REFIID iid : {IID_IPin, IID_IKsPropertySet, IID_IAMStreamConfig}) {
                     Query<IUnknown>(opened.pin.Get(), iid);
                 }
                 for (REFIID iid : {IID_IBaseFilter, IID_IAMFilterMiscFlags, IID_IPersistPropertyBag}) {
                     Query<IUnknown>(opened.filter.Get(), iid);
                 }
             }},
            {"GetFormat",
             [&] {
                 MediaTypePtr current;
                 opened.config->GetFormat(current.Put());
             }},
        };
        for (const auto& step : steps) {
            SCOPED_TRACE(step.first);
            step.second();
            EXPECT_EQ(pinBefore, References(opened.pin.Get()));
            EXPECT_EQ(filterBefore, References(opened.filter.Get()));
        }
    }
}

} // namespace
