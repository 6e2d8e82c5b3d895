// The card's control interfaces and their rules, the journal and fault
// injection, on a card made by its class or found by the viewer's route.
#include "tests/simcard/SimcardTestSupport.h"

#include <dvdmedia.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

class CardControls : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CardCanUnloadNow(), S_OK); }
    ComApartment com;
};

// --- Crossbar -----------------------------------------------------------

TEST_F(CardControls, CrossbarListsTheCardsConnectors) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(card.Get(), IID_IAMCrossbar);
    ASSERT_TRUE(crossbar);
    LONG outputs = 0, inputs = 0;
    ASSERT_EQ(crossbar->get_PinCounts(&outputs, &inputs), S_OK);
    ASSERT_EQ(outputs, 2);
    ASSERT_EQ(inputs, 5);
    const LONG inputTypes[] = {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Video_SVideo,
                               PhysConn_Audio_Tuner, PhysConn_Audio_Line};
    // The sound that goes with each picture input, and back: a program routes them in pairs.
    const LONG inputRelated[] = {3, 4, 4, 0, 1};
    for (LONG i = 0; i < inputs; ++i) {
        LONG related = -1, type = -1;
        ASSERT_EQ(crossbar->get_CrossbarPinInfo(TRUE, i, &related, &type), S_OK);
        EXPECT_EQ(type, inputTypes[i]);
        EXPECT_EQ(related, inputRelated[i]) << "input " << i;
    }
    LONG related = -1, type = -1;
    EXPECT_EQ(crossbar->get_CrossbarPinInfo(FALSE, 0, &related, &type), S_OK);
    EXPECT_EQ(type, PhysConn_Video_VideoDecoder);
    EXPECT_EQ(related, 1);
    EXPECT_EQ(crossbar->get_CrossbarPinInfo(FALSE, 1, &related, &type), S_OK);
    EXPECT_EQ(type, PhysConn_Audio_AudioDecoder);
    EXPECT_EQ(related, 0);
    EXPECT_EQ(crossbar->get_CrossbarPinInfo(TRUE, 5, &related, &type), E_INVALIDARG);
    EXPECT_EQ(crossbar->get_CrossbarPinInfo(FALSE, -1, &related, &type), E_INVALIDARG);
}

TEST_F(CardControls, CrossbarRoutesOnlyWhatARealCrossbarRoutes) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(card.Get(), IID_IAMCrossbar);
    ASSERT_TRUE(crossbar);
    for (LONG video = 0; video < 3; ++video) {
        EXPECT_EQ(crossbar->CanRoute(0, video), S_OK);
        EXPECT_NE(crossbar->CanRoute(1, video), S_OK) << "video input to the audio decoder";
        EXPECT_NE(crossbar->Route(1, video), S_OK);
    }
    for (LONG audio = 3; audio < 5; ++audio) {
        EXPECT_EQ(crossbar->CanRoute(1, audio), S_OK);
        EXPECT_NE(crossbar->CanRoute(0, audio), S_OK) << "audio input to the video decoder";
        EXPECT_NE(crossbar->Route(0, audio), S_OK);
    }
    EXPECT_NE(crossbar->CanRoute(0, 5), S_OK);
    EXPECT_NE(crossbar->CanRoute(2, 0), S_OK);
    EXPECT_NE(crossbar->CanRoute(-1, 0), S_OK);
    EXPECT_NE(crossbar->CanRoute(0, -1), S_OK) << "the video decoder cannot be left without input";

    LONG routed = -2;
    ASSERT_EQ(crossbar->Route(0, 2), S_OK);
    ASSERT_EQ(crossbar->get_IsRoutedTo(0, &routed), S_OK);
    EXPECT_EQ(routed, 2);
    ASSERT_EQ(crossbar->CanRoute(1, -1), S_OK);
    ASSERT_EQ(crossbar->Route(1, -1), S_OK);
    ASSERT_EQ(crossbar->get_IsRoutedTo(1, &routed), S_OK);
    EXPECT_EQ(routed, -1);
    ASSERT_EQ(crossbar->Route(1, 3), S_OK);
    ASSERT_EQ(crossbar->get_IsRoutedTo(1, &routed), S_OK);
    EXPECT_EQ(routed, 3);
    ASSERT_EQ(crossbar->Route(0, 4), E_INVALIDARG);
    ASSERT_EQ(crossbar->get_IsRoutedTo(0, &routed), S_OK);
    EXPECT_EQ(routed, 2) << "a refused route changes nothing";
}

