#include "app/SettingsFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    SettingsFile file{folder.File("viewer.ini").c_str()};
};

TEST_F(SettingsFileTest, MissingFileGivesEveryDefault) {
    EXPECT_TRUE(file.ReadBool("MainConfig", "ZoomRateSave", true));
    EXPECT_FALSE(file.ReadBool("MainConfig", "MuteAudio", false));
    EXPECT_EQ(-1, file.ReadInt("Preset Channel", "CH1", -1));
    char buffer[81] = "kept";
    file.ReadString("MainConfig", "AudioDeviceName", buffer, buffer, sizeof buffer);
    EXPECT_STREQ("kept", buffer);
}

TEST_F(SettingsFileTest, ValuesRoundTripInTheStoredForm) {
    file.WriteBool("MainConfig", "MuteAudio", true);
    file.WriteInt("MainConfig", "WindowPosX", -1200);
    file.WriteInt("MainConfig", "WindowPosY", -35);
    file.WriteString("MainConfig", "AudioDeviceName", "ライン入力 (USB)");

    EXPECT_TRUE(file.ReadBool("MainConfig", "MuteAudio", false));
    EXPECT_EQ(-1200, file.ReadInt("MainConfig", "WindowPosX", 0));
    EXPECT_EQ(-35, file.ReadInt("MainConfig", "WindowPosY", 0));
    char buffer[81] = "";
    file.ReadString("MainConfig", "AudioDeviceName", "", buffer, sizeof buffer);
    EXPECT_STREQ("ライン入力 (USB)", buffer);

    const std::string text = ReadWholeFile(file.Path());
    EXPECT_NE(std::string::npos, text.find("[MainConfig]"));
    EXPECT_NE(std::string::npos, text.find("MuteAudio=1"));
    EXPECT_NE(std::string::npos, text.find("WindowPosX=-1200"));
}

TEST_F(SettingsFileTest, AnyNonzeroIsTrueAndLongStringsAreCut) {
    WriteWholeFile(file.Path(),
                   "[MainConfig]\r\nMuteAudio=7\r\nAudioDeviceName=" + std::string(200, 'x') + "\r\n");
    EXPECT_TRUE(file.ReadBool("MainConfig", "MuteAudio", false));
    char buffer[81];
    memset(buffer, '#', sizeof buffer);
    file.ReadString("MainConfig", "AudioDeviceName", "", buffer, sizeof buffer);
    EXPECT_EQ(std::string(80, 'x'), buffer);
}

TEST(SettingsPath, DefaultPathIsTheExecutableWithIni) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string expected = exe;
    expected.replace(expected.rfind('.'), std::string::npos, ".ini");
    SettingsFile file;
    EXPECT_EQ(expected, file.Path());
}

} // namespace
