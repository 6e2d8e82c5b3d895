// The fakes' own checks: a stray call or a string never freed must fail a
// test, or every other test's silence means nothing.
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeDevices.h"
#include "tests/fakes/FakeGraph.h"

namespace {

using Lines = std::vector<std::string>;

class StrictFakeTest : public FakeComTest {};

TEST_F(StrictFakeTest, OnlyCallsTheTestExpectedPass) {
    fakes::FakeGraph graph;
    graph.Expect({"Abort"});
    EXPECT_EQ(E_NOTIMPL, graph.Abort());
    EXPECT_EQ(E_NOTIMPL, graph.Render(nullptr));
    EXPECT_EQ(S_OK, graph.ShouldOperationContinue()); // an unexpected call still answers as before
    EXPECT_EQ((Lines{"unexpected graph.Render", "unexpected graph.ShouldOperationContinue"}),
              fakes::Unreleased());
    fakes::Reset();
}

TEST_F(StrictFakeTest, FriendlyNameIsOutUntilSysFreeString) {
    fakes::FakePropertyBag bag("card", L"Narvo TV");
    VARIANT name;
    VariantInit(&name);
    ASSERT_EQ(S_OK, bag.Read(L"FriendlyName", &name, nullptr));
    EXPECT_EQ(Lines{"bag[card] FriendlyName not freed"}, fakes::Unreleased());
    SysFreeString(name.bstrVal);
    EXPECT_EQ(Lines{}, fakes::Unreleased());
}

} // namespace
