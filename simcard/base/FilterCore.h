#pragma once

#include "common/Ownership.h"

#include <dshow.h>

// What every filter here answers alike on IMediaFilter and IBaseFilter: its
// state, its reference clock, and the graph it joined with its name there.
// The graph is not counted: the graph owns the filter. The lock guards these
// and serves as the filter's data lock too; it is recursive, so the filter
// may call in while holding it.
class FilterCore {
public:
    FilterCore();
    ~FilterCore();
    FilterCore(const FilterCore&) = delete;
    FilterCore& operator=(const FilterCore&) = delete;

    CRITICAL_SECTION& Lock() const { return lock; }

    // Read under Lock().
    FILTER_STATE State() const { return state; }
    IReferenceClock* Clock() const { return clock.Get(); } // not counted
    void SetState(FILTER_STATE newState);                  // takes the lock

    // The methods' bodies. GetState answers whenPaused in the paused state.
    HRESULT GetState(FILTER_STATE* current, HRESULT whenPaused) const;
    HRESULT SetSyncSource(IReferenceClock* newClock);
    HRESULT GetSyncSource(IReferenceClock** current) const;
    HRESULT QueryFilterInfo(FILTER_INFO* info) const;
    // Keeps the name given, cut to FILTER_INFO's; none leaves it empty.
    void JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName);

private:
    mutable CRITICAL_SECTION lock;
    FILTER_STATE state = State_Stopped;
    ComRef<IReferenceClock> clock;
    IFilterGraph* graph = nullptr;
    wchar_t name[128] = {};
};
