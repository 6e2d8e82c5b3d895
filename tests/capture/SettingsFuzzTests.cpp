// Thousands of hostile settings files, made from a fixed seed, read and
// written by every owner of a section: nothing crashes, every value read is
// within its bounds, and what an owner writes reads back the same.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/TunerControl.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Files = 2000;
constexpr int FormatCount = 12;

using Values = std::vector<std::string>;

// No double-byte character is cut in two at the end of the text.
bool WholeCharacters(const char* text) {
    for (const char* p = text; *p; p = CharNextA(p)) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] == '\0') {
            return false;
        }
    }
    return true;
}

std::string Text(double value) {
    return std::to_string(value);
}
std::string Text(int value) {
    return std::to_string(value);
}

// Each owner reads its keys into a fresh object, checks their bounds, writes
// them back when asked, and gives the values it holds.
Values MainConfig(bool save) {
    CaptureSession session;
    session.LoadSettings();
    EXPECT_GE(session.videoQuality, 0.0);
    EXPECT_LE(session.videoQuality, 1.0);
    EXPECT_LE(strlen(session.audioDeviceName), 80u);
    EXPECT_TRUE(WholeCharacters(session.audioDeviceName));
    if (save) {
        session.SaveSettings();
    }
    return {Text(session.muteAudio),    Text(session.captureAudioDevice), session.audioDeviceName,
            Text(session.videoQuality), Text(session.windowPosX),         Text(session.windowPosY),
            Text(session.zoomRateSave), Text(session.topMostWindow)};
}

Values VideoStreamConfig(bool save) {
    FormatCatalog catalog;
    catalog.formats.resize(FormatCount); // the list itself is not read
    catalog.LoadSettings();
    EXPECT_GE(catalog.frameRate, 1);
    EXPECT_LE(catalog.frameRate, 30);
    EXPECT_GE(catalog.formatIndex, 0);
    EXPECT_LT(catalog.formatIndex, FormatCount);
    if (save) {
        catalog.SaveSettings();
    }
    const Values values = {Text(catalog.frameRate), Text(catalog.formatIndex)};
    catalog.formats.clear();
    return values;
}

Values Crossbar(bool save) {
    CrossbarControl crossbar;
    crossbar.LoadVideoSource(); // any value is kept; one that names no input selects none
    if (save) {
        crossbar.SaveVideoSource();
    }
    return {Text(crossbar.videoSource)};
}

Values Tuner(bool save) {
    TunerControl tuner;
    tuner.LoadPresets();
    Values values = {Text(tuner.currentPreset)};
    for (const ChannelPreset& slot : tuner.presets) {
        EXPECT_TRUE(slot.channel > 0 || slot.channel == -1) << slot.channel;
        EXPECT_LE(strlen(slot.name), 128u);
        EXPECT_TRUE(WholeCharacters(slot.name));
        values.push_back(Text(slot.channel) + " " + slot.name);
    }
    if (save) {
        tuner.SaveSelection();
    }
    return values;
}

std::vector<std::string> PresetKeys() {
    std::vector<std::string> keys;
    for (int n = 0; n <= TunerControl::PresetCount + 1; ++n) {
        keys.push_back("CH" + std::to_string(n));
        keys.push_back("NAME" + std::to_string(n));
    }
    return keys;
}

struct Owner {
    std::vector<std::string> sections;
    Values (*run)(bool save);
    std::vector<std::string> keys;
};

const Owner Owners[] = {
    {{"MainConfig"},
     MainConfig,
     {"VideoDeviceName", "MuteAudio", "CaptureAudioDevice", "AudioDeviceName", "VideoQuality", "WindowPosX",
      "WindowPosY", "ZoomRateSave", "TopMostWindow"}},
    {{"VideoStreamConfig"}, VideoStreamConfig, {"FrameRate", "FormatIndex"}},
    {{"Crossbar"}, Crossbar, {"VideoConnectSource"}},
    {{"TVTuner", "Preset Channel"}, Tuner, PresetKeys()},
};

// Makes hostile files: known and unknown sections, missing and repeated,
// names in other letter cases, values huge, negative, non-numeric, over-long,
// invalid in CP932 or binary.
class HostileFile {
public:
    explicit HostileFile(unsigned seed) : random(seed) {}

