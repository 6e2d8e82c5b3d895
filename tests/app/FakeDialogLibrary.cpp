#include "tests/app/FakeDialogLibrary.h"

#include <cstring>

namespace {

constexpr int MaxCalls = 16;
FakeDialogCall calls[MaxCalls];
int callCount = 0;
int answer = 1;
int newRate = 0;

int Record(const char* exportName, HWND owner, const char* path, int rateIn) {
    if (callCount < MaxCalls) {
        FakeDialogCall& call = calls[callCount];
        lstrcpynA(call.exportName, exportName, sizeof call.exportName);
        call.owner = owner;
        lstrcpynA(call.path, path ? path : "(null)", sizeof call.path);
        call.rateIn = rateIn;
    }
    ++callCount;
    return answer;
}

} // namespace

extern "C" void WINAPI FakeDialogsScript(int result, int rateOut) {
    answer = result;
    newRate = rateOut;
    callCount = 0;
}

extern "C" int WINAPI FakeDialogsCalls(FakeDialogCall* out, int capacity) {
    for (int i = 0; i < callCount && i < capacity && i < MaxCalls; ++i) {
        out[i] = calls[i];
    }
    return callCount;
}

extern "C" int WINAPI VersionInfo(HWND owner, const char* settingsPath) {
    return Record("VersionInfo", owner, settingsPath, -1);
}

extern "C" int WINAPI InputFrameRate(HWND owner, int* rate) {
    const int result = Record("InputFrameRate", owner, "", rate ? *rate : -1);
    if (rate) {
        *rate = newRate;
    }
    return result;
}

extern "C" int WINAPI SetupPresetChannel(HWND owner, const char* settingsPath) {
    return Record("SetupPresetChannel", owner, settingsPath, -1);
}
