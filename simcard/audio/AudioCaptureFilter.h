#pragma once

#include "simcard/audio/AudioPin.h"
#include "simcard/audio/SoundSource.h"
#include "simcard/base/DeviceFilter.h"

// An audio capture device of the simulated system: one capture pin that
// records what the device hears (see SoundSource), running and stopping with
// its graph.
class AudioCaptureFilter final : public DeviceFilter {
public:
    AudioCaptureFilter();

private:
    ~AudioCaptureFilter() override;

    std::vector<IPin*> Pins() override { return {&pin}; }
    std::vector<SourcePin*> Outputs() override { return {&pin}; }
    void LoadProperties(IPropertyBag* bag, IErrorLog* log) override;
    const char* JournalDetails() const override { return details; }
    void OnGraphChanged(IFilterGraph* graph, LPCWSTR name) override;

    char details[400] = "device=\"\""; // the friendly name, UTF-8, for the journal
    SoundSource sound;
    AudioPin pin;
};
