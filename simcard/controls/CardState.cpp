#include "simcard/controls/CardState.h"

CardState::CardState() {
    InitializeCriticalSection(&lock);
}

CardState::~CardState() {
    DeleteCriticalSection(&lock);
}

CardSettings CardState::Get() const {
    ScopedLock hold(lock);
    return settings;
}
