#pragma once

#include "simcard/controls/CardState.h"

#include <windows.h>

// What one audio device hears. "SimTV Line In" carries the card's audio
// output: a tone whose pitch tells the tuned channel while the tuner's audio
// is routed, a tone of the line input's own otherwise, silence when muted or
// without a card. The stereo mixer plays a fixed tone, the microphone (and any
// other device) low noise. The phase runs on across buffers and pitch changes.
class SoundSource {
public:
    enum class Kind { CardOutput, Mixer, Microphone };

    // The kind a device's friendly name stands for.
    static Kind ForDevice(const wchar_t* friendlyName);
    // The card output's pitch in Hz for the card's settings; 0 for silence.
    static double CardPitch(const CardSettings& settings);

    void SetKind(Kind newKind) { kind = newKind; }
    // Fills frames of 16-bit PCM, channels interleaved, all channels alike.
    void Render(short* samples, long frames, int channels, long rate);

private:
    void Tone(short* samples, long frames, int channels, long rate, double pitch, double amplitude);
    void Noise(short* samples, long frames, int channels);

    Kind kind = Kind::CardOutput;
    double phase = 0.0; // in cycles, 0..1
    unsigned noiseState = 0x2545F491u;
};
