#pragma once

#include "simcard/base/DeviceFilter.h"

// An audio capture device of the simulated system: a filter without pins
// that joins a graph and runs and stops with it. It makes no sound.
class AudioCaptureFilter final : public DeviceFilter {
public:
    AudioCaptureFilter();

private:
    ~AudioCaptureFilter() override = default;

    void LoadProperties(IPropertyBag* bag, IErrorLog* log) override;
    const char* JournalDetails() const override { return details; }
    void OnGraphChanged(IFilterGraph* graph, LPCWSTR name) override;

    char details[400] = "device=\"\""; // the friendly name, UTF-8, for the journal
};
