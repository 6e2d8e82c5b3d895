// What the dialogs accept in their number fields, and how the preset editor
// reads and writes its section of the settings file.
#include "dialogs/PresetSection.h"
#include "dialogs/WholeNumber.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>

namespace {

TEST(WholeNumberTest, OnlyAWholeNumberInRangeIsANumber) {
    struct Case {
        const char* text;
        FieldValue expected;
        int value;
    };
    const Case cases[] = {
        {"1", FieldValue::Number, 1},
        {"60", FieldValue::Number, 60},
        {" 024 ", FieldValue::Number, 24},
        {"", FieldValue::Blank, 0},
        {"   ", FieldValue::Blank, 0},
        {"0", FieldValue::Invalid, 0},
        {"61", FieldValue::Invalid, 0},
        {"-5", FieldValue::Invalid, 0},
        {"+5", FieldValue::Invalid, 0},
        {"2.5", FieldValue::Invalid, 0},
        {"1 2", FieldValue::Invalid, 0},
        {"x", FieldValue::Invalid, 0},
        {"99999999999999999999", FieldValue::Invalid, 0},
    };
    for (const Case& c : cases) {
        int value = -1;
        EXPECT_EQ(c.expected, ReadWholeNumber(c.text, 1, 60, value)) << '"' << c.text << '"';
        EXPECT_EQ(c.expected == FieldValue::Number ? c.value : -1, value) << '"' << c.text << '"';
    }
}

class PresetSectionTest : public ::testing::Test {
protected:
    std::string Read(const char* section, const char* key) {
        char value[300] = {};
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, path.c_str());
        return value;
    }

    TempFolder folder;
    std::string path = folder.File("NarvoTV.ini");
    PresetSection::Preset presets[PresetSection::PresetCount];
};

TEST_F(PresetSectionTest, LoadsDefinedPresetsAsTheViewerDoes) {
    // 4: a name of 130 bytes whose 128th byte starts a double-byte character.
    const std::string longName = std::string(127, 'a') + "ああ";
    WriteWholeFile(path, "[Preset Channel]\r\nCH1=5\r\nNAME1=ＮＨＫ\r\nCH2=0\r\nNAME2=zero\r\nCH3=-1\r\n"
                         "NAME3=stale\r\nCH4=70\r\nNAME4=" +
                             longName + "\r\nCH5=12\r\n");
    PresetSection::Load(path.c_str(), presets);
    EXPECT_EQ(5, presets[0].channel);
    EXPECT_STREQ("ＮＨＫ", presets[0].name);
    for (int i : {1, 2}) {
        EXPECT_EQ(0, presets[i].channel) << "preset " << i + 1;
        EXPECT_STREQ("", presets[i].name) << "preset " << i + 1;
    }
    EXPECT_EQ(70, presets[3].channel) << "beyond 62 it is still what the file holds";
    EXPECT_EQ(std::string(127, 'a'), presets[3].name) << "cut before the character that does not fit";
    EXPECT_EQ(12, presets[4].channel);
    EXPECT_STREQ("", presets[4].name);
    for (int i = 5; i < PresetSection::PresetCount; ++i) {
        EXPECT_EQ(0, presets[i].channel);
    }
}

TEST_F(PresetSectionTest, SaveWritesDefinedPresetsRemovesUndefinedOnesAndNothingElse) {
    WriteWholeFile(path, "[TVTuner]\r\nSelectChannel=3\r\n[Preset Channel]\r\nCH1=5\r\nNAME1=old\r\n"
                         "CH15=9\r\nNAME15=gone\r\nOther=kept\r\n");
    PresetSection::Load(path.c_str(), presets);
    presets[0].channel = 0;
    presets[1].channel = 62;
    strcpy(presets[1].name, "テレビ");
    presets[14].channel = 0;
    presets[14].name[0] = '\0';
    ASSERT_TRUE(PresetSection::Save(path.c_str(), presets));

    EXPECT_EQ("<missing>", Read("Preset Channel", "CH1"));
    EXPECT_EQ("<missing>", Read("Preset Channel", "NAME1"));
    EXPECT_EQ("62", Read("Preset Channel", "CH2"));
    EXPECT_EQ("テレビ", Read("Preset Channel", "NAME2"));
    EXPECT_EQ("<missing>", Read("Preset Channel", "CH15"));
    EXPECT_EQ("<missing>", Read("Preset Channel", "NAME15"));
    EXPECT_EQ("kept", Read("Preset Channel", "Other"));
    EXPECT_EQ("3", Read("TVTuner", "SelectChannel"));
}

} // namespace
