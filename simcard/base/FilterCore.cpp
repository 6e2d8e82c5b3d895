#include "simcard/base/FilterCore.h"

#include <cstring>
#include <cwchar>

FilterCore::FilterCore() {
    InitializeCriticalSection(&lock);
}

FilterCore::~FilterCore() {
    DeleteCriticalSection(&lock);
}

void FilterCore::SetState(FILTER_STATE newState) {
    ScopedLock hold(lock);
    state = newState;
}

HRESULT FilterCore::GetState(FILTER_STATE* current, HRESULT whenPaused) const {
    if (!current) {
        return E_POINTER;
    }
    ScopedLock hold(lock);
    *current = state;
    return *current == State_Paused ? whenPaused : S_OK;
}

HRESULT FilterCore::SetSyncSource(IReferenceClock* newClock) {
    ScopedLock hold(lock);
    clock = ComRef<IReferenceClock>::Share(newClock);
    return S_OK;
}

HRESULT FilterCore::GetSyncSource(IReferenceClock** current) const {
    if (!current) {
        return E_POINTER;
    }
    ScopedLock hold(lock);
    *current = ComRef<IReferenceClock>::Share(clock.Get()).Detach();
    return S_OK;
}

HRESULT FilterCore::QueryFilterInfo(FILTER_INFO* info) const {
    if (!info) {
        return E_POINTER;
    }
    ScopedLock hold(lock);
    std::memcpy(info->achName, name, sizeof info->achName);
    info->pGraph = ComRef<IFilterGraph>::Share(graph).Detach();
    return S_OK;
}

void FilterCore::JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName) {
    ScopedLock hold(lock);
    graph = newGraph;
    std::memset(name, 0, sizeof name);
    if (newName) {
        std::wcsncpy(name, newName, sizeof name / sizeof name[0] - 1);
    }
}
