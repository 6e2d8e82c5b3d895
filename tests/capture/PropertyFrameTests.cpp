// The picture-adjustment pages through the platform's own property frame:
// fake page classes are registered for the test, so the frame creates them
// and shows which pages it got, in which order, and for which objects.
// Each page cancels the frame once it is shown. Needs a display.
#include "capture/ProcAmpControl.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeGraph.h"

namespace {

using Lines = std::vector<std::string>;

const CLSID PageA = {0x6e617202, 0x7061, 0x6765, {0x61, 0, 0, 0, 0, 0, 0, 1}};
const CLSID PageB = {0x6e617202, 0x7061, 0x6765, {0x62, 0, 0, 0, 0, 0, 0, 2}};
const CLSID PageC = {0x6e617202, 0x7061, 0x6765, {0x63, 0, 0, 0, 0, 0, 0, 3}};

class PropertyFrameTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        for (fakes::FakeClass* pageClass : {&classA, &classB, &classC}) {
            pageClass->Register();
        }
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, &procAmp);
    }
    void TearDown() override {
        amp.Detach();
        for (fakes::FakeClass* pageClass : {&classA, &classB, &classC}) {
            pageClass->Revoke();
        }
        FakeComTest::TearDown();
    }

    // Attaches with the listed pages and shows them; the journal keeps only the show.
    void Show(std::vector<CLSID> pages) {
        procAmp.pages.pages = std::move(pages);
        ASSERT_TRUE(amp.Attach(&builder, &filter));
        fakes::ClearJournal();
        procAmp.pages.handedOut.clear();
        amp.ShowPropertyPages(nullptr);
    }
    // The pages the frame created, in order.
    Lines Created() { return fakes::JournalOf({"factory[Page"}); }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeProcAmp procAmp;
    fakes::FakePropertyPage pageA{"A"};
    fakes::FakePropertyPage pageB{"B"};
    fakes::FakePropertyPage pageC{"C"};
    // Named before the factories take their labels from them.
    bool named = [] {
        fakes::NameGuid(PageA, "PageA");
        fakes::NameGuid(PageB, "PageB");
        fakes::NameGuid(PageC, "PageC");
        return true;
    }();
    fakes::FakeClass classA{PageA, static_cast<IPropertyPage*>(&pageA)};
    fakes::FakeClass classB{PageB, static_cast<IPropertyPage*>(&pageB)};
    fakes::FakeClass classC{PageC, static_cast<IPropertyPage*>(&pageC)};
    ProcAmpControl amp;
};

TEST_F(PropertyFrameTest, ThreePagesShowTheSecondAndThirdForTheHeldInterfaceAlone) {
    Show({PageA, PageB, PageC});
    // The frame makes each page in list order, and closes on the first page's cancel.
    EXPECT_EQ((Lines{
                  "factory[PageB].CreateInstance(IPropertyPage)",
                  "page[B].SetPageSite(site)",
                  "page[B].SetObjects(1, procamp)",
                  "page[B].GetPageInfo",
                  "factory[PageC].CreateInstance(IPropertyPage)",
                  "page[C].SetPageSite(site)",
                  "page[C].SetObjects(1, procamp)",
                  "page[C].GetPageInfo",
                  "page[B].Activate(modal)",
                  "page[B].Show(SW_SHOW)",
                  "page[B].Show(SW_HIDE)",
                  "page[B].Deactivate",
              }),
              fakes::JournalOf({"factory[Page", "page["}));
    IUnknown* const held = static_cast<IAMVideoProcAmp*>(&procAmp);
    for (fakes::FakePropertyPage* page : {&pageB, &pageC}) {
        SCOPED_TRACE(page->name);
        EXPECT_EQ(std::vector<IUnknown*>{held}, page->objects) << "exactly the held pointer";
        EXPECT_EQ(0, page->References()) << "the frame let go of its pages";
    }
    EXPECT_TRUE(pageA.objects.empty());
    ASSERT_EQ(1u, procAmp.pages.handedOut.size());
    EXPECT_TRUE(fakes::TaskFreed(procAmp.pages.handedOut[0]));
    EXPECT_EQ(1, procAmp.References()) << "only the adapter's own reference is left";
}

TEST_F(PropertyFrameTest, OnePageOpensNoFrameAndTheListIsStillFreed) {
    Show({PageA});
    EXPECT_EQ(Lines{}, Created());
    EXPECT_EQ((Lines{"procamp.QueryInterface(ISpecifyPropertyPages)", "pages[procamp].GetPages"}),
              fakes::Journal());
    ASSERT_EQ(1u, procAmp.pages.handedOut.size());
    EXPECT_TRUE(fakes::TaskFreed(procAmp.pages.handedOut[0]));
}

TEST_F(PropertyFrameTest, PagesGoneByTheTimeOfShowingOpenNoFrame) {
    Show({PageA, PageB});
    fakes::ClearJournal();
    procAmp.pages.pages.clear(); // listed at attach, none now
    procAmp.pages.handedOut.clear();
    amp.ShowPropertyPages(nullptr);
    EXPECT_EQ(Lines{}, Created());
    ASSERT_EQ(1u, procAmp.pages.handedOut.size());
    EXPECT_TRUE(fakes::TaskFreed(procAmp.pages.handedOut[0]));
}

} // namespace
