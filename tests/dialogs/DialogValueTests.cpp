// What the dialogs accept in their number fields, and how the preset editor
// reads and writes its section of the settings file.
#include "dialogs/PresetSection.h"
#include "dialogs/WholeNumber.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>
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
};

using PresetSection::NameTextSize;
using PresetSection::Preset;
using PresetSection::PresetCount;
using PresetSection::StoredPreset;

TEST_F(PresetSectionTest, LoadsEachPresetsKeysAsTheFileHoldsThem) {
    // 4: a name that fills the field but for half of a double-byte character.
    const std::string longName = std::string(NameTextSize - 2, 'a') + "ああ";
    WriteWholeFile(path, "[Preset Channel]\r\nCH1=5\r\nNAME1=ＮＨＫ\r\nCH2=0\r\nNAME2=zero\r\nCH3=abc\r\n"
                         "NAME3=letters\r\nCH4=70\r\nNAME4=" +
                             longName + "\r\nCH5=12\r\nNAME6=only a name\r\n");
    std::vector<StoredPreset> presets(PresetCount);
    PresetSection::Load(path.c_str(), presets.data());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"5", "ＮＨＫ"}, {"0", "zero"},       {"abc", "letters"}, {"70", std::string(NameTextSize - 2, 'a')},
        {"12", ""},      {"", "only a name"},
    };
    for (int i = 0; i < PresetCount; ++i) {
        const auto want = i < static_cast<int>(expected.size())
                              ? expected[i]
                              : std::make_pair(std::string(), std::string());
        EXPECT_EQ(want.first, presets[i].channel) << "preset " << i + 1;
        EXPECT_EQ(want.second, presets[i].name) << "preset " << i + 1;
    }
}

TEST_F(PresetSectionTest, SaveWritesOrRemovesTheChangedPresetsAndNothingElse) {
    WriteWholeFile(path,
                   "[TVTuner]\r\nSelectChannel=3\r\n[Preset Channel]\r\nCH1=5\r\nNAME1=old\r\n"
                   "CH2=8\r\nNAME2=kept\r\nCH3=abc\r\nNAME3=odd\r\nCH15=9\r\nNAME15=gone\r\nOther=kept\r\n");
    Preset presets[PresetCount] = {};
    bool changed[PresetCount] = {};
    changed[0] = changed[14] = true; // both undefined now
    changed[3] = true;
    presets[3].channel = 62;
    strcpy(presets[3].name, "テレビ");
    presets[1].channel = 1; // not changed: not written
    ASSERT_TRUE(PresetSection::Save(path.c_str(), presets, changed));

    const std::vector<std::pair<const char*, std::string>> expected = {
        {"CH1", "<missing>"},  {"NAME1", "<missing>"},  {"CH2", "8"},      {"NAME2", "kept"},
        {"CH3", "abc"},        {"NAME3", "odd"},        {"CH4", "62"},     {"NAME4", "テレビ"},
        {"CH15", "<missing>"}, {"NAME15", "<missing>"}, {"Other", "kept"},
    };
    for (const auto& key : expected) {
        EXPECT_EQ(key.second, Read("Preset Channel", key.first)) << key.first;
    }
    EXPECT_EQ("3", Read("TVTuner", "SelectChannel"));
}

} // namespace