    std::string Make() {
        std::string file;
        const int sections = Pick(0, 6);
        for (int s = 0; s < sections; ++s) {
            file += "[" + SectionName() + "]" + LineEnd();
            const int lines = Pick(0, 14);
            for (int l = 0; l < lines; ++l) {
                file += Pick(0, 9) == 0 ? Junk(Pick(0, 40)) : KeyName() + Spaces() + "=" + Spaces() + Value();
                file += LineEnd();
            }
        }
        return file;
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    std::string Cased(std::string name) {
        switch (Pick(0, 5)) {
        case 0:
            for (char& c : name) {
                c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            }
            break;
        case 1:
            for (char& c : name) {
                c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            }
            break;
        default:
            break;
        }
        return name;
    }

    std::string SectionName() {
        if (Pick(0, 9) == 0) {
            return Junk(Pick(0, 12));
        }
        const Owner& owner = Owners[Pick(0, static_cast<int>(std::size(Owners)) - 1)];
        return Cased(owner.sections[Pick(0, static_cast<int>(owner.sections.size()) - 1)]);
    }

    std::string KeyName() {
        const Owner& owner = Owners[Pick(0, static_cast<int>(std::size(Owners)) - 1)];
        if (Pick(0, 7) == 0) {
            return Junk(Pick(1, 10));
        }
        return Cased(owner.keys[Pick(0, static_cast<int>(owner.keys.size()) - 1)]);
    }

    std::string Value() {
        static const char* const fixed[] = {"0",
                                            "1",
                                            "-1",
                                            "7",
                                            "15",
                                            "30",
                                            "31",
                                            "50",
                                            "100",
                                            "150",
                                            "-20",
                                            "29",
                                            "58",
                                            "2147483647",
                                            "-2147483648",
                                            "2147483648",
                                            "-2147483649",
                                            "99999999999999999999",
                                            "-99999999999999999999",
                                            "0x1F",
                                            "+12",
                                            " 42",
                                            "12abc",
                                            "abc",
                                            "1e5",
                                            "",
                                            "\"5\"",
                                            "--3",
                                            "マイク",
                                            "SimTV Line In",
                                            "\x83",
                                            "\x81\x20",
                                            "\xFF\xFE\xFD"};
        switch (Pick(0, 5)) {
        case 0:
            return std::to_string(static_cast<int>(random()));
        case 1:
            return LongText();
        case 2:
            return Junk(Pick(0, 30));
        default:
            return fixed[Pick(0, static_cast<int>(std::size(fixed)) - 1)];
        }
    }

    // Longer than every buffer, in single- or double-byte characters,
    // sometimes ending in half a character.
    std::string LongText() {
        std::string text;
        const int length = Pick(70, 400);
        while (static_cast<int>(text.size()) < length) {
            text += Pick(0, 1) ? "\x95\x5c" : "a"; // 表, whose second byte is a backslash
        }
        if (Pick(0, 3) == 0) {
            text += '\x95';
        }
        return text;
    }

    // Any bytes but the line ends.
    std::string Junk(int length) {
        std::string junk;
        for (int i = 0; i < length; ++i) {
            char c = static_cast<char>(Pick(1, 255));
            junk += (c == '\r' || c == '\n') ? '?' : c;
        }
        return junk;
    }

    std::string Spaces() { return Pick(0, 4) == 0 ? std::string(Pick(1, 3), ' ') : ""; }
    std::string LineEnd() { return Pick(0, 6) == 0 ? "\n" : "\r\n"; }

    std::mt19937 random;
};

class SettingsFuzz : public ::testing::Test {
protected:
    void SetUp() override { saved = settingsFile; }
    void TearDown() override { settingsFile = saved; }

    SettingsFile saved = settingsFile;
    TempFolder folder;
};

TEST_F(SettingsFuzz, EveryOwnerReadsWithinBoundsAndReadsBackWhatItWrote) {
    HostileFile hostile(20261207);
    for (int i = 0; i < Files && !HasFailure(); ++i) {
        // A new name for every file: the platform caches the last one it read.
        const std::string path = folder.File(("fuzz" + std::to_string(i) + ".ini").c_str());
        const std::string content = hostile.Make();
        WriteWholeFile(path, content);
        settingsFile = SettingsFile(path.c_str());
        for (const Owner& owner : Owners) {
            SCOPED_TRACE(owner.sections.front() + " of file " + std::to_string(i));
            const Values read = owner.run(true);
            EXPECT_EQ(read, owner.run(false));
        }
        DeleteFileA(path.c_str());
    }
}

} // namespace
