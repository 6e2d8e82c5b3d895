#include "simcard/hooks/Catalogue.h"

#include <windows.h>

namespace {

// The tests read these lists from this file: each after its "catalogue:" line.
// catalogue: fault points
const char* const faultPoints[] = {
    "Crossbar.CanRoute",
    "Crossbar.Route",
    "Tuner.put_Channel",
    "Tuner.put_CountryCode",
    "Tuner.put_TuningSpace",
    "Tuner.put_Mode",
    "Tuner.put_ConnectInput",
    "Tuner.put_InputType",
    "TvAudio.put_TVAudioMode",
    "ProcAmp.Set",
    "Compression.put_Quality",
    "Compression.GetInfo",
    "StreamConfig.SetFormat",
    "StreamConfig.GetFormat",
    "StreamConfig.GetNumberOfCapabilities",
    "Filter.Run",
    "Filter.Pause",
    "Filter.Stop",
    "Filter.Load",
    "Filter.GetPages",
    "AudioCapture.Run",
    "AudioCapture.Pause",
    "AudioCapture.Stop",
    "AudioCapture.Load",
    "AudioCapture.SetFormat",
};
// catalogue: card variants
const char* const cardVariants[] = {
    "PreviewPin", "NoCrossbar",  "NoTuner",    "CrossbarNoInputs",  "OnePage",
    "NoFormats",  "ManyFormats", "NoInputPin", "UndrawableFormats",
};
// catalogue: registration variants
const char* const registrationVariants[] = {
    "TwoVideoDevices",
    "TwelveAudioDevices",
};
// catalogue: end

template <size_t N> constexpr Catalogue::NameList ListOf(const char* const (&names)[N]) {
    return {names, N};
}

} // namespace

namespace Catalogue {

const NameList FaultPoints = ListOf(faultPoints);
const NameList CardVariants = ListOf(cardVariants);
const NameList RegistrationVariants = ListOf(registrationVariants);

const char* NameList::Find(const char* word) const {
    for (const char* name : *this) {
        if (lstrcmpiA(name, word) == 0) {
            return name;
        }
    }
    return nullptr;
}

} // namespace Catalogue
