#pragma once

#include "simcard/hooks/Journal.h"
#include "simcard/hooks/Options.h"

#include <cstdarg>

// The three steps of every call of the card that a test can refuse and reads
// back: a fault injected under the method's name ("Part.Method") answers
// E_FAIL without running the body; the journal gets the line either way,
// the method's name, then the details, then the result.
template <typename Body>
HRESULT RecordedCall(const char* method, Body&& body, const char* details = "", ...) {
    const HRESULT hr = Faults::Injected(method) ? E_FAIL : body();
    va_list args;
    va_start(args, details);
    Journal::RecordCall(hr, method, details, args);
    va_end(args);
    return hr;
}
