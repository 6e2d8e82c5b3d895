#pragma once

#include "capture/FilterAdapter.h"

// The card's crossbar: routes the chosen video input to the video decoder,
// remembers that choice from run to run, and joins the tuner's audio to the
// audio decoder or leaves the decoder without input (mute).
class CrossbarControl : public FilterAdapter<CrossbarControl, IAMCrossbar> {
public:
    // Values of videoSource as the settings file stores them.
    static constexpr int SourceTuner = 0;
    static constexpr int SourceComposite = 1;
    static constexpr int SourceSVideo = 2;

    static const GUID* Category() { return nullptr; }
    static REFIID InterfaceId() { return IID_IAMCrossbar; }

    CrossbarControl() = default;
    // Writes the video input at process end, if it was read in this run.
    ~CrossbarControl();

    void OnAttached();
    bool LoadVideoSource();
    bool SaveVideoSource() const;

    // Index of the first input or output pin of that physical type, or -1.
    int FindInputPin(long physicalType) const;
    int FindOutputPin(long physicalType) const;

    bool SelectTuner();
    bool SelectComposite();
    bool SelectSVideo();
    bool RouteAudio(bool on);
    // The input items' command ids: the resources define them, the caller passes them in.
    struct InputMenuIds {
        UINT tuner;
        UINT composite;
        UINT sVideo;
    };
    bool CheckInputMenu(HMENU menu, const InputMenuIds& ids) const;

    int inputPinCount = 0;
    int outputPinCount = 0;
    int videoSource = SourceTuner;

private:
    int FindPin(BOOL input, long physicalType) const;
    bool SelectInput(long physicalType, int source);

    bool sourceLoaded = false;
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern CrossbarControl crossbarControl;
