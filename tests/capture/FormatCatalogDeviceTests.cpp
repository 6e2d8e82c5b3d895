// The catalogue on a stream config: which capabilities it keeps, what it asks
// of the device, and that every media type the device hands out is freed.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/FormatCatalog.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeGraph.h"

#include <dvdmedia.h>

namespace {

using Lines = std::vector<std::string>;
using fakes::VideoCapability;

class CatalogTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        DeleteFileA(settingsFile.Path());
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig, &config);
    }
    void TearDown() override {
        catalog.Detach();
        FakeComTest::TearDown();
        owned.reset(); // writes its settings
        DeleteFileA(settingsFile.Path());
    }

    // 640x480, a video type that is no VIDEOINFOHEADER, then 320x240 of the same subtype.
    void UseThreeCapabilities() {
        fakes::Capability other = VideoCapability(MEDIASUBTYPE_RGB565, 16, 160, 120);
        other.formattype = FORMAT_VideoInfo2;
        other.cbFormat = sizeof(VIDEOINFOHEADER2);
        config.capabilities = {VideoCapability(MEDIASUBTYPE_RGB565, 16, 640, 480), other,
                               VideoCapability(MEDIASUBTYPE_RGB565, 16, 320, 240)};
    }
    void Attach() {
        ASSERT_TRUE(catalog.Attach(&builder, &filter));
        fakes::ClearJournal();
    }
    void Store(const char* key, const char* value) {
        WritePrivateProfileStringA("VideoStreamConfig", key, value, settingsFile.Path());
    }
    static const VIDEOINFOHEADER& Info(const AM_MEDIA_TYPE* type) {
        return *reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
    }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeStreamConfig config;
    std::unique_ptr<FormatCatalog> owned = std::make_unique<FormatCatalog>();
    FormatCatalog& catalog = *owned;
};

TEST_F(CatalogTest, AttachKeepsTheVideoInfoTypesSortedAndAppliesTheFirst) {
    UseThreeCapabilities();
    config.capabilitySize = 1000; // larger than VIDEO_STREAM_CONFIG_CAPS: written in full
    EXPECT_TRUE(catalog.Attach(&builder, &filter));
    EXPECT_EQ((Lines{
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMStreamConfig)",
                  "streamconfig.GetNumberOfCapabilities",
                  "streamconfig.GetStreamCaps(0)",
                  "streamconfig.GetStreamCaps(1)",
                  "streamconfig.GetStreamCaps(2)",
                  "streamconfig.SetFormat(320x240, 666666)",
              }),
              fakes::Journal());
    ASSERT_EQ(2, catalog.FormatCount());
    EXPECT_EQ(config.handedOut[2], catalog.formats[0].Get());
    EXPECT_EQ(config.handedOut[0], catalog.formats[1].Get());
    EXPECT_EQ(catalog.formats[0].Get(), config.sets[0].type);
    // The skipped type went back at once, format block and pUnk included.
    EXPECT_TRUE(config.TypeFreed(1));
    for (BYTE* buffer : config.capabilityBuffers) {
        EXPECT_NE(nullptr, buffer);
    }
    EXPECT_EQ(3u, config.capabilityBuffers.size());
    int width = 0;
    int height = 0;
    EXPECT_TRUE(catalog.GetCurrentSize(width, height));
    EXPECT_EQ(320, width);
    EXPECT_EQ(240, height);
}

TEST_F(CatalogTest, StoredRateAndIndexChooseWhatAttachApplies) {
    const struct {
        const char* rate;
        const char* index;
        const char* applied;
    } cases[] = {
        {"30", "1", "streamconfig.SetFormat(640x480, 333333)"},
        {"15", "0", "streamconfig.SetFormat(320x240, 666666)"},
        {"5", "1", "streamconfig.SetFormat(640x480, 2000000)"},
        {"0", "2", "streamconfig.SetFormat(320x240, 2000000)"}, // read as 5 and 0
    };
    UseThreeCapabilities();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.applied);
        Store("FrameRate", c.rate);
        Store("FormatIndex", c.index);
        fakes::ClearJournal();
        ASSERT_TRUE(catalog.Attach(&builder, &filter));
        EXPECT_EQ(Lines{c.applied}, fakes::JournalOf({"streamconfig.SetFormat"}));
        catalog.Detach();
    }
}

TEST_F(CatalogTest, LoadedChoiceStandsWhenTheDeviceRejectsIt) {
    UseThreeCapabilities();
    Store("FrameRate", "30");
    Store("FormatIndex", "1");
    config.setFormatResult = E_FAIL;
    EXPECT_TRUE(catalog.Attach(&builder, &filter));
    EXPECT_EQ(30, catalog.frameRate);
    EXPECT_EQ(1, catalog.formatIndex);
}

TEST_F(CatalogTest, OnlyVideoMajorTypeWithVideoInfoFormatIsKept) {
    fakes::Capability audio = VideoCapability(MEDIASUBTYPE_RGB565, 16, 100, 100);
    audio.majortype = MEDIATYPE_Audio;
    fakes::Capability failing = VideoCapability(MEDIASUBTYPE_RGB565, 16, 200, 200);
    failing.result = E_FAIL;
    config.capabilities = {audio, failing, VideoCapability(MEDIASUBTYPE_RGB24, 24, 720, 480)};
    Attach();
    ASSERT_EQ(1, catalog.FormatCount());
    EXPECT_EQ(720, Info(catalog.formats[0].Get()).bmiHeader.biWidth);
    EXPECT_TRUE(config.TypeFreed(0));
}

