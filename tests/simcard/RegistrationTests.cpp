// regsvr32 /u as the card answers it: every entry it may have written is
// removed, an entry that is not there is no failure, and one that could not
// be removed fails the call. A fake filter mapper stands in for the
// platform's, so the answers can be chosen; the test runs in a prefix of its
// own, where none of the card's classes are registered.
#include "tests/fakes/FakeComTest.h"
#include "tests/fakes/FakeGraph.h"

#include <string>
#include <vector>

namespace {

using fakes::Fake;

class FakeMapper : public Fake<IFilterMapper2> {
public:
    FakeMapper() : Fake("mapper", {IID_IFilterMapper2}) {}
    // Answers for successive UnregisterFilter calls; "not found" once they run out.
    std::vector<HRESULT> answers;

    STDMETHODIMP UnregisterFilter(const CLSID*, LPCOLESTR instance, REFCLSID) override {
        Log("UnregisterFilter(" + fakes::Utf8(instance) + ")");
        if (answers.empty()) {
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        }
        const HRESULT answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    STDMETHODIMP CreateCategory(REFCLSID, DWORD, LPCWSTR) override { return Unexpected("CreateCategory"); }
    STDMETHODIMP RegisterFilter(REFCLSID, LPCWSTR, IMoniker**, const CLSID*, LPCOLESTR,
                                const REGFILTER2*) override {
        return Unexpected("RegisterFilter");
    }
    STDMETHODIMP EnumMatchingFilters(IEnumMoniker**, DWORD, WINBOOL, DWORD, WINBOOL, DWORD, const GUID*,
                                     const REGPINMEDIUM*, const CLSID*, WINBOOL, WINBOOL, DWORD, const GUID*,
                                     const REGPINMEDIUM*, const CLSID*) override {
        return Unexpected("EnumMatchingFilters");
    }
};

class CardUnregistration : public FakeComTest {
protected:
    void SetUp() override {
        FakeComTest::SetUp();
        card = LoadLibraryA(SIMCARD_AX_PATH);
        ASSERT_NE(nullptr, card);
        unregister = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(card, "DllUnregisterServer")));
        ASSERT_NE(nullptr, unregister);
        mapperClass.Register();
    }
    void TearDown() override {
        mapperClass.Revoke();
        FreeLibrary(card);
        FakeComTest::TearDown();
    }

    static std::vector<std::string> EveryInstance() {
        std::vector<std::string> calls = {"mapper.UnregisterFilter(SimTvCard Video 2)",
                                          "mapper.UnregisterFilter(SimTvCard Video 1)"};
        for (int number = 1; number <= 12; ++number) {
            char line[64];
            snprintf(line, sizeof line, "mapper.UnregisterFilter(SimTvCard Audio %02d)", number);
            calls.push_back(line);
        }
        return calls;
    }

    HMODULE card = nullptr;
    HRESULT(WINAPI* unregister)() = nullptr;
    FakeMapper mapper;
    fakes::FakeClass mapperClass{CLSID_FilterMapper2, static_cast<IFilterMapper2*>(&mapper)};
};

TEST_F(CardUnregistration, EntriesThatAreNotThereAreNoFailure) {
    mapper.answers = {S_OK, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), S_OK, S_OK, S_OK};
    EXPECT_EQ(S_OK, unregister());
    EXPECT_EQ(EveryInstance(), fakes::JournalOf({"mapper."}));
}

TEST_F(CardUnregistration, AnEntryThatCannotBeRemovedFailsTheCallAfterEveryOtherIsTried) {
    mapper.answers = {S_OK, S_OK, E_ACCESSDENIED, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)};
    EXPECT_EQ(E_ACCESSDENIED, unregister());
    EXPECT_EQ(EveryInstance(), fakes::JournalOf({"mapper."}));
}

TEST_F(CardUnregistration, NoFilterMapperIsAFailure) {
    mapperClass.results = {REGDB_E_CLASSNOTREG};
    EXPECT_EQ(REGDB_E_CLASSNOTREG, unregister());
    EXPECT_EQ(std::vector<std::string>{}, fakes::JournalOf({"mapper."}));
}

} // namespace
