#include "simcard/CardState.h"

CardState::CardState() {
    InitializeCriticalSection(&lock);
}

CardState::~CardState() {
    DeleteCriticalSection(&lock);
}

CardSettings CardState::Get() const {
    EnterCriticalSection(&lock);
    CardSettings copy = settings;
    LeaveCriticalSection(&lock);
    return copy;
}
