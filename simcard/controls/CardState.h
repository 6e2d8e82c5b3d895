#pragma once

#include "common/Ownership.h"

#include <windows.h>

// Picture adjustment values, in the ranges ProcAmp reports.
struct PictureAdjustment {
    long brightness = 0;   // -100..100
    long contrast = 100;   // 0..200 (percent)
    long hue = 0;          // -180..180 (degrees)
    long saturation = 100; // 0..200 (percent)
    long sharpness = 5;    // 0..10
    long gamma = 100;      // 50..300 (gamma x 100)
};

// Crossbar input indices.
enum CrossbarInput : long {
    InputTunerVideo = 0,
    InputComposite = 1,
    InputSVideo = 2,
    InputTunerAudio = 3,
    InputLineAudio = 4,
    CrossbarInputCount = 5,
};
enum CrossbarOutput : long {
    OutputVideoDecoder = 0,
    OutputAudioDecoder = 1,
    CrossbarOutputCount = 2,
};

// Everything the controls change and the picture shows.
struct CardSettings {
    long videoRoute = InputTunerVideo; // input routed to the video decoder
    long audioRoute = InputTunerAudio; // input routed to the audio decoder, -1 for none
    long channel = 1;
    long countryCode = 81;
    long tuningSpace = 0;
    long tunerMode = 0x1; // AMTUNER_MODE_TV
    long tunerInput = 0;
    long tunerInputType = 0; // TunerInputCable = 0, TunerInputAntenna = 1
    long tvAudioMode = 0x2;  // AMTVAUDIO_MODE_STEREO
    double quality = 0.5;
    PictureAdjustment picture;
};

// The card's settings, shared by the control interfaces (which change them)
// and the streaming threads (which draw them). The version counts changes so a
// picture generator redraws only when something changed.
class CardState {
public:
    CardState();
    ~CardState();
    CardState(const CardState&) = delete;
    CardState& operator=(const CardState&) = delete;

    CardSettings Get() const;
    LONG Version() const { return version; }

    template <typename Change> void Modify(Change change) {
        ScopedLock hold(lock);
        change(settings);
        InterlockedIncrement(&version);
    }

private:
    mutable CRITICAL_SECTION lock;
    CardSettings settings;
    volatile LONG version = 1;
};