TEST_F(CardControls, CrossbarVariants) {
    {
        ScopedEnvironment variant(L"SIMTV_VARIANT", L"CrossbarNoInputs");
        ComRef<IBaseFilter> card = CreateCard();
        ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(card.Get(), IID_IAMCrossbar);
        ASSERT_TRUE(crossbar);
        LONG outputs = 0, inputs = -1;
        ASSERT_EQ(crossbar->get_PinCounts(&outputs, &inputs), S_OK);
        EXPECT_EQ(inputs, 0);
        EXPECT_NE(crossbar->CanRoute(0, -1), S_OK);
        EXPECT_NE(crossbar->CanRoute(0, 0), S_OK);
    }
    {
        ScopedEnvironment variant(L"SIMTV_VARIANT", L"NoCrossbar,NoTuner");
        ComRef<IBaseFilter> card = CreateCard();
        EXPECT_FALSE(Query<IAMCrossbar>(card.Get(), IID_IAMCrossbar));
        EXPECT_FALSE(Query<IAMTVTuner>(card.Get(), IID_IAMTVTuner));
        EXPECT_TRUE(Query<IAMVideoProcAmp>(card.Get(), IID_IAMVideoProcAmp));
    }
}

// --- Tuner and TV audio ---------------------------------------------------

TEST_F(CardControls, TunerTakesTheJapaneseSetUpAndChannels1To62) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(card.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(tuner);
    EXPECT_EQ(tuner->put_CountryCode(81), S_OK);
    EXPECT_EQ(tuner->put_TuningSpace(0), S_OK);
    EXPECT_EQ(tuner->put_Mode(AMTUNER_MODE_TV), S_OK);
    EXPECT_EQ(tuner->put_ConnectInput(0), S_OK);
    EXPECT_EQ(tuner->put_InputType(0, TunerInputAntenna), S_OK);
    LONG min = 0, max = 0;
    ASSERT_EQ(tuner->ChannelMinMax(&min, &max), S_OK);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 62);

    for (LONG channel : {1L, 30L, 62L}) {
        EXPECT_EQ(tuner->put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
        LONG current = 0, video = 0, audio = 0;
        ASSERT_EQ(tuner->get_Channel(&current, &video, &audio), S_OK);
        EXPECT_EQ(current, channel);
    }
    for (LONG channel : {0L, 63L, -1L}) {
        EXPECT_NE(tuner->put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    }
    LONG current = 0, video = 0, audio = 0;
    tuner->get_Channel(&current, &video, &audio);
    EXPECT_EQ(current, 62) << "a refused channel keeps the tuned one";

    EXPECT_NE(tuner->put_Mode(AMTUNER_MODE_FM_RADIO), S_OK);
    EXPECT_NE(tuner->put_ConnectInput(1), S_OK);
    EXPECT_NE(tuner->put_InputType(1, TunerInputAntenna), S_OK);
    EXPECT_NE(tuner->put_CountryCode(999), S_OK);
    LONG country = 0;
    tuner->get_CountryCode(&country);
    EXPECT_EQ(country, 81);
}

// The USA's channels 2 to 69 once the country says so; a channel the new
// country lacks gives way to its first. The carriers follow the channel plan.
TEST_F(CardControls, TunerFollowsTheCountrysChannelsAndCarriers) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(card.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(tuner);
    auto tuned = [&tuner] {
        LONG channel = 0, video = 0, audio = 0;
        tuner->get_Channel(&channel, &video, &audio);
        return channel;
    };
    auto carriers = [&tuner] {
        LONG video = 0, audio = 0;
        tuner->get_VideoFrequency(&video);
        tuner->get_AudioFrequency(&audio);
        return std::make_pair(video, audio);
    };
    EXPECT_EQ(carriers(), std::make_pair(91250000L, 95750000L)) << "channel 1";
    ASSERT_EQ(tuner->put_Channel(13, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    EXPECT_EQ(carriers(), std::make_pair(471250000L, 475750000L)) << "channel 13, the first UHF one";
    ASSERT_EQ(tuner->put_Channel(1, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);

    ASSERT_EQ(tuner->put_CountryCode(1), S_OK);
    EXPECT_EQ(tuned(), 2) << "the USA has no channel 1";
    LONG min = 0, max = 0;
    ASSERT_EQ(tuner->ChannelMinMax(&min, &max), S_OK);
    EXPECT_EQ(std::make_pair(min, max), std::make_pair(2L, 69L));
    EXPECT_EQ(tuner->put_Channel(69, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    EXPECT_EQ(carriers(), std::make_pair(801250000L, 805750000L)) << "channel 69";
    EXPECT_NE(tuner->put_Channel(70, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    LONG standard = 0;
    ASSERT_EQ(tuner->get_TVFormat(&standard), S_OK);
    EXPECT_EQ(standard, AnalogVideo_NTSC_M);

    ASSERT_EQ(tuner->put_CountryCode(81), S_OK);
    EXPECT_EQ(tuned(), 1) << "Japan has no channel 69";
}

TEST_F(CardControls, TunerReportsSignalOnStationChannelsOnly) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(card.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(tuner);
    LONG strength = -5;
    ASSERT_EQ(tuner->put_Channel(4, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    ASSERT_EQ(tuner->SignalPresent(&strength), S_OK);
    EXPECT_EQ(strength, AMTUNER_SIGNALPRESENT);
    ASSERT_EQ(tuner->put_Channel(5, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), S_OK);
    ASSERT_EQ(tuner->SignalPresent(&strength), S_OK);
    EXPECT_EQ(strength, AMTUNER_NOSIGNAL);
}

TEST_F(CardControls, TvAudioOffersStereo) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMTVAudio> tvAudio = Query<IAMTVAudio>(card.Get(), IID_IAMTVAudio);
    ASSERT_TRUE(tvAudio);
    LONG modes = 0;
    ASSERT_EQ(tvAudio->GetHardwareSupportedTVAudioModes(&modes), S_OK);
    EXPECT_TRUE(modes & AMTVAUDIO_MODE_STEREO);
    EXPECT_EQ(tvAudio->put_TVAudioMode(AMTVAUDIO_MODE_MONO), S_OK);
    EXPECT_EQ(tvAudio->put_TVAudioMode(AMTVAUDIO_MODE_STEREO), S_OK);
    LONG mode = 0;
    ASSERT_EQ(tvAudio->get_TVAudioMode(&mode), S_OK);
    EXPECT_EQ(mode, AMTVAUDIO_MODE_STEREO);
    EXPECT_NE(tvAudio->put_TVAudioMode(AMTVAUDIO_MODE_MONO | AMTVAUDIO_MODE_STEREO), S_OK);
    EXPECT_NE(tvAudio->put_TVAudioMode(AMTVAUDIO_MODE_LANG_C), S_OK);
    EXPECT_NE(tvAudio->put_TVAudioMode(0), S_OK);
}

// --- Picture adjustment and compression ----------------------------------

TEST_F(CardControls, ProcAmpHasSixSettingsWithRangesAndDefaults) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMVideoProcAmp> procAmp = Query<IAMVideoProcAmp>(card.Get(), IID_IAMVideoProcAmp);
    ASSERT_TRUE(procAmp);
    for (LONG property : {VideoProcAmp_Brightness, VideoProcAmp_Contrast, VideoProcAmp_Hue,
                          VideoProcAmp_Saturation, VideoProcAmp_Sharpness, VideoProcAmp_Gamma}) {
        LONG min = 0, max = 0, step = 0, defaultValue = 0, caps = 0, value = 0, flags = 0;
        ASSERT_EQ(procAmp->GetRange(property, &min, &max, &step, &defaultValue, &caps), S_OK) << property;
        EXPECT_LT(min, max);
        EXPECT_GT(step, 0);
        EXPECT_TRUE(defaultValue >= min && defaultValue <= max);
        ASSERT_EQ(procAmp->Get(property, &value, &flags), S_OK);
        EXPECT_EQ(value, defaultValue);
        EXPECT_EQ(procAmp->Set(property, max, VideoProcAmp_Flags_Manual), S_OK);
        ASSERT_EQ(procAmp->Get(property, &value, &flags), S_OK);
        EXPECT_EQ(value, max);
        EXPECT_NE(procAmp->Set(property, max + 1, VideoProcAmp_Flags_Manual), S_OK);
        EXPECT_NE(procAmp->Set(property, min - 1, VideoProcAmp_Flags_Manual), S_OK);
        EXPECT_NE(procAmp->Set(property, defaultValue, VideoProcAmp_Flags_Auto), S_OK) << "manual only";
    }
    LONG value = 0, flags = 0;
    EXPECT_EQ(procAmp->Get(VideoProcAmp_WhiteBalance, &value, &flags), E_PROP_ID_UNSUPPORTED);
}

TEST_F(CardControls, PagesAreListedOnTheProcAmpInterface) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMVideoProcAmp> procAmp = Query<IAMVideoProcAmp>(card.Get(), IID_IAMVideoProcAmp);
    ComRef<ISpecifyPropertyPages> pages =
        Query<ISpecifyPropertyPages>(procAmp.Get(), IID_ISpecifyPropertyPages);
    ASSERT_TRUE(pages);
    PropertyPageList list;
    ASSERT_EQ(pages->GetPages(list.Put()), S_OK);
    EXPECT_EQ(list.Count(), 3u);

    ScopedEnvironment variant(L"SIMTV_VARIANT", L"OnePage");
    ComRef<IBaseFilter> onePageCard = CreateCard();
    pages = Query<ISpecifyPropertyPages>(onePageCard.Get(), IID_ISpecifyPropertyPages);
    ASSERT_EQ(pages->GetPages(list.Put()), S_OK);
    EXPECT_EQ(list.Count(), 1u);
}

// --- Stream configuration and compression, found as the viewer finds them --

class ViewerRoute : public CardControls {
protected:
    void SetUp() override {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         graph.PutVoid());
        CoCreateInstance(CLSID_CaptureGraphBuilder, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder,
                         builder.PutVoid());
        card = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV");
        ASSERT_TRUE(graph && builder && card);
        ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
        ASSERT_EQ(graph->AddFilter(card.Get(), L"Narvo TV"), S_OK);
    }
    void TearDown() override {
        card.Reset();
        builder.Reset();
        graph.Reset();
        CardControls::TearDown();
    }
    template <typename T> ComRef<T> Find(const GUID* category, REFIID iid) {
        ComRef<T> found;
        EXPECT_EQ(builder->FindInterface(category, card.Get(), iid, found.PutVoid()), S_OK);
        return found;
    }

    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder> builder;
    ComRef<IBaseFilter> card;
};

TEST_F(ViewerRoute, FindInterfaceFindsEveryControl) {
    EXPECT_TRUE(Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig));
    EXPECT_TRUE(Find<IAMVideoCompression>(&PIN_CATEGORY_CAPTURE, IID_IAMVideoCompression));
    EXPECT_TRUE(Find<IAMVideoProcAmp>(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp));
    EXPECT_TRUE(Find<IAMCrossbar>(nullptr, IID_IAMCrossbar));
    EXPECT_TRUE(Find<IAMTVTuner>(nullptr, IID_IAMTVTuner));
    EXPECT_TRUE(Find<IAMTVAudio>(nullptr, IID_IAMTVAudio));
}

TEST_F(ViewerRoute, CompressionTakesQualityFrom0To1) {
    ComRef<IAMVideoCompression> compression =
        Find<IAMVideoCompression>(&PIN_CATEGORY_CAPTURE, IID_IAMVideoCompression);
    ASSERT_TRUE(compression);
    LONG keyFrames = 0, pFrames = 0, caps = 0;
    double quality = -1;
    ASSERT_EQ(compression->GetInfo(nullptr, nullptr, nullptr, nullptr, &keyFrames, &pFrames, &quality, &caps),
              S_OK);
    EXPECT_TRUE(caps & CompressionCaps_CanQuality);
    for (double value : {0.0, 0.5, 1.0}) {
        EXPECT_EQ(compression->put_Quality(value), S_OK);
        ASSERT_EQ(compression->get_Quality(&quality), S_OK);
        EXPECT_EQ(quality, value);
    }
    EXPECT_NE(compression->put_Quality(-0.01), S_OK);
    EXPECT_NE(compression->put_Quality(1.01), S_OK);
    compression->get_Quality(&quality);
    EXPECT_EQ(quality, 1.0);
}

struct Capability {
    GUID subtype;
    GUID formattype;
    LONG width;
    LONG height;
    WORD bits;
    bool operator<(const Capability& o) const {
        return std::tie(subtype.Data1, formattype.Data1, width, height, bits) <
               std::tie(o.subtype.Data1, o.formattype.Data1, o.width, o.height, o.bits);
    }
};

std::vector<Capability> Catalogue(IAMStreamConfig* config) {
    std::vector<Capability> list;
    int count = 0, size = 0;
    if (config->GetNumberOfCapabilities(&count, &size) != S_OK || size != sizeof(VIDEO_STREAM_CONFIG_CAPS)) {
        return list;
    }
    for (int i = 0; i < count; ++i) {
        MediaTypePtr type;
        VIDEO_STREAM_CONFIG_CAPS caps;
        if (config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)) != S_OK) {
            continue;
        }
        const BITMAPINFOHEADER& header = type->formattype == FORMAT_VideoInfo2
                                             ? reinterpret_cast<VIDEOINFOHEADER2*>(type->pbFormat)->bmiHeader
                                             : reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat)->bmiHeader;
        list.push_back({type->subtype, type->formattype, header.biWidth, header.biHeight, header.biBitCount});
    }
    return list;
}

TEST_F(ViewerRoute, CatalogueIsUnsortedWithADuplicateAndOneForeignBlock) {
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);
    ASSERT_TRUE(config);
    const std::vector<Capability> list = Catalogue(config.Get());
    ASSERT_GE(list.size(), 8u);
    int foreign = 0, duplicates = 0;
    std::set<Capability> seen;
    std::set<std::pair<LONG, LONG>> sizes;
    std::set<unsigned long> subtypes;
    for (const Capability& capability : list) {
        foreign += capability.formattype != FORMAT_VideoInfo ? 1 : 0;
        duplicates += seen.insert(capability).second ? 0 : 1;
        sizes.insert({capability.width, capability.height});
        subtypes.insert(capability.subtype.Data1);
    }
    EXPECT_EQ(foreign, 1);
    EXPECT_EQ(duplicates, 1);
    for (auto size : {std::make_pair(320L, 240L), std::make_pair(352L, 240L), std::make_pair(640L, 480L),
                      std::make_pair(720L, 480L)}) {
        EXPECT_TRUE(sizes.count(size)) << size.first << "x" << size.second;
    }
    EXPECT_TRUE(subtypes.count(MEDIASUBTYPE_RGB565.Data1) && subtypes.count(MEDIASUBTYPE_RGB24.Data1) &&
                subtypes.count(MEDIASUBTYPE_RGB32.Data1));
    EXPECT_FALSE(subtypes.count(MEDIASUBTYPE_YUY2.Data1));
    bool sorted = true;
    for (size_t i = 1; i < list.size(); ++i) {
        sorted = sorted && !(list[i] < list[i - 1]);
    }
    EXPECT_FALSE(sorted);
}

MediaTypePtr FirstCapability(IAMStreamConfig* config, const GUID& subtype, LONG width) {
    int count = 0, size = 0;
    config->GetNumberOfCapabilities(&count, &size);
    for (int i = 0; i < count; ++i) {
        MediaTypePtr type;
        VIDEO_STREAM_CONFIG_CAPS caps;
        if (config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)) == S_OK &&
            type->subtype == subtype && type->formattype == FORMAT_VideoInfo &&
            reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat)->bmiHeader.biWidth == width) {
            return type;
        }
    }
    return MediaTypePtr();
}

