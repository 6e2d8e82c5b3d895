#include "simcard/audio/SoundSource.h"

#include "simcard/controls/CardAudioOutput.h"

#include <cmath>
#include <cstring>
#include <cwchar>

namespace {

constexpr double TonePitchBase = 200.0;        // Hz, plus TonePitchPerChannel for each channel
constexpr double TonePitchPerChannel = 10.0;   // so channels 1..69 sound at 210..890 Hz
constexpr double LinePitch = 1500.0;           // the line input's sound (composite)
constexpr double LineWithSVideoPitch = 1800.0; // ... while S-Video is the picture
constexpr double MixerPitch = 1000.0;
constexpr double CardAmplitude = 16384.0; // half of full scale
constexpr double MixerAmplitude = 8192.0;
constexpr unsigned NoiseAmplitude = 512; // peak, about -36 dB

constexpr double Pi = 3.14159265358979323846;

} // namespace

SoundSource::Kind SoundSource::ForDevice(const wchar_t* friendlyName) {
    if (std::wcscmp(friendlyName, L"SimTV Line In") == 0) {
        return Kind::CardOutput;
    }
    if (std::wcscmp(friendlyName, L"SimTV ステレオ ミキサー") == 0) {
        return Kind::Mixer;
    }
    return Kind::Microphone;
}

double SoundSource::CardPitch(const CardSettings& settings) {
    if (settings.audioRoute == InputTunerAudio) {
        return TonePitchBase + TonePitchPerChannel * settings.channel;
    }
    if (settings.audioRoute == InputLineAudio) {
        return settings.videoRoute == InputSVideo ? LineWithSVideoPitch : LinePitch;
    }
    return 0.0;
}

void SoundSource::Render(short* samples, long frames, int channels, long rate) {
    switch (kind) {
    case Kind::CardOutput: {
        CardSettings settings;
        const double pitch = CardAudioOutput::Read(settings) ? CardPitch(settings) : 0.0;
        if (pitch > 0.0) {
            Tone(samples, frames, channels, rate, pitch, CardAmplitude);
        } else {
            std::memset(samples, 0, sizeof(short) * frames * channels);
        }
        break;
    }
    case Kind::Mixer:
        Tone(samples, frames, channels, rate, MixerPitch, MixerAmplitude);
        break;
    case Kind::Microphone:
        Noise(samples, frames, channels);
        break;
    }
}

void SoundSource::Tone(short* samples, long frames, int channels, long rate, double pitch, double amplitude) {
    const double step = pitch / rate;
    for (long i = 0; i < frames; ++i) {
        const short value = static_cast<short>(std::lround(amplitude * std::sin(2.0 * Pi * phase)));
        for (int c = 0; c < channels; ++c) {
            *samples++ = value;
        }
        phase += step;
        phase -= std::floor(phase);
    }
}

void SoundSource::Noise(short* samples, long frames, int channels) {
    for (long i = 0; i < frames; ++i) {
        // xorshift32: cheap and the same on every run.
        noiseState ^= noiseState << 13;
        noiseState ^= noiseState >> 17;
        noiseState ^= noiseState << 5;
        const short value = static_cast<short>(static_cast<int>(noiseState % (2 * NoiseAmplitude + 1)) -
                                               static_cast<int>(NoiseAmplitude));
        for (int c = 0; c < channels; ++c) {
            *samples++ = value;
        }
    }
}
