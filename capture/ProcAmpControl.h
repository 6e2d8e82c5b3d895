#pragma once

#include "capture/FilterAdapter.h"

// The capture filter's picture adjustment, reached through its property pages.
class ProcAmpControl : public FilterAdapter<ProcAmpControl, IAMVideoProcAmp> {
public:
    static const GUID* Category() { return &PIN_CATEGORY_CAPTURE; }
    static REFIID InterfaceId() { return IID_IAMVideoProcAmp; }

    // Shows every listed page but the first in a modal property frame.
    void ShowPropertyPages(HWND owner);
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern ProcAmpControl procAmpControl;