TEST_F(ViewerRoute, SetFormatValidatesAndGetFormatAndThePinFollow) {
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);
    ASSERT_TRUE(config);
    MediaTypePtr type = FirstCapability(config.Get(), MEDIASUBTYPE_RGB32, 720);
    ASSERT_TRUE(type);
    auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);

    info->AvgTimePerFrame = 10000000 / 60; // faster than the card
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_INVALIDMEDIATYPE);
    info->AvgTimePerFrame = 10000000 / 15;
    info->bmiHeader.biWidth = 700; // no such size
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_INVALIDMEDIATYPE);
    info->bmiHeader.biWidth = 720;
    info->bmiHeader.biBitCount = 24; // does not match RGB32
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_INVALIDMEDIATYPE);
    info->bmiHeader.biBitCount = 32;
    type->majortype = MEDIATYPE_Audio;
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_INVALIDMEDIATYPE);
    type->majortype = MEDIATYPE_Video;
    EXPECT_EQ(config->SetFormat(nullptr), E_POINTER);
    ASSERT_EQ(config->SetFormat(type.Get()), S_OK);

    MediaTypePtr current;
    ASSERT_EQ(config->GetFormat(current.Put()), S_OK);
    auto* currentInfo = reinterpret_cast<VIDEOINFOHEADER*>(current->pbFormat);
    EXPECT_EQ(current->subtype, MEDIASUBTYPE_RGB32);
    EXPECT_EQ(currentInfo->bmiHeader.biWidth, 720);
    EXPECT_EQ(currentInfo->AvgTimePerFrame, 666666);

    // Once a format is set the capture pin proposes exactly that one.
    ComRef<IPin> capture = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    ComRef<IEnumMediaTypes> proposals;
    ASSERT_EQ(capture->EnumMediaTypes(proposals.Put()), S_OK);
    AM_MEDIA_TYPE* proposed[4] = {};
    ULONG fetched = 0;
    proposals->Next(4, proposed, &fetched);
    MediaTypePtr first(proposed[0]);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(first->subtype, MEDIASUBTYPE_RGB32);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(first->pbFormat)->bmiHeader.biWidth, 720);
}

