#include "simcard/controls/TvAudio.h"

#include "simcard/base/OutParam.h"
#include "simcard/hooks/RecordedCall.h"
#include "simcard/hooks/Options.h"

namespace {

constexpr LONG ChannelModes = AMTVAUDIO_MODE_MONO | AMTVAUDIO_MODE_STEREO;
constexpr LONG LanguageModes = AMTVAUDIO_MODE_LANG_A | AMTVAUDIO_MODE_LANG_B;
constexpr LONG SupportedModes = ChannelModes | LanguageModes;

bool AtMostOneBit(LONG bits) {
    return (bits & (bits - 1)) == 0;
}

bool ValidMode(LONG mode) {
    return mode != 0 && (mode & ~SupportedModes) == 0 && AtMostOneBit(mode & ChannelModes) &&
           AtMostOneBit(mode & LanguageModes);
}

} // namespace

STDMETHODIMP TvAudio::GetHardwareSupportedTVAudioModes(LONG* modes) {
    return Give(modes, SupportedModes);
}

STDMETHODIMP TvAudio::GetAvailableTVAudioModes(LONG* modes) {
    return GetHardwareSupportedTVAudioModes(modes);
}

STDMETHODIMP TvAudio::get_TVAudioMode(LONG* mode) {
    return Give(mode, card.Get().tvAudioMode);
}

STDMETHODIMP TvAudio::put_TVAudioMode(LONG mode) {
    auto change = [=] {
        if (!ValidMode(mode)) {
            return E_INVALIDARG;
        }
        card.Modify([mode](CardSettings& s) { s.tvAudioMode = mode; });
        return S_OK;
    };
    return RecordedCall("TvAudio.put_TVAudioMode", change, "mode=0x%lX", mode);
}

STDMETHODIMP TvAudio::RegisterNotificationCallBack(IAMTunerNotification*, LONG) {
    return E_NOTIMPL;
}
STDMETHODIMP TvAudio::UnRegisterNotificationCallBack(IAMTunerNotification*) {
    return E_NOTIMPL;
}
