#include "common/Ownership.h"

#include "tests/fakes/FakeComTest.h"

#include <utility>

namespace {

class Token : public fakes::Fake<IUnknown> {
public:
    explicit Token(const char* label) : Fake(label, {IID_IUnknown}) {}
};

// A media type as a device hands it out: structure and format block in task
// memory, and a counted pUnk.
AM_MEDIA_TYPE* HandedOut(const std::string& name, IUnknown* unknown) {
    auto* type = static_cast<AM_MEDIA_TYPE*>(fakes::TaskAlloc(sizeof(AM_MEDIA_TYPE), name + " struct"));
    *type = {};
    type->cbFormat = sizeof(VIDEOINFOHEADER);
    type->pbFormat = static_cast<BYTE*>(fakes::TaskAlloc(type->cbFormat, name + " format"));
    type->pUnk = unknown;
    unknown->AddRef();
    return type;
}

using Ownership = FakeComTest;

TEST_F(Ownership, MediaTypeGivesBackFormatUnknownAndStructure) {
    Token first("first"), second("second");
    MediaTypePtr type(HandedOut("first", &first));
    MediaTypePtr moved(std::move(type));
    EXPECT_FALSE(type);
    EXPECT_EQ(first.References(), 1);

    // Assigning over a held type frees the old one at once.
    moved = MediaTypePtr(HandedOut("second", &second));
    EXPECT_TRUE(fakes::TaskFreed("first"));
    EXPECT_EQ(first.References(), 0);

    // An out parameter drops what was held before it is filled.
    *moved.Put() = nullptr;
    EXPECT_TRUE(fakes::TaskFreed("second"));
    EXPECT_EQ(second.References(), 0);
}

TEST_F(Ownership, ComRefMovesAndSharesWithoutLosingCount) {
    Token token("token");
    {
        ComRef<IUnknown> shared = ComRef<IUnknown>::Share(&token);
        EXPECT_EQ(token.References(), 1);
        ComRef<IUnknown> moved(std::move(shared));
        EXPECT_FALSE(shared);
        ComRef<IUnknown> assigned;
        assigned = std::move(moved);
        EXPECT_EQ(token.References(), 1);
        IUnknown* taken = assigned.Detach();
        EXPECT_EQ(token.References(), 1);
        ComRef<IUnknown> adopted(taken);
    }
    EXPECT_EQ(token.References(), 0);
}

TEST_F(Ownership, PageListFreesAnEmptyArrayToo) {
    {
        PropertyPageList pages;
        CAUUID* list = pages.Put();
        list->cElems = 0;
        list->pElems = static_cast<GUID*>(fakes::TaskAlloc(sizeof(GUID), "empty pages"));
        EXPECT_EQ(pages.Count(), 0u);
    }
    EXPECT_TRUE(fakes::TaskFreed("empty pages"));
}

} // namespace
