#pragma once

#include "simcard/audio/AudioPinSettings.h"
#include "simcard/base/StreamConfigBase.h"

// IAMStreamConfig of an audio capture pin: the PCM formats and the current
// one. Once connected, a format of another rate or channel count is refused.
class AudioStreamConfig final : public StreamConfigBase {
public:
    AudioStreamConfig(IUnknown* pin, FilterCore& core, AudioPinSettings& settings, const char* details);

private:
    void DescribeRequest(const AM_MEDIA_TYPE& type, char* text, size_t size) const override;
    HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const override;
    bool FitsConnection(const AM_MEDIA_TYPE& accepted) const override;
    void Take(const MediaType& accepted) override;
    const MediaType& Current() const override { return settings.format; }
    int Count() const override { return AudioFormats::Count(); }
    MediaType At(int index) const override { return AudioFormats::At(index); }
    void DescribeCaps(int index, BYTE* caps) const override;

    AudioPinSettings& settings;
    const char* details; // the device for the journal, kept by the filter
};
