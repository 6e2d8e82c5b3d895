// Answers a broken driver could give, and the renderer found where a card with
// a preview pin of its own leaves it: nothing may crash, leak or overrun.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "capture/FormatCatalog.h"
#include "capture/ProcAmpControl.h"
#include "capture/TvAudioControl.h"
#include "capture/VideoWindowControl.h"
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeGraph.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <new>

// An allocation this large fails here as it would on a machine without the
// memory, instead of succeeding on paper and being walked for minutes.
namespace {
constexpr size_t Unaffordable = size_t(1) << 30;
void* Allocate(size_t size) {
    if (size >= Unaffordable) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}
} // namespace
void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return size >= Unaffordable ? nullptr : std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return size >= Unaffordable ? nullptr : std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}

namespace {

using Lines = std::vector<std::string>;

const CLSID PageA = {0x6e617201, 0x7061, 0x6765, {0x61, 0, 0, 0, 0, 0, 0, 1}};

class BrokenDriverTest : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        DeleteFileA(settingsFile.Path());
    }
    void TearDown() override {
        tv.Detach();
        amp.Detach();
        catalog.Detach();
        window.Detach();
        FakeComTest::TearDown();
        owned.reset(); // writes its settings
        DeleteFileA(settingsFile.Path());
    }

    fakes::FakeBuilder builder;
    fakes::FakeFilter filter{"Narvo TV"};
    fakes::FakeStreamConfig config;
    fakes::FakeProcAmp procAmp;
    fakes::FakeVideoWindow renderer;
    TvAudioControl tv;
    ProcAmpControl amp;
    std::unique_ptr<FormatCatalog> owned = std::make_unique<FormatCatalog>();
    FormatCatalog& catalog = *owned;
    VideoWindowControl window;
};

TEST_F(BrokenDriverTest, FindInterfaceSayingYesWithNothingLeavesEveryAdapterDetached) {
    builder.interfaces = {{nullptr, IID_IAMTVAudio, nullptr, S_OK},
                          {&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, nullptr, S_OK},
                          {&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig, nullptr, S_OK},
                          {&PIN_CATEGORY_CAPTURE, IID_IVideoWindow, nullptr, S_OK},
                          {&PIN_CATEGORY_PREVIEW, IID_IVideoWindow, nullptr, S_OK}};
    EXPECT_FALSE(tv.Attach(&builder, &filter));
    EXPECT_FALSE(amp.Attach(&builder, &filter));
    EXPECT_FALSE(catalog.Attach(&builder, &filter));
    EXPECT_FALSE(window.Attach(&builder, &filter));
    EXPECT_FALSE(amp.hasPages);
    EXPECT_EQ(0, catalog.FormatCount());
    // Nothing was asked of an interface that is not there.
    EXPECT_EQ(Lines{}, fakes::JournalOf({"tvaudio.", "procamp.", "pages[", "streamconfig."}));
}

TEST_F(BrokenDriverTest, PageCountWithoutAListIsNoPages) {
    builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoProcAmp, &procAmp);
    procAmp.pages.pages = {PageA, PageA, PageA};
    procAmp.pages.countWithoutList = true;
    ASSERT_TRUE(amp.Attach(&builder, &filter));
    EXPECT_FALSE(amp.hasPages);

    // Pages found before, and the driver breaks afterwards: still no frame.
    amp.hasPages = true;
    fakes::ClearJournal();
    amp.ShowPropertyPages(nullptr);
    EXPECT_EQ((Lines{"procamp.QueryInterface(ISpecifyPropertyPages)", "pages[procamp].GetPages"}),
              fakes::Journal());
}

TEST_F(BrokenDriverTest, CapabilityBlockIsNeverSmallerThanTheStructureTheDeviceWrites) {
    builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig, &config);
    config.capabilities = {fakes::VideoCapability(MEDIASUBTYPE_RGB565, 16, 320, 240),
                           fakes::VideoCapability(MEDIASUBTYPE_RGB565, 16, 640, 480)};
    for (int reported : {0, -8, 4, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)) - 1}) {
        SCOPED_TRACE(reported);
        config.capabilitySize = reported;
        config.overruns = 0;
        ASSERT_TRUE(catalog.Attach(&builder, &filter));
        EXPECT_EQ(0, config.overruns);
        EXPECT_EQ(2, catalog.FormatCount());
        catalog.Detach();
    }
}

TEST_F(BrokenDriverTest, AbsurdCapabilityCountOrSizeMeansNoFormats) {
    builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMStreamConfig, &config);
    config.capabilities = {fakes::VideoCapability(MEDIASUBTYPE_RGB565, 16, 320, 240)};
    const struct {
        int count;
        int size;
    } cases[] = {{INT_MAX, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS))}, {1, INT_MAX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " of " + std::to_string(c.size));
        config.reportedCount = c.count;
        config.capabilitySize = c.size;
        fakes::ClearJournal();
        EXPECT_TRUE(catalog.Attach(&builder, &filter));
        EXPECT_EQ(0, catalog.FormatCount());
        EXPECT_TRUE(catalog.formats.empty());
        EXPECT_EQ(Lines{}, fakes::JournalOf({"streamconfig.GetStreamCaps", "streamconfig.SetFormat"}));
        int width = -1;
        int height = -1;
        EXPECT_FALSE(catalog.GetCurrentSize(width, height));
        catalog.Detach();
    }
}

TEST_F(BrokenDriverTest, VideoWindowIsLookedForOnThePreviewPathWhenTheCapturePathHasNone) {
    builder.Answer(&PIN_CATEGORY_PREVIEW, IID_IVideoWindow, &renderer);
    EXPECT_TRUE(window.Attach(&builder, &filter));
    EXPECT_EQ((Lines{"builder.FindInterface(CAPTURE, filter[Narvo TV], IVideoWindow)",
                     "builder.FindInterface(PREVIEW, filter[Narvo TV], IVideoWindow)"}),
              fakes::Journal());
    EXPECT_EQ(static_cast<IVideoWindow*>(&renderer), window.iface);
    EXPECT_EQ(1, renderer.References());
}

TEST_F(BrokenDriverTest, VideoWindowOnTheCapturePathIsTheOnlyOneAskedFor) {
    fakes::FakeVideoWindow other;
    builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IVideoWindow, &renderer);
    builder.Answer(&PIN_CATEGORY_PREVIEW, IID_IVideoWindow, &other);
    EXPECT_TRUE(window.Attach(&builder, &filter));
    EXPECT_EQ(Lines{"builder.FindInterface(CAPTURE, filter[Narvo TV], IVideoWindow)"}, fakes::Journal());
    EXPECT_EQ(static_cast<IVideoWindow*>(&renderer), window.iface);
}

} // namespace
