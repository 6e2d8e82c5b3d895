// The tuner and its presets: the set-up at attach, the preset table read from
// the settings file and shown in the menu, selecting and tuning, the reload
// after the preset editor, and the exit write.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/TunerControl.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeGraph.h"
#include "tests/fakes/FakeTuner.h"
#include "tests/support/MenuItems.h"
#include "tests/support/TempFolder.h"

namespace {

using Lines = std::vector<std::string>;

const UINT ChannelItem = 700, ChannelSetup = 32782;

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

class TunerTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        DeleteFileA(settingsFile.Path());
        builder.Answer(nullptr, IID_IAMTVTuner, &tuner);
    }
    void TearDown() override {
        control->Detach();
        FakeComTest::TearDown();
        control.reset(); // writes its setting
        DeleteFileA(settingsFile.Path());
    }

    // The settings file as a whole, CP932 like the file the viewer reads.
    void Write(const std::string& text) { WriteWholeFile(settingsFile.Path(), text); }
    std::string StoredSelection() {
        char value[32] = {};
        GetPrivateProfileStringA("TVTuner", "SelectChannel", "<missing>", value, sizeof value,
                                 settingsFile.Path());
        return value;
    }
    void Attach() {
        ASSERT_TRUE(control->Attach(&builder, &filter));
        fakes::ClearJournal();
    }
    static Lines Tunings() { return fakes::JournalOf({"tuner.put_Channel"}); }

    // The context menu's head as the resource has it, filled.
    Lines MenuHead() {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, ChannelItem, "CHANNEL ITEM");
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup, MF_STRING, ChannelSetup, "チャンネル設定...");
        control->FillMenu(popup, ChannelItem);
        Lines items = MenuItems(popup);
        DestroyMenu(popup);
        return items;
    }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeTuner tuner;
    std::unique_ptr<TunerControl> control = std::make_unique<TunerControl>();
};

TEST_F(TunerTest, AttachSetsTheTunerUpThenTunesTheCurrentPreset) {
    Write("[Preset Channel]\r\nCH1=5\r\n");
    EXPECT_TRUE(control->Attach(&builder, &filter));
    EXPECT_EQ((Lines{
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMTVTuner)",
                  "tuner.put_CountryCode(81)",
                  "tuner.put_TuningSpace(0)",
                  "tuner.put_Mode(1)",
                  "tuner.put_ConnectInput(0)",
                  "tuner.put_InputType(0, 1)",
                  "tuner.put_Channel(5, -1, -1)",
              }),
              fakes::Journal());
    EXPECT_EQ(1, control->currentPreset);
    EXPECT_EQ(1, tuner.References());
}

TEST_F(TunerTest, RefusedSetUpStepStillTunes) {
    Write("[Preset Channel]\r\nCH2=12\r\n[TVTuner]\r\nSelectChannel=2\r\n");
    for (const char* step :
         {"put_CountryCode", "put_TuningSpace", "put_Mode", "put_ConnectInput", "put_InputType"}) {
        SCOPED_TRACE(step);
        tuner.refused = {step};
        fakes::ClearJournal();
        EXPECT_TRUE(control->Attach(&builder, &filter));
        EXPECT_EQ(Lines{"tuner.put_Channel(12, -1, -1)"}, Tunings());
        EXPECT_EQ(2, control->currentPreset);
        control->Detach();
    }
}

