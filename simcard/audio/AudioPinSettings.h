#pragma once

#include "simcard/audio/AudioFormats.h"
#include "simcard/base/MediaTypes.h"

#include <dshow.h>

// What a program chose for an audio capture pin through IAMStreamConfig and
// IAMBufferNegotiation, and what the connection got. Read and changed under
// the filter's lock.
struct AudioPinSettings {
    MediaType format = AudioFormats::At(0);
    bool chosen = false; // by SetFormat: then only this format is proposed
    // Zero or negative fields: no preference.
    ALLOCATOR_PROPERTIES suggested = {-1, -1, -1, -1};
    bool connected = false;
    ALLOCATOR_PROPERTIES actual = {}; // of the connection's allocator
};
