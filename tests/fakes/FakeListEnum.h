#pragma once

#include "tests/fakes/FakeBase.h"

#include <vector>

namespace fakes {

// An enumerator over the items its maker gave it, one per Next as the code
// under test asks for them; each item handed out is one more reference.
template <typename Enum, typename Item> class FakeListEnum : public Fake<Enum> {
public:
    FakeListEnum(std::string label, REFIID iid, std::vector<Item*> items)
        : Fake<Enum>(std::move(label), {iid}), items(std::move(items)) {}

    std::vector<Item*> items;
    size_t next = 0;

    STDMETHODIMP Next(ULONG count, Item** result, ULONG* fetched) override {
        this->Log("Next");
        if (count != 1) {
            return E_INVALIDARG;
        }
        if (fetched) {
            *fetched = 0;
        }
        *result = nullptr;
        if (next >= items.size()) {
            return S_FALSE;
        }
        *result = items[next++];
        (*result)->AddRef();
        if (fetched) {
            *fetched = 1;
        }
        return S_OK;
    }
    STDMETHODIMP Skip(ULONG) override { return this->Unexpected("Skip"); }
    STDMETHODIMP Reset() override {
        this->Log("Reset");
        next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Enum**) override { return this->Unexpected("Clone"); }
};

} // namespace fakes
