#pragma once

#include <windows.h>
#include <dshow.h>

// The common shape of the control objects on the card's interfaces: one held
// interface reference, taken by Attach and given back by Detach only.
//
// Derived supplies static Category() (a pin category or null) and
// InterfaceId(), and may hide OnAttached() with its own step; the step is
// bound at compile time, so the adapters stay free of virtual calls.
template <typename Derived, typename Interface> class FilterAdapter {
public:
    FilterAdapter() = default;
    FilterAdapter(const FilterAdapter&) = delete;
    FilterAdapter& operator=(const FilterAdapter&) = delete;

    bool Attach(ICaptureGraphBuilder* builder, IBaseFilter* filter) {
        if (!builder || !filter || iface) {
            return false;
        }
        // A broken driver may answer S_OK and give nothing.
        if (builder->FindInterface(Derived::Category(), filter, Derived::InterfaceId(),
                                   reinterpret_cast<void**>(&iface)) != S_OK ||
            !iface) {
            return iface != nullptr;
        }
        ProbePropertyPages();
        static_cast<Derived*>(this)->OnAttached();
        return iface != nullptr;
    }

    bool Detach() {
        if (iface) {
            iface->Release();
        }
        iface = nullptr;
        hasPages = false;
        return true;
    }

    bool OnAttached() { return true; }

    Interface* iface = nullptr;
    bool hasPages = false;

private:
    // Only ever sets hasPages; a later attach without pages does not clear it.
    void ProbePropertyPages() {
        ISpecifyPropertyPages* pages = nullptr;
        if (iface->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&pages)) != S_OK ||
            !pages) {
            return;
        }
        CAUUID list = {};
        if (pages->GetPages(&list) == S_OK) {
            // A count without a list is no page that could be shown.
            if (list.cElems > 0 && list.pElems) {
                hasPages = true;
            }
            // An empty list may still be a block of its own.
            CoTaskMemFree(list.pElems);
        }
        pages->Release();
    }
};
