#include "simcard/server/Module.h"

namespace {
HINSTANCE moduleInstance = nullptr;
volatile LONG liveObjects = 0;
volatile LONG serverLocks = 0;
} // namespace

namespace Module {

HINSTANCE Instance() {
    return moduleInstance;
}
void SetInstance(HINSTANCE instance) {
    moduleInstance = instance;
}

void ObjectCreated() {
    InterlockedIncrement(&liveObjects);
}
void ObjectDestroyed() {
    InterlockedDecrement(&liveObjects);
}

void LockServer(bool lock) {
    if (lock) {
        InterlockedIncrement(&serverLocks);
    } else {
        InterlockedDecrement(&serverLocks);
    }
}

bool CanUnload() {
    return liveObjects == 0 && serverLocks == 0;
}

} // namespace Module
