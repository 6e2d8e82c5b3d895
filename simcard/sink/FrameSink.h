#pragma once

#include "simcard/base/FilterBase.h"

#include <dshow.h>

#include <memory>
#include <vector>

// A renderer that draws nothing: it takes any video or PCM audio connection,
// offers no allocator (like the renderers here), and records every sample it
// is given, with the last frame or all of the sound. Tests and the bench use
// it to see what the card delivers without a display.
class FrameSink final : public FilterBase {
public:
    struct Sample {
        bool timed = false;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME end = 0;
        bool discontinuity = false;
        long length = 0;
    };

    // One reference, the caller's.
    static FrameSink* Create();

    IPin* Input(); // not counted: lives as long as the sink

    long FrameCount() const;
    std::vector<Sample> Samples() const;
    std::vector<BYTE> LastFrame() const;
    // The connection's picture header; false when not connected.
    bool ConnectedBitmap(BITMAPINFOHEADER& header, GUID& subtype) const;
    // The sound received, from a byte offset on, and how much there is.
    std::vector<BYTE> Sound(size_t from = 0) const;
    size_t SoundSize() const;
    // The connection's wave format (its PCMWAVEFORMAT part); false when not audio.
    bool ConnectedWave(WAVEFORMATEX& wave) const;
    // Waits until the count reaches frames or the wait ends; returns the count.
    long WaitForFrames(long frames, DWORD maxWaitMs) const;

private:
    class InputPin;

    FrameSink();
    ~FrameSink() override;
    std::vector<IPin*> Pins() override;
    HRESULT Receive(IMediaSample* sample);
    CRITICAL_SECTION& Lock() const { return Core().Lock(); }

    HANDLE frameArrived;
    std::unique_ptr<InputPin> input;
    long frames = 0; // these records under Lock()
    std::vector<Sample> samples;
    std::vector<BYTE> lastFrame;
    std::vector<BYTE> sound;
};
