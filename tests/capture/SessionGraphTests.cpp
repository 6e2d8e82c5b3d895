// The preview chain and the graph's start and stop: what is built, what is
// removed and in which order, and which answers count as success.
#include "tests/capture/SessionFixture.h"

namespace {

class PreviewTest : public SessionTest {
protected:
    // The chain the builder makes for a card with only a capture pin:
    // crossbar -> card -> tee -> renderer, and the tee's second branch to a sink.
    void BuildChain() {
        fakes::Connect(crossbar.AddPin(PINDIR_OUTPUT, "crossbar out"), *card.filter.pins[0]);
        fakes::Connect(*card.filter.pins[1], tee.AddPin(PINDIR_INPUT, "tee in"));
        fakes::Connect(tee.AddPin(PINDIR_OUTPUT, "tee preview"),
                       renderer.AddPin(PINDIR_INPUT, "renderer in"));
        fakes::Connect(tee.AddPin(PINDIR_OUTPUT, "tee capture"), sink.AddPin(PINDIR_INPUT, "sink in"));
        for (fakes::FakeFilter* filter : {&crossbar, &tee, &renderer, &sink}) {
            graph.AddFilter(filter, L"");
        }
        fakes::ClearJournal();
    }

    fakes::FakeFilter crossbar{"crossbar"};
    fakes::FakeFilter tee{"tee"};
    fakes::FakeFilter renderer{"renderer"};
    fakes::FakeFilter sink{"sink"};
    fakes::FakeCompression compression;
};

TEST_F(PreviewTest, RendersThePreviewAndReappliesTheQuality) {
    Start();
    builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoCompression, &compression);
    session.videoQuality = 0.7;
    EXPECT_TRUE(session.BuildPreview());
    EXPECT_EQ((Lines{
                  "graph.SetDefaultSyncSource",
                  "graph.EnumFilters",
                  "builder.RenderStream(PREVIEW, filter[Narvo TV], NULL, NULL)",
                  "builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoCompression)",
                  "compression.GetInfo(no texts)",
                  "compression.put_Quality(0.7)",
              }),
              fakes::JournalOf({"graph.", "builder.RenderStream",
                                "builder.FindInterface(CAPTURE, filter[Narvo TV], "
                                "IAMVideoCompression)",
                                "compression."}));
}

TEST_F(PreviewTest, NoPreviewPinStillBuildsThePreview) {
    Start();
    builder.renderStreamResult = VFW_S_NOPREVIEWPIN;
    EXPECT_TRUE(session.BuildPreview());
    EXPECT_EQ(
        1u,
        fakes::JournalOf({"builder.FindInterface(CAPTURE, filter[Narvo TV], IAMVideoCompression)"}).size());
}

TEST_F(PreviewTest, OtherAnswersOfTheBuilderFailTheBuild) {
    Start();
    for (HRESULT answer : {S_FALSE, E_FAIL, VFW_E_CANNOT_CONNECT}) {
        SCOPED_TRACE(fakes::Hresult(answer));
        builder.renderStreamResult = answer;
        fakes::ClearJournal();
        EXPECT_FALSE(session.BuildPreview());
        // Nothing after the refused render: no quality, no video window.
        EXPECT_TRUE(fakes::JournalOf({"builder.FindInterface", "compression."}).empty());
    }
}

TEST_F(PreviewTest, RefusedRenderTakesOutWhatItLeftInTheGraph) {
    Start();
    builder.renderStreamResult = VFW_E_CANNOT_CONNECT;
    builder.renderAdds = {&tee, &renderer};
    fakes::ClearJournal();
    EXPECT_FALSE(session.BuildPreview());
    EXPECT_EQ((Lines{"graph.RemoveFilter(filter[tee])", "graph.RemoveFilter(filter[renderer])"}),
              fakes::JournalOf({"graph.RemoveFilter"}));
    EXPECT_TRUE(graph.Holds(&card.filter));
    EXPECT_FALSE(graph.Holds(&tee));
    EXPECT_FALSE(graph.Holds(&renderer));
}

TEST_F(PreviewTest, BuiltChainAndUnlistableGraphsAreLeftAlone) {
    Start();
    builder.renderAdds = {&tee, &renderer};
    EXPECT_TRUE(session.BuildPreview());
    EXPECT_TRUE(graph.Holds(&renderer));

    // A graph that cannot list its filters gives nothing to compare against.
    session.DismantlePreview();
    graph.RemoveFilter(&tee);
    graph.RemoveFilter(&renderer);
    graph.enumFiltersResult = E_NOTIMPL;
    builder.renderStreamResult = E_FAIL;
    fakes::ClearJournal();
    EXPECT_FALSE(session.BuildPreview());
    EXPECT_TRUE(fakes::JournalOf({"graph.RemoveFilter"}).empty());
    graph.RemoveFilter(&tee);
    graph.RemoveFilter(&renderer);
}

TEST_F(PreviewTest, RemoveDownstreamTakesTheFarthestFiltersFirstAndKeepsUpstream) {
    Start();
    BuildChain();
    session.RemoveDownstream(&card.filter);
    EXPECT_EQ((Lines{
                  "graph.Disconnect(pin[renderer in])",
                  "graph.Disconnect(pin[tee preview])",
                  "graph.RemoveFilter(filter[renderer])",
                  "graph.Disconnect(pin[sink in])",
                  "graph.Disconnect(pin[tee capture])",
                  "graph.RemoveFilter(filter[sink])",
                  "graph.Disconnect(pin[tee in])",
                  "graph.Disconnect(pin[capture])",
                  "graph.RemoveFilter(filter[tee])",
              }),
              fakes::JournalOf({"graph."}));
    EXPECT_TRUE(graph.Holds(&card.filter));
    EXPECT_TRUE(graph.Holds(&crossbar));
    EXPECT_EQ(card.filter.pins[0].get(), crossbar.pins[0]->peer);
}