// A fresh card is at RGB24 320x240, 30 fps; it takes every rate from 1 to
// 30 frames a second, and 0 for its own.
TEST_F(ViewerRoute, StartsAt320x240AndTakesEveryRateFromOneToThirty) {
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);
    ASSERT_TRUE(config);
    auto current = [&config] {
        MediaTypePtr type;
        EXPECT_EQ(config->GetFormat(type.Put()), S_OK);
        const auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
        return std::make_tuple(type->subtype == MEDIASUBTYPE_RGB24, info->bmiHeader.biWidth,
                               info->bmiHeader.biHeight, info->AvgTimePerFrame);
    };
    EXPECT_EQ(current(), std::make_tuple(true, 320L, 240L, REFERENCE_TIME{333333}));

    MediaTypePtr type = FirstCapability(config.Get(), MEDIASUBTYPE_RGB24, 720);
    ASSERT_TRUE(type);
    REFERENCE_TIME& interval = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat)->AvgTimePerFrame;
    interval = 0;
    ASSERT_EQ(config->SetFormat(type.Get()), S_OK);
    EXPECT_EQ(current(), std::make_tuple(true, 720L, 480L, REFERENCE_TIME{333333}));
    interval = 10000000;
    EXPECT_EQ(config->SetFormat(type.Get()), S_OK);
    EXPECT_EQ(current(), std::make_tuple(true, 720L, 480L, REFERENCE_TIME{10000000}));
    interval = 10000001;
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_INVALIDMEDIATYPE);
    interval = 333332;
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_INVALIDMEDIATYPE);
}

