// The common attach and detach of the control adapters: the guard, the
// property-page probe, the adapter's own step, and the references held.
#include "capture/ProcAmpControl.h"
#include "capture/TvAudioControl.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeGraph.h"

namespace {

using Lines = std::vector<std::string>;

const CLSID PageA = {0x6e617201, 0x7061, 0x6765, {0x61, 0, 0, 0, 0, 0, 0, 1}};
const CLSID PageB = {0x6e617201, 0x7061, 0x6765, {0x62, 0, 0, 0, 0, 0, 0, 2}};

class AdapterTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        builder.Answer(nullptr, IID_IAMTVAudio, &tvAudio);
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, &procAmp);
    }
    void TearDown() override {
        tv.Detach();
        amp.Detach();
        FakeComTest::TearDown();
    }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeTvAudio tvAudio;
    fakes::FakeProcAmp procAmp;
    TvAudioControl tv;
    ProcAmpControl amp;
};

TEST_F(AdapterTest, EachAdapterAsksForItsInterfaceUnderItsCategoryAndHoldsOneReference) {
    EXPECT_TRUE(tv.Attach(&builder, &filter));
    EXPECT_TRUE(amp.Attach(&builder, &filter));
    EXPECT_EQ((Lines{
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMTVAudio)",
                  "tvaudio.put_TVAudioMode(2)",
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoProcAmp)",
                  "procamp.QueryInterface(ISpecifyPropertyPages)",
                  "pages[procamp].GetPages",
              }),
              fakes::Journal());
    EXPECT_EQ(static_cast<IAMTVAudio*>(&tvAudio), tv.iface);
    EXPECT_EQ(static_cast<IAMVideoProcAmp*>(&procAmp), amp.iface);
    EXPECT_EQ(1, tvAudio.References());
    EXPECT_EQ(1, procAmp.References());
    EXPECT_EQ(0, procAmp.pages.References());
}

TEST_F(AdapterTest, GuardRefusesNullsAndASecondAttachWithoutAnyCall) {
    EXPECT_FALSE(tv.Attach(nullptr, &filter));
    EXPECT_FALSE(tv.Attach(&builder, nullptr));
    EXPECT_EQ(Lines{}, fakes::Journal());
    EXPECT_EQ(nullptr, tv.iface);

    ASSERT_TRUE(tv.Attach(&builder, &filter));
    fakes::ClearJournal();
    EXPECT_FALSE(tv.Attach(&builder, &filter));
    EXPECT_EQ(Lines{}, fakes::Journal()); // no search, no second step
    EXPECT_EQ(static_cast<IAMTVAudio*>(&tvAudio), tv.iface);
    EXPECT_EQ(1, tvAudio.References());
}

TEST_F(AdapterTest, MissingInterfaceLeavesTheAdapterDetachedWithoutProbeOrStep) {
    builder.interfaces.clear();
    EXPECT_FALSE(tv.Attach(&builder, &filter));
    EXPECT_FALSE(amp.Attach(&builder, &filter));
    EXPECT_EQ((Lines{
                  "builder.FindInterface(NULL, filter[Narvo TV], IAMTVAudio)",
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoProcAmp)",
              }),
              fakes::Journal());
    EXPECT_EQ(nullptr, tv.iface);
    EXPECT_FALSE(amp.hasPages);
}

TEST_F(AdapterTest, InterfaceGivenWithAnotherSuccessCodeIsHeldWithoutProbeOrStep) {
    builder.interfaces = {{nullptr, IID_IAMTVAudio, &tvAudio, S_FALSE}};
    tvAudio.offersPages = true;
    tvAudio.pages.pages = {PageA};
    EXPECT_TRUE(tv.Attach(&builder, &filter));
    EXPECT_EQ(Lines{"builder.FindInterface(NULL, filter[Narvo TV], IAMTVAudio)"}, fakes::Journal());
    EXPECT_FALSE(tv.hasPages);
    EXPECT_EQ(1, tvAudio.References()); // and Detach gives it back
}

