#include "simcard/audio/AudioCaptureFilter.h"

#include "simcard/hooks/Journal.h"
#include "simcard/server/Guids.h"

#include <cstdio>

AudioCaptureFilter::AudioCaptureFilter()
    : DeviceFilter(CLSID_SimTvAudioCaptureFilter, "AudioCapture"), pin(*this, Core(), sound, details) {}

AudioCaptureFilter::~AudioCaptureFilter() {
    ReleaseOutputs();
}

void AudioCaptureFilter::LoadProperties(IPropertyBag* bag, IErrorLog* log) {
    wchar_t friendly[256];
    if (ReadText(bag, L"FriendlyName", log, friendly, sizeof friendly / sizeof friendly[0])) {
        char name[384];
        Journal::ToUtf8(friendly, name, sizeof name);
        std::snprintf(details, sizeof details, "device=\"%s\"", name);
        sound.SetKind(SoundSource::ForDevice(friendly));
    }
}

void AudioCaptureFilter::OnGraphChanged(IFilterGraph* graph, LPCWSTR) {
    Journal::Record(S_OK, "AudioCapture.%s %s", graph ? "JoinFilterGraph" : "LeaveFilterGraph", details);
}