// RGB565 is BI_BITFIELDS: its three colour masks follow the header.
TEST_F(ViewerRoute, Rgb565FormatsCarryTheirColourMasks) {
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);
    ASSERT_TRUE(config);
    int count = 0, size = 0, seen = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    for (int i = 0; i < count; ++i) {
        MediaTypePtr type;
        VIDEO_STREAM_CONFIG_CAPS caps;
        ASSERT_EQ(config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps)), S_OK);
        if (type->subtype != MEDIASUBTYPE_RGB565) {
            continue;
        }
        ++seen;
        const auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
        EXPECT_EQ(info->bmiHeader.biCompression, static_cast<DWORD>(BI_BITFIELDS));
        ASSERT_EQ(type->cbFormat, sizeof(VIDEOINFOHEADER) + 3 * sizeof(DWORD)) << "capability " << i;
        const auto* masks = reinterpret_cast<const DWORD*>(type->pbFormat + sizeof(VIDEOINFOHEADER));
        EXPECT_EQ(masks[0], 0xF800u);
        EXPECT_EQ(masks[1], 0x07E0u);
        EXPECT_EQ(masks[2], 0x001Fu);
    }
    EXPECT_EQ(seen, 3);
}

TEST_F(ViewerRoute, SetFormatIsRefusedUnlessStopped) {
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);
    ComRef<IMediaControl> control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    MediaTypePtr type = FirstCapability(config.Get(), MEDIASUBTYPE_RGB24, 320);
    ASSERT_TRUE(type);
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    EXPECT_EQ(config->SetFormat(type.Get()), VFW_E_NOT_STOPPED);
    control->Stop();
    EXPECT_EQ(config->SetFormat(type.Get()), S_OK);
}