TEST_F(AdapterTest, ProbeFindsPagesOnlyWhenAtLeastOneIsListed) {
    struct Case {
        const char* what;
        bool offered;
        size_t pages;
        HRESULT result;
        bool hasPages;
    };
    const Case cases[] = {
        {"no ISpecifyPropertyPages", false, 2, S_OK, false},
        {"zero pages", true, 0, S_OK, false},
        {"GetPages fails", true, 2, E_FAIL, false},
        {"GetPages answers S_FALSE", true, 2, S_FALSE, false},
        {"one page", true, 1, S_OK, true},
        {"two pages", true, 2, S_OK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tvAudio.offersPages = c.offered;
        tvAudio.pages.pages.assign(c.pages, PageA);
        tvAudio.pages.result = c.result;
        tvAudio.pages.handedOut.clear();
        fakes::ClearJournal();

        EXPECT_TRUE(tv.Attach(&builder, &filter));
        EXPECT_EQ(c.hasPages, tv.hasPages);
        // The step runs whatever the probe found.
        EXPECT_EQ(Lines{"tvaudio.put_TVAudioMode(2)"}, fakes::JournalOf({"tvaudio."}));
        for (const std::string& list : tvAudio.pages.handedOut) {
            EXPECT_TRUE(fakes::TaskFreed(list)) << "the page list goes back";
        }
        EXPECT_EQ(0, tvAudio.pages.References()) << "the probe lets go of ISpecifyPropertyPages";
        tv.Detach();
        EXPECT_EQ(std::vector<std::string>{}, fakes::Unreleased());
    }
}

TEST_F(AdapterTest, StepRunsOncePerAttachAndItsFailureDoesNotFailTheAttach) {
    tvAudio.putModeResult = E_NOTIMPL; // a card without stereo
    EXPECT_TRUE(tv.Attach(&builder, &filter));
    EXPECT_EQ(static_cast<IAMTVAudio*>(&tvAudio), tv.iface);
    tv.Detach();
    EXPECT_TRUE(tv.Attach(&builder, &filter));
    EXPECT_EQ((Lines{"tvaudio.put_TVAudioMode(2)", "tvaudio.put_TVAudioMode(2)"}),
              fakes::JournalOf({"tvaudio."}));
}

TEST_F(AdapterTest, DetachTwiceReleasesOnceAndClearsThePagesFlag) {
    procAmp.pages.pages = {PageA, PageB};
    ASSERT_TRUE(amp.Attach(&builder, &filter));
    ASSERT_TRUE(amp.hasPages);
    amp.Detach();
    EXPECT_EQ(0, procAmp.References());
    EXPECT_EQ(nullptr, amp.iface);
    EXPECT_FALSE(amp.hasPages);
    amp.Detach(); // a surplus Release would show in Unreleased()
    EXPECT_EQ(0, procAmp.References());
}

// ShowPropertyPages where no frame can open; the frame itself is watched on a display.
TEST_F(AdapterTest, ShowPropertyPagesAsksNothingWithoutPages) {
    amp.ShowPropertyPages(nullptr); // detached
    procAmp.offersPages = false;
    ASSERT_TRUE(amp.Attach(&builder, &filter));
    procAmp.offersPages = true;
    procAmp.pages.pages = {PageA, PageB};
    fakes::ClearJournal();
    amp.ShowPropertyPages(nullptr);
    EXPECT_EQ(Lines{}, fakes::Journal());
    EXPECT_EQ(1, procAmp.References());
}

TEST_F(AdapterTest, ShowPropertyPagesGivesBackTheInterfaceWhenGetPagesFails) {
    procAmp.pages.pages = {PageA, PageB};
    ASSERT_TRUE(amp.Attach(&builder, &filter));
    procAmp.pages.result = E_OUTOFMEMORY;
    fakes::ClearJournal();
    amp.ShowPropertyPages(nullptr);
    EXPECT_EQ((Lines{"procamp.QueryInterface(ISpecifyPropertyPages)", "pages[procamp].GetPages"}),
              fakes::Journal());
    EXPECT_EQ(0, procAmp.pages.References());
}

} // namespace
