#pragma once

#include <windows.h>

// Lets windows handle what was posted to them, a few rounds apart so that
// messages posted while handling are handled too.
inline void Pump() {
    MSG message;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}