TEST_F(CardControls, CatalogueVariants) {
    struct Case {
        const wchar_t* variant;
        size_t atLeast;
        size_t atMost;
    };
    for (const Case& c : {Case{L"NoFormats", 0, 0}, Case{L"ManyFormats", 100, 1000}}) {
        ScopedEnvironment variant(L"SIMTV_VARIANT", c.variant);
        ComRef<IBaseFilter> card = CreateCard();
        ComRef<IPin> capture = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
        ComRef<IAMStreamConfig> config = Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig);
        const size_t count = Catalogue(config.Get()).size();
        EXPECT_GE(count, c.atLeast) << c.variant;
        EXPECT_LE(count, c.atMost) << c.variant;
    }
    ScopedEnvironment variant(L"SIMTV_VARIANT", L"UndrawableFormats");
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IPin> capture = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    ComRef<IAMStreamConfig> config = Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig);
    std::set<unsigned long> subtypes;
    for (const Capability& capability : Catalogue(config.Get())) {
        subtypes.insert(capability.subtype.Data1);
    }
    EXPECT_TRUE(subtypes.count(MEDIASUBTYPE_YUY2.Data1));
    EXPECT_TRUE(subtypes.count(MEDIASUBTYPE_RGB555.Data1));
    MediaTypePtr yuy2 = FirstCapability(config.Get(), MEDIASUBTYPE_YUY2, 720);
    ASSERT_TRUE(yuy2);
    EXPECT_EQ(config->SetFormat(yuy2.Get()), S_OK);
}