TEST_F(TunerTest, DefinedPresetsFillTheMenuInNumberOrderWithTheCurrentOneTicked) {
    const struct {
        const char* what;
        std::string file;
        Lines menu;
        Lines tuned; // at attach
        int current;
    } cases[] = {
        {"no section", "", {"---", "32782 チャンネル設定..."}, {}, 1},
        {"1, 4 and 9; 0, negative and missing channels are undefined",
         "[Preset "
         "Channel]\r\nCH9=62\r\nNAME9=放送大学\r\nCH4=12\r\nNAME4=テレビ東京\r\nCH1=1\r\nNAME1=NHK総合\r\n"
         "CH3=0\r\nNAME3=零\r\nCH5=-2\r\nNAME5=負\r\nNAME6=名前だけ\r\n[TVTuner]\r\nSelectChannel=4\r\n",
         {"701 CH  1 - NHK総合", "704 CH  4 - テレビ東京 checked", "709 CH  9 - 放送大学", "---",
          "32782 チャンネル設定..."},
         {"tuner.put_Channel(12, -1, -1)"},
         4},
        {"a name missing; the current preset undefined",
         "[Preset Channel]\r\nCH2=5\r\nCH12=40\r\nNAME12=Station\r\n[TVTuner]\r\nSelectChannel=3\r\n",
         {"702 CH  2 - ", "712 CH 12 - Station", "---", "32782 チャンネル設定..."},
         {},
         3},
        {"current preset beyond the table",
         "[Preset Channel]\r\nCH1=1\r\n[TVTuner]\r\nSelectChannel=16\r\n",
         {"701 CH  1 - ", "---", "32782 チャンネル設定..."},
         {},
         16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(c.file);
        fakes::ClearJournal();
        ASSERT_TRUE(control->Attach(&builder, &filter));
        EXPECT_EQ(c.tuned, Tunings());
        EXPECT_EQ(c.current, control->currentPreset);
        EXPECT_EQ(c.menu, MenuHead());
        control->Detach();
    }
}

TEST_F(TunerTest, LongNamesAreCutOnACharacterBoundary) {
    // The item text has 128 bytes; "CH nn - " takes 8, leaving 119 bytes for the name.
    const struct {
        std::string stored;
        std::string kept; // in the table: at most 128 bytes
        std::string shown;
    } cases[] = {
        {std::string(119, 'a'), std::string(119, 'a'), std::string(119, 'a')},
        {std::string(200, 'a'), std::string(128, 'a'), std::string(119, 'a')},
        {Repeat("あ", 100), Repeat("あ", 64), Repeat("あ", 59)},
        {"a" + Repeat("あ", 100), "a" + Repeat("あ", 63), "a" + Repeat("あ", 59)},
        {"ab" + Repeat("あ", 100), "ab" + Repeat("あ", 63), "ab" + Repeat("あ", 58)},
        // An '&' is doubled so the menu shows it; a pair is never split.
        {"A&B", "A&B", "A&&B"},
        {std::string(118, 'a') + "&", std::string(118, 'a') + "&", std::string(118, 'a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.size());
        Write("[Preset Channel]\r\nCH1=1\r\nNAME1=" + c.stored + "\r\n");
        ASSERT_TRUE(control->Attach(&builder, &filter));
        EXPECT_EQ(c.kept, control->presets[0].name);
        EXPECT_EQ((Lines{"701 CH  1 - " + c.shown + " checked", "---", "32782 チャンネル設定..."}),
                  MenuHead());
        control->Detach();
    }
}

TEST_F(TunerTest, SelectingAPresetTunesItsChannelAndOnlySuccessMakesItCurrent) {
    Write("[Preset Channel]\r\nCH1=1\r\nCH2=63\r\nCH4=12\r\nCH15=62\r\n");
    Attach();
    const struct {
        int number;
        const char* refused;
        bool result;
        Lines tuned;
        int current;
    } cases[] = {
        {0, "", false, {}, 1},
        {16, "", false, {}, 1},
        {99, "", false, {}, 1},
        {3, "", false, {}, 1}, // undefined
        {2, "", false, {}, 1}, // listed, but channel 63 is out of reach
        {4, "", true, {"tuner.put_Channel(12, -1, -1)"}, 4},
        {15, "", true, {"tuner.put_Channel(62, -1, -1)"}, 15},
        {1, "put_Channel", false, {"tuner.put_Channel(1, -1, -1)"}, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        tuner.refused = {c.refused};
        fakes::ClearJournal();
        EXPECT_EQ(c.result, control->SelectPreset(c.number));
        EXPECT_EQ(c.tuned, Tunings());
        EXPECT_EQ(c.current, control->currentPreset);
    }

    tuner.refused.clear();
    fakes::ClearJournal();
    EXPECT_FALSE(control->Tune(0));
    EXPECT_FALSE(control->Tune(63));
    EXPECT_TRUE(control->Tune(1));
    EXPECT_EQ(Lines{"tuner.put_Channel(1, -1, -1)"}, Tunings());
}

TEST_F(TunerTest, ReloadReadsThePresetsAgainButKeepsTheCurrentOneAndTheChannel) {
    Write("[Preset Channel]\r\nCH1=1\r\nCH4=12\r\nNAME4=旧\r\n[TVTuner]\r\nSelectChannel=4\r\n");
    Attach();
    // The editor changes the current preset's channel, removes preset 1 and writes another selection.
    Write("[Preset Channel]\r\nCH4=20\r\nNAME4=新\r\nCH7=3\r\n[TVTuner]\r\nSelectChannel=7\r\n");
    control->ReloadPresets();
    EXPECT_EQ(Lines{}, fakes::Journal()) << "a reload never tunes";
    EXPECT_EQ(4, control->currentPreset);
    EXPECT_EQ((Lines{"704 CH  4 - 新 checked", "707 CH  7 - ", "---", "32782 チャンネル設定..."}),
              MenuHead());

    // The editor undefines the current preset: nothing ticked, the number still kept.
    Write("[Preset Channel]\r\nCH7=3\r\n");
    control->ReloadPresets();
    EXPECT_EQ(4, control->currentPreset);
    EXPECT_EQ((Lines{"707 CH  7 - ", "---", "32782 チャンネル設定..."}), MenuHead());
    control->Detach();
    control.reset();
    EXPECT_EQ("4", StoredSelection());
    control = std::make_unique<TunerControl>();
}

TEST_F(TunerTest, ExitWritesTheSelectionOnlyWhenThePresetsWereReadInTheRun) {
    const struct {
        const char* what;
        bool tuner;
        bool reload;
        int select; // 0: none
        std::string stored;
    } cases[] = {
        {"attached, preset chosen", true, false, 2, "2"},
        {"attached, stored number naming no preset", true, false, 0, "9"},
        {"no tuner", false, false, 0, "9"},
        {"no tuner, presets reloaded after the editor", false, true, 2, "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("[Preset Channel]\r\nCH2=5\r\n[TVTuner]\r\nSelectChannel=9\r\n");
        builder.interfaces.clear();
        if (c.tuner) {
            builder.Answer(nullptr, IID_IAMTVTuner, &tuner);
        }
        control = std::make_unique<TunerControl>();
        EXPECT_EQ(c.tuner, control->Attach(&builder, &filter));
        if (c.reload) {
            control->ReloadPresets();
        }
        if (c.select) {
            EXPECT_EQ(c.tuner, control->SelectPreset(c.select));
        }
        control->Detach();
        control.reset();
        EXPECT_EQ(c.stored, StoredSelection());
    }
    control = std::make_unique<TunerControl>();
}

} // namespace
