#pragma once

#include "common/Ownership.h"

#include <windows.h>
#include <dshow.h>

// The common shape of the control objects on the card's interfaces: one held
// interface reference, taken by Attach and given back by Detach only.
//
// Derived supplies static Category() (a pin category or null) and
// InterfaceId(), and may hide OnAttached() with its own step; the step is
// bound at compile time, so the adapters stay free of virtual calls. A step
// that fails leaves the adapter attached: the user's commands may still work.
template <typename Derived, typename Interface> class FilterAdapter {
public:
    FilterAdapter() = default;
    FilterAdapter(const FilterAdapter&) = delete;
    FilterAdapter& operator=(const FilterAdapter&) = delete;

    bool Attach(ICaptureGraphBuilder* builder, IBaseFilter* filter) {
        if (!builder || !filter || iface) {
            return false;
        }
        // A broken driver may answer S_OK and give nothing. Another success
        // code still hands over a reference, kept for the user's commands and
        // given back by Detach; but the set-up step waits for an S_OK: most
        // steps read the stored settings, and a doubtful answer leaves them
        // unread, so they are not written over at exit.
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
        ReleaseAndClear(iface);
        hasPages = false;
        return true;
    }

    void OnAttached() {}

    Interface* iface = nullptr;
    bool hasPages = false;

private:
    // Only ever sets hasPages; a later attach without pages does not clear it.
    void ProbePropertyPages() {
        ComRef<ISpecifyPropertyPages> specify;
        if (iface->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()) != S_OK || !specify) {
            return;
        }
        // A count without a list is no page that could be shown; an empty
        // list may still be a block of its own, which the holder frees.
        PropertyPageList pages;
        if (specify->GetPages(pages.Put()) == S_OK && pages.Count() > 0) {
            hasPages = true;
        }
    }
};