// --- Journal and fault injection -------------------------------------------

TEST_F(ViewerRoute, JournalRecordsEveryStateChangeAsOneLine) {
    JournalFile journal;
    ScopedEnvironment journalOn(L"SIMTV_JOURNAL", journal.Path());
    ComRef<IAMCrossbar> crossbar = Find<IAMCrossbar>(nullptr, IID_IAMCrossbar);
    ComRef<IAMTVTuner> tuner = Find<IAMTVTuner>(nullptr, IID_IAMTVTuner);
    ComRef<IAMTVAudio> tvAudio = Find<IAMTVAudio>(nullptr, IID_IAMTVAudio);
    ComRef<IAMVideoProcAmp> procAmp = Find<IAMVideoProcAmp>(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp);
    ComRef<IAMVideoCompression> compression =
        Find<IAMVideoCompression>(&PIN_CATEGORY_CAPTURE, IID_IAMVideoCompression);
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);

    crossbar->Route(1, -1);
    crossbar->Route(0, 4);
    tuner->put_CountryCode(81);
    tuner->put_Channel(5, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT);
    tuner->put_Channel(63, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT);
    tvAudio->put_TVAudioMode(AMTVAUDIO_MODE_STEREO);
    procAmp->Set(VideoProcAmp_Contrast, 120, VideoProcAmp_Flags_Manual);
    compression->put_Quality(0.5);
    MediaTypePtr type = FirstCapability(config.Get(), MEDIASUBTYPE_RGB24, 720);
    ASSERT_TRUE(type);
    config->SetFormat(type.Get());
    ComRef<IMediaControl> control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    control->Run();
    control->Stop();
    graph->RemoveFilter(card.Get());

    EXPECT_TRUE(journal.Contains("Crossbar.Route output=1 input=-1 -> S_OK"));
    EXPECT_TRUE(journal.Contains("Crossbar.Route output=0 input=4 -> E_INVALIDARG"));
    EXPECT_TRUE(journal.Contains("Tuner.put_CountryCode country=81 -> S_OK"));
    EXPECT_TRUE(journal.Contains("Tuner.put_Channel channel=5 video=-1 audio=-1 -> S_OK"));
    EXPECT_TRUE(journal.Contains("Tuner.put_Channel channel=63 video=-1 audio=-1 -> E_INVALIDARG"));
    EXPECT_TRUE(journal.Contains("TvAudio.put_TVAudioMode mode=0x2 -> S_OK"));
    EXPECT_TRUE(journal.Contains("ProcAmp.Set property=Contrast value=120 flags=2 -> S_OK"));
    EXPECT_TRUE(journal.Contains("Compression.put_Quality quality=0.50 -> S_OK"));
    EXPECT_TRUE(journal.Contains(
        "StreamConfig.SetFormat subtype=RGB24 width=720 height=480 avgTimePerFrame=333333 -> S_OK"));
    EXPECT_TRUE(journal.Contains("Filter.Run -> S_OK"));
    EXPECT_TRUE(journal.Contains("Filter.Stop -> S_OK"));
    EXPECT_TRUE(journal.Contains("Filter.LeaveFilterGraph -> S_OK"));
}

