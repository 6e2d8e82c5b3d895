#pragma once

#include "capture/FilterAdapter.h"

// The card's TV audio: put into stereo whenever it is attached.
class TvAudioControl : public FilterAdapter<TvAudioControl, IAMTVAudio> {
public:
    static const GUID* Category() { return nullptr; }
    static REFIID InterfaceId() { return IID_IAMTVAudio; }

    void OnAttached();
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern TvAudioControl tvAudioControl;
