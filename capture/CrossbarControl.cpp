#include "capture/CrossbarControl.h"

#include "app/SettingsFile.h"

#include <type_traits>

// This global is destroyed after the settings path and still writes through it.
static_assert(std::is_trivially_destructible<SettingsFile>::value,
              "the settings path must outlive its own destruction");

namespace {

const char Crossbar[] = "Crossbar";
const char VideoConnectSource[] = "VideoConnectSource";

} // namespace

CrossbarControl::~CrossbarControl() {
    // A run that never reached the crossbar leaves the stored input alone.
    if (sourceLoaded) {
        SaveVideoSource();
    }
}

bool CrossbarControl::LoadVideoSource() {
    videoSource = settingsFile.ReadInt(Crossbar, VideoConnectSource, videoSource);
    sourceLoaded = true;
    return true;
}

bool CrossbarControl::SaveVideoSource() const {
    settingsFile.WriteInt(Crossbar, VideoConnectSource, videoSource);
    return true;
}

void CrossbarControl::OnAttached() {
    LoadVideoSource();
    LONG outputs = 0;
    LONG inputs = 0;
    iface->get_PinCounts(&outputs, &inputs);
    outputPinCount = outputs;
    inputPinCount = inputs;
    switch (videoSource) {
    case SourceTuner:
        SelectTuner();
        break;
    case SourceComposite:
        SelectComposite();
        break;
    case SourceSVideo:
        SelectSVideo();
        break;
    default:
        // Kept as read, so an unknown value goes back to the file unchanged.
        break;
    }
}

int CrossbarControl::FindInputPin(long physicalType) const {
    return FindPin(TRUE, physicalType);
}

int CrossbarControl::FindOutputPin(long physicalType) const {
    return FindPin(FALSE, physicalType);
}

int CrossbarControl::FindPin(BOOL input, long physicalType) const {
    if (!iface) {
        return -1;
    }
    // Asked afresh each time rather than trusting the counts taken at attach.
    LONG outputs = 0;
    LONG inputs = 0;
    iface->get_PinCounts(&outputs, &inputs);
    const LONG count = input ? inputs : outputs;
    for (LONG index = 0; index < count; ++index) {
        LONG related = 0;
        LONG type = 0;
        // A pin that cannot say what it is never matches.
        if (iface->get_CrossbarPinInfo(input, index, &related, &type) == S_OK && type == physicalType) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

bool CrossbarControl::SelectInput(long physicalType, int source) {
    if (!iface) {
        return false;
    }
    const int input = FindInputPin(physicalType);
    const int output = FindOutputPin(PhysConn_Video_VideoDecoder);
    if (iface->CanRoute(output, input) != S_OK || iface->Route(output, input) != S_OK) {
        return false;
    }
    videoSource = source;
    return true;
}

bool CrossbarControl::SelectTuner() {
    return SelectInput(PhysConn_Video_Tuner, SourceTuner);
}

bool CrossbarControl::SelectComposite() {
    return SelectInput(PhysConn_Video_Composite, SourceComposite);
}

bool CrossbarControl::SelectSVideo() {
    return SelectInput(PhysConn_Video_SVideo, SourceSVideo);
}

bool CrossbarControl::RouteAudio(bool on) {
    if (!iface) {
        return false;
    }
    const int tunerAudio = FindInputPin(PhysConn_Audio_Tuner);
    const int output = FindOutputPin(PhysConn_Audio_AudioDecoder);
    // Input -1 leaves the audio decoder without a source: mute.
    const int input = on ? tunerAudio : -1;
    return iface->CanRoute(output, input) == S_OK && iface->Route(output, input) == S_OK;
}

bool CrossbarControl::CheckInputMenu(HMENU menu, const InputMenuIds& ids) const {
    UINT command = ids.tuner;
    if (videoSource == SourceComposite) {
        command = ids.composite;
    } else if (videoSource == SourceSVideo) {
        command = ids.sVideo;
    }
    CheckMenuItem(menu, command, MF_BYCOMMAND | MF_CHECKED);
    return true;
}