TEST_F(CatalogTest, DeviceWithoutCapabilitiesGivesAnEmptyCatalogue) {
    UseThreeCapabilities();
    config.numberResult = E_FAIL;
    EXPECT_TRUE(catalog.Attach(&builder, &filter)); // the interface is held all the same
    EXPECT_EQ(Lines{}, fakes::JournalOf({"streamconfig.GetStreamCaps", "streamconfig.SetFormat"}));
    EXPECT_EQ(0, catalog.FormatCount());
    int width = -1;
    int height = -1;
    EXPECT_FALSE(catalog.GetCurrentSize(width, height));
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
    fakes::ClearJournal();
    EXPECT_FALSE(catalog.SelectFormat(0));
    EXPECT_EQ(Lines{}, fakes::Journal());
}

TEST_F(CatalogTest, SetFrameRateChangesTheDevicesCurrentTypeAndFreesIt) {
    UseThreeCapabilities();
    Attach();
    config.current = VideoCapability(MEDIASUBTYPE_RGB565, 16, 640, 480);
    EXPECT_TRUE(catalog.SetFrameRate(30));
    EXPECT_EQ((Lines{"streamconfig.GetFormat", "streamconfig.SetFormat(640x480, 333333)"}), fakes::Journal());
    EXPECT_EQ(config.handedOut.back(), config.sets.back().type);
    EXPECT_TRUE(config.TypeFreed(config.handedOut.size() - 1));
    EXPECT_EQ(30, catalog.frameRate);
    EXPECT_EQ(0, catalog.formatIndex);
    // The catalogue's own entries keep their duration until they are applied.
    EXPECT_EQ(666666, Info(catalog.formats[0].Get()).AvgTimePerFrame);
}

TEST_F(CatalogTest, RejectedFrameRateKeepsTheRateAndStillFreesTheType) {
    UseThreeCapabilities();
    Attach();
    for (HRESULT answer : {E_FAIL, S_FALSE}) {
        SCOPED_TRACE(fakes::Hresult(answer));
        config.setFormatResult = answer;
        EXPECT_FALSE(catalog.SetFrameRate(5));
        EXPECT_EQ(15, catalog.frameRate);
        EXPECT_TRUE(config.TypeFreed(config.handedOut.size() - 1));
    }
    config.getFormatResult = E_FAIL;
    fakes::ClearJournal();
    EXPECT_FALSE(catalog.SetFrameRate(5));
    EXPECT_EQ(Lines{"streamconfig.GetFormat"}, fakes::Journal());
}

TEST_F(CatalogTest, RateBelowOneIsRefusedWithoutTouchingTheDevice) {
    UseThreeCapabilities();
    Attach();
    for (int fps : {0, -5}) {
        EXPECT_FALSE(catalog.SetFrameRate(fps)) << fps;
    }
    EXPECT_EQ(Lines{}, fakes::Journal());
    EXPECT_EQ(15, catalog.frameRate);
    catalog.Detach();
    EXPECT_FALSE(catalog.SetFrameRate(30)); // nothing held
}

TEST_F(CatalogTest, SelectFormatAppliesTheEntryWithTheCurrentRate) {
    UseThreeCapabilities();
    Attach();
    catalog.frameRate = 5;
    EXPECT_FALSE(catalog.SelectFormat(-1));
    EXPECT_FALSE(catalog.SelectFormat(catalog.FormatCount()));
    EXPECT_EQ(Lines{}, fakes::Journal());

    EXPECT_TRUE(catalog.SelectFormat(1));
    EXPECT_EQ(Lines{"streamconfig.SetFormat(640x480, 2000000)"}, fakes::Journal());
    EXPECT_EQ(catalog.formats[1].Get(), config.sets.back().type);
    EXPECT_EQ(1, catalog.formatIndex);

    config.setFormatResult = E_FAIL;
    EXPECT_FALSE(catalog.SelectFormat(0));
    EXPECT_EQ(1, catalog.formatIndex);
    int width = 0;
    int height = 0;
    catalog.GetCurrentSize(width, height);
    EXPECT_EQ(640, width);
}

TEST_F(CatalogTest, DetachFreesEveryEntryAndKeepsTheChoice) {
    UseThreeCapabilities();
    Attach();
    catalog.SetFrameRate(30);
    catalog.SelectFormat(1);
    catalog.Detach();
    for (size_t i = 0; i < config.handedOut.size(); ++i) {
        EXPECT_TRUE(config.TypeFreed(i)) << i;
    }
    EXPECT_EQ(std::vector<std::string>{}, fakes::Unreleased());
    EXPECT_TRUE(catalog.formats.empty());
    EXPECT_EQ(0, catalog.FormatCount());
    EXPECT_EQ(nullptr, catalog.iface);
    EXPECT_EQ(30, catalog.frameRate);
    EXPECT_EQ(1, catalog.formatIndex);
    fakes::ClearJournal();
    catalog.Detach();
    EXPECT_EQ(Lines{}, fakes::Journal()) << "a second detach touches nothing";
    EXPECT_EQ(1, catalog.formatIndex);
}

} // namespace
