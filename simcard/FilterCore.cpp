#include "simcard/FilterCore.h"

#include <cstring>
#include <cwchar>

FilterCore::FilterCore() {
    InitializeCriticalSection(&lock);
}

FilterCore::~FilterCore() {
    if (clock) {
        clock->Release();
    }
    DeleteCriticalSection(&lock);
}

void FilterCore::SetState(FILTER_STATE newState) {
    EnterCriticalSection(&lock);
    state = newState;
    LeaveCriticalSection(&lock);
}

HRESULT FilterCore::GetState(FILTER_STATE* current, HRESULT whenPaused) const {
    if (!current) {
        return E_POINTER;
    }
    EnterCriticalSection(&lock);
    *current = state;
    LeaveCriticalSection(&lock);
    return *current == State_Paused ? whenPaused : S_OK;
}

HRESULT FilterCore::SetSyncSource(IReferenceClock* newClock) {
    EnterCriticalSection(&lock);
    if (newClock) {
        newClock->AddRef();
    }
    if (clock) {
        clock->Release();
    }
    clock = newClock;
    LeaveCriticalSection(&lock);
    return S_OK;
}

HRESULT FilterCore::GetSyncSource(IReferenceClock** current) const {
    if (!current) {
        return E_POINTER;
    }
    EnterCriticalSection(&lock);
    *current = clock;
    if (clock) {
        clock->AddRef();
    }
    LeaveCriticalSection(&lock);
    return S_OK;
}

HRESULT FilterCore::QueryFilterInfo(FILTER_INFO* info) const {
    if (!info) {
        return E_POINTER;
    }
    EnterCriticalSection(&lock);
    std::memcpy(info->achName, name, sizeof info->achName);
    info->pGraph = graph;
    if (graph) {
        graph->AddRef();
    }
    LeaveCriticalSection(&lock);
    return S_OK;
}

void FilterCore::JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName) {
    EnterCriticalSection(&lock);
    graph = newGraph;
    std::memset(name, 0, sizeof name);
    if (newName) {
        std::wcsncpy(name, newName, sizeof name / sizeof name[0] - 1);
    }
    LeaveCriticalSection(&lock);
}