TEST_F(PreviewTest, RemoveDownstreamStopsWhereAPeerCannotSayWhatItIs) {
    Start();
    BuildChain();
    tee.pins[0]->queryPinInfoResult = E_FAIL;
    session.RemoveDownstream(&card.filter);
    EXPECT_EQ(Lines{}, fakes::JournalOf({"graph."}));
    EXPECT_TRUE(graph.Holds(&tee));
}

TEST_F(PreviewTest, StopPreviewDismantlesTheChainOfAStoppedGraph) {
    Start();
    BuildChain();
    EXPECT_TRUE(session.StopPreview());
    EXPECT_EQ("graph.StopWhenReady", fakes::JournalOf({"graph."}).front());
    EXPECT_FALSE(graph.Holds(&tee));
    EXPECT_FALSE(graph.Holds(&renderer));
    EXPECT_FALSE(graph.Holds(&sink));
    EXPECT_TRUE(graph.Holds(&card.filter));
}

TEST_F(PreviewTest, StopPreviewKeepsTheChainWhenTheGraphDoesNotStop) {
    Start();
    BuildChain();
    // Only S_OK is a stop: S_FALSE leaves filters still on their way.
    for (HRESULT answer : {E_FAIL, S_FALSE}) {
        SCOPED_TRACE(answer);
        graph.stopWhenReadyResult = answer;
        fakes::ClearJournal();
        EXPECT_FALSE(session.StopPreview());
        EXPECT_EQ(Lines{"graph.StopWhenReady"}, fakes::JournalOf({"graph."}));
        EXPECT_TRUE(graph.Holds(&tee));
        EXPECT_EQ(tee.pins[0].get(), card.filter.pins[1]->peer);
    }
}

struct RunCase {
    const char* what;
    HRESULT run;
    OAFilterState before;
    OAFilterState afterRun;
    bool started;
    bool asksState;
};

TEST_F(PreviewTest, RunGraphCountsTheGraphAsStartedWhenItRuns) {
    const RunCase cases[] = {
        {"S_OK", S_OK, State_Stopped, State_Running, true, false},
        {"S_FALSE, then running", S_FALSE, State_Stopped, State_Running, true, true},
        {"S_FALSE, still paused", S_FALSE, State_Stopped, State_Paused, false, true},
        {"failure while running", E_FAIL, State_Running, State_Running, true, true},
        {"failure while stopped", E_FAIL, State_Stopped, State_Running, false, true},
    };
    Start();
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.what);
        graph.runResult = c.run;
        graph.state = c.before;
        graph.stateAfterRun = c.afterRun;
        fakes::ClearJournal();
        EXPECT_EQ(c.started, session.RunGraph());
        EXPECT_EQ(c.asksState ? (Lines{"graph.Run", "graph.GetState(500)"}) : Lines{"graph.Run"},
                  fakes::JournalOf({"graph."}));
    }
}

TEST_F(PreviewTest, RunAndStopFailWithoutAGraphOrItsMediaControl) {
    EXPECT_FALSE(session.RunGraph());
    EXPECT_FALSE(session.StopGraph());
    Start();
    graph.mediaControl = false;
    EXPECT_FALSE(session.RunGraph());
    EXPECT_FALSE(session.StopGraph());
    EXPECT_EQ(Lines{}, fakes::JournalOf({"graph."}));
}

TEST_F(PreviewTest, StartPreviewRunsOnlyABuiltChain) {
    Start();
    builder.renderStreamResult = E_FAIL;
    EXPECT_FALSE(session.StartPreview());
    EXPECT_EQ(Lines{}, fakes::JournalOf({"graph.Run"}));
    builder.renderStreamResult = S_OK;
    EXPECT_TRUE(session.StartPreview());
    EXPECT_EQ(Lines{"graph.Run"}, fakes::JournalOf({"graph.Run"}));
}

class QualityTest : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        Start();
        builder.Answer(&PIN_CATEGORY_CAPTURE, IID_IAMVideoCompression, &compression);
    }
};

TEST_F(QualityTest, AcceptedQualityIsKept) {
    EXPECT_TRUE(session.SetQuality(1.0));
    EXPECT_EQ(1.0, session.videoQuality);
    EXPECT_EQ(1.0, compression.quality);
    EXPECT_EQ(Lines{}, fakes::JournalOf({"graph."})); // no stop, no restart
}

TEST_F(QualityTest, DeviceWithoutQualityControlKeepsTheQuality) {
    compression.capabilities = CompressionCaps_CanKeyFrame | CompressionCaps_CanCrunch;
    EXPECT_FALSE(session.SetQuality(1.0));
    EXPECT_EQ(0.5, session.videoQuality);
    EXPECT_EQ(Lines{}, fakes::JournalOf({"compression.put_Quality"}));
}

TEST_F(QualityTest, RefusedOrUnknownQualityKeepsTheQuality) {
    compression.putQualityResult = E_INVALIDARG;
    EXPECT_FALSE(session.SetQuality(0.0));
    EXPECT_EQ(0.5, session.videoQuality);
    compression.putQualityResult = S_OK;
    compression.getInfoResult = E_NOTIMPL;
    EXPECT_FALSE(session.SetQuality(0.0));
    EXPECT_EQ(0.5, session.videoQuality);
}

TEST_F(QualityTest, NoCompressionInterfaceMeansNoQuality) {
    builder.interfaces.clear();
    EXPECT_FALSE(session.SetQuality(1.0));
    EXPECT_EQ(0.5, session.videoQuality);
}

} // namespace
