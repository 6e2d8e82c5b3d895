// "MainConfig" through the real settings file: what LoadSettings makes of the
// stored values and what SaveSettings writes back.
#include "tests/capture/SessionFixture.h"

namespace {

using SessionSettingsTest = SessionTest;

TEST_F(SessionSettingsTest, NoFileStartsWithTheDefaultsAndWritesEveryKeyInOrder) {
    session.LoadSettings();
    EXPECT_EQ(0.5, session.videoQuality);
    EXPECT_TRUE(session.zoomRateSave);
    EXPECT_FALSE(session.topMostWindow);
    session.SaveSettings();
    const std::string text = ReadWholeFile(settingsFile.Path());
    const char* expected[] = {
        "[MainConfig]",     "VideoDeviceName=Narvo TV", "MuteAudio=0",  "CaptureAudioDevice=0",
        "AudioDeviceName=", "VideoQuality=50",          "WindowPosX=0", "WindowPosY=0",
        "ZoomRateSave=1",   "TopMostWindow=0"};
    size_t at = 0;
    for (const char* line : expected) {
        const size_t found = text.find(line, at);
        ASSERT_NE(std::string::npos, found) << line << " missing or out of order in:\n" << text;
        at = found + strlen(line);
    }
}

struct QualityCase {
    const char* stored;
    double loaded;
    const char* written;
};

TEST_F(SessionSettingsTest, QualityIsClampedOnLoadingAndSavedAsTheSamePercent) {
    const QualityCase cases[] = {
        {"-20", 0.0, "0"},  {"-5", 0.0, "0"},   {"150", 1.0, "100"}, {"70", 0.70, "70"},
        {"29", 0.29, "29"}, {"58", 0.58, "58"}, {"0", 0.0, "0"},     {"100", 1.0, "100"},
    };
    for (const QualityCase& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteSettings(std::string("VideoQuality=") + c.stored + "\r\n");
        CaptureSession fresh;
        fresh.LoadSettings();
        EXPECT_DOUBLE_EQ(c.loaded, fresh.videoQuality);
        fresh.SaveSettings();
        EXPECT_EQ(c.written, Stored("VideoQuality"));
    }
}

TEST_F(SessionSettingsTest, EveryPercentRoundTrips) {
    for (int percent = 0; percent <= 100; ++percent) {
        WriteSettings("VideoQuality=" + std::to_string(percent) + "\r\n");
        CaptureSession fresh;
        fresh.LoadSettings();
        fresh.SaveSettings();
        EXPECT_EQ(std::to_string(percent), Stored("VideoQuality"));
    }
}

TEST_F(SessionSettingsTest, AnyNonzeroBooleanIsTrueAndWrittenAsOne) {
    WriteSettings("MuteAudio=7\r\nCaptureAudioDevice=-3\r\nZoomRateSave=0\r\nTopMostWindow=7\r\n");
    session.LoadSettings();
    EXPECT_TRUE(session.muteAudio);
    EXPECT_TRUE(session.captureAudioDevice);
    EXPECT_FALSE(session.zoomRateSave);
    EXPECT_TRUE(session.topMostWindow);
    session.SaveSettings();
    EXPECT_EQ("1", Stored("MuteAudio"));
    EXPECT_EQ("1", Stored("CaptureAudioDevice"));
    EXPECT_EQ("0", Stored("ZoomRateSave"));
    EXPECT_EQ("1", Stored("TopMostWindow"));
}

TEST_F(SessionSettingsTest, NegativeWindowPositionsRoundTrip) {
    WriteSettings("WindowPosX=-1200\r\nWindowPosY=-35\r\n");
    session.LoadSettings();
    EXPECT_EQ(-1200, session.windowPosX);
    EXPECT_EQ(-35, session.windowPosY);
    session.SaveSettings();
    EXPECT_EQ("-1200", Stored("WindowPosX"));
    EXPECT_EQ("-35", Stored("WindowPosY"));
}

TEST_F(SessionSettingsTest, EditedVideoDeviceNameIsIgnoredAndRewritten) {
    WriteSettings("VideoDeviceName=Other Card\r\n");
    fakes::FakeDevice other{L"Other Card"};
    other.filter.AddPin(PINDIR_INPUT, "other in");
    devices.devices[CLSID_VideoInputDeviceCategory].insert(
        devices.devices[CLSID_VideoInputDeviceCategory].begin(), &other.moniker);
    ASSERT_TRUE(session.Initialize());
    EXPECT_EQ(static_cast<IBaseFilter*>(&card.filter), session.videoFilter);
    EXPECT_STREQ("Narvo TV", session.videoDeviceName);
    session.Shutdown();
    EXPECT_EQ("Narvo TV", Stored("VideoDeviceName"));
}

TEST_F(SessionSettingsTest, AudioDeviceNameIsCutToEightyBytesOnLoading) {
    WriteSettings("AudioDeviceName=" + std::string(120, 'm') + "\r\n");
    session.LoadSettings();
    EXPECT_EQ(std::string(80, 'm'), session.audioDeviceName);
}

} // namespace
