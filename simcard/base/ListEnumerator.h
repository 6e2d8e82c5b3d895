#pragma once

#include <windows.h>

#include <vector>

// The COM enumerator over a copy of a list (IEnumPins, IEnumMediaTypes):
// a subclass says how one item is handed out and how it is copied for Clone.
template <typename Interface, typename Item, typename Out> class ListEnumerator : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (iid != IID_IUnknown && iid != interfaceId) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs);
        if (left == 0) {
            delete this;
        }
        return left;
    }

    STDMETHODIMP Next(ULONG count, Out* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) {
            return E_POINTER;
        }
        ULONG given = 0;
        while (given < count && position < items.size() && HandOut(items[position], out[given])) {
            ++position;
            ++given;
        }
        if (fetched) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        if (position + count > items.size()) {
            position = items.size();
            return S_FALSE;
        }
        position += count;
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Interface** clone) override {
        if (!clone) {
            return E_POINTER;
        }
        *clone = Copy();
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

protected:
    ListEnumerator(REFIID iid, const std::vector<Item>& list, size_t start)
        : interfaceId(iid), items(list), position(start) {}
    virtual ~ListEnumerator() = default;

    // False when the item cannot be handed out (out of memory).
    virtual bool HandOut(const Item& item, Out& out) = 0;
    // A new enumerator at the same place, or null.
    virtual Interface* Copy() const = 0;

    const IID interfaceId;
    const std::vector<Item> items;
    size_t position;

private:
    volatile LONG refs = 1;
};