TEST_F(CardControls, JournalRecordsTheGraphJoinWithTheFilterName) {
    JournalFile journal;
    ScopedEnvironment journalOn(L"SIMTV_JOURNAL", journal.Path());
    ComRef<IGraphBuilder> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid());
    ComRef<IBaseFilter> card = CreateCard();
    ASSERT_EQ(graph->AddFilter(card.Get(), L"Narvo TV"), S_OK);
    const std::vector<std::string> lines = journal.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Filter.JoinFilterGraph name=\"Narvo TV\" -> S_OK");
}

TEST_F(ViewerRoute, InjectedFaultsFailOnlyTheNamedMethods) {
    ScopedEnvironment faults(L"SIMTV_FAIL", L"Route,SetFormat,put_Channel,Run");
    ComRef<IAMCrossbar> crossbar = Find<IAMCrossbar>(nullptr, IID_IAMCrossbar);
    ComRef<IAMTVTuner> tuner = Find<IAMTVTuner>(nullptr, IID_IAMTVTuner);
    ComRef<IAMStreamConfig> config = Find<IAMStreamConfig>(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig);
    EXPECT_EQ(crossbar->CanRoute(0, 1), S_OK);
    EXPECT_EQ(crossbar->Route(0, 1), E_FAIL);
    EXPECT_EQ(tuner->put_Channel(5, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT), E_FAIL);
    EXPECT_EQ(tuner->put_CountryCode(81), S_OK);
    MediaTypePtr type = FirstCapability(config.Get(), MEDIASUBTYPE_RGB24, 720);
    ASSERT_TRUE(type);
    EXPECT_EQ(config->SetFormat(type.Get()), E_FAIL);
    ComRef<IMediaControl> control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    EXPECT_TRUE(FAILED(control->Run()));
    EXPECT_NE(StateAfterChange(graph.Get()), State_Running);
    control->Stop();
}

TEST_F(ViewerRoute, FaultsCanBeNamedWithTheirInterface) {
    ScopedEnvironment faults(L"SIMTV_FAIL", L"Crossbar.CanRoute");
    ComRef<IAMCrossbar> crossbar = Find<IAMCrossbar>(nullptr, IID_IAMCrossbar);
    EXPECT_EQ(crossbar->CanRoute(0, 1), E_FAIL);
    EXPECT_EQ(crossbar->Route(0, 1), S_OK);
}

} // namespace
