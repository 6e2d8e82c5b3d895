#include "simcard/controls/Tuner.h"

#include "simcard/base/OutParam.h"
#include "simcard/hooks/RecordedCall.h"
#include "simcard/hooks/Options.h"
#include "simcard/picture/Scenes.h"

namespace {

constexpr LONG Japan = 81;
constexpr LONG Usa = 1;
constexpr LONG InputConnections = 1;
constexpr LONG SoundCarrierOffset = 4500000;

bool ValidSubchannel(LONG value) {
    return value >= AMTUNER_SUBCHAN_NO_TUNE;
}

} // namespace

bool ChannelRange(LONG country, LONG& first, LONG& last) {
    if (country == Japan) {
        first = 1;
        last = 62;
        return true;
    }
    if (country == Usa) {
        first = 2;
        last = 69;
        return true;
    }
    return false;
}

LONG VideoCarrier(LONG country, LONG channel) {
    LONG first = 0;
    LONG last = 0;
    if (!ChannelRange(country, first, last) || channel < first || channel > last) {
        return 0;
    }
    const LONG kHz = 1000;
    if (country == Japan) {
        if (channel <= 3) {
            return (91250 + 6000 * (channel - 1)) * kHz;
        }
        if (channel <= 7) {
            return (171250 + 6000 * (channel - 4)) * kHz;
        }
        if (channel <= 12) {
            return (193250 + 6000 * (channel - 8)) * kHz;
        }
        return (471250 + 6000 * (channel - 13)) * kHz;
    }
    if (channel <= 4) {
        return (55250 + 6000 * (channel - 2)) * kHz;
    }
    if (channel <= 6) {
        return (77250 + 6000 * (channel - 5)) * kHz;
    }
    if (channel <= 13) {
        return (175250 + 6000 * (channel - 7)) * kHz;
    }
    return (471250 + 6000 * (channel - 14)) * kHz;
}

STDMETHODIMP Tuner::put_Channel(LONG channel, LONG video, LONG audio) {
    auto change = [=] {
        LONG first = 0;
        LONG last = 0;
        if (!ChannelRange(card.Get().countryCode, first, last) || channel < first || channel > last ||
            !ValidSubchannel(video) || !ValidSubchannel(audio)) {
            return E_INVALIDARG;
        }
        card.Modify([channel](CardSettings& s) { s.channel = channel; });
        return S_OK;
    };
    return RecordedCall("Tuner.put_Channel", change, "channel=%ld video=%ld audio=%ld", channel, video,
                        audio);
}

STDMETHODIMP Tuner::get_Channel(LONG* channel, LONG* video, LONG* audio) {
    if (!channel || !video || !audio) {
        return E_POINTER;
    }
    *channel = card.Get().channel;
    *video = AMTUNER_SUBCHAN_DEFAULT;
    *audio = AMTUNER_SUBCHAN_DEFAULT;
    return S_OK;
}

STDMETHODIMP Tuner::ChannelMinMax(LONG* min, LONG* max) {
    if (!min || !max) {
        return E_POINTER;
    }
    return ChannelRange(card.Get().countryCode, *min, *max) ? S_OK : E_FAIL;
}

STDMETHODIMP Tuner::put_CountryCode(LONG country) {
    auto change = [=] {
        LONG first = 0;
        LONG last = 0;
        if (!ChannelRange(country, first, last)) {
            return E_INVALIDARG;
        }
        card.Modify([country, first, last](CardSettings& s) {
            s.countryCode = country;
            if (s.channel < first || s.channel > last) {
                s.channel = first;
            }
        });
        return S_OK;
    };
    return RecordedCall("Tuner.put_CountryCode", change, "country=%ld", country);
}

STDMETHODIMP Tuner::get_CountryCode(LONG* country) {
    return Give(country, card.Get().countryCode);
}

STDMETHODIMP Tuner::put_TuningSpace(LONG space) {
    auto change = [=] {
        card.Modify([space](CardSettings& s) { s.tuningSpace = space; });
        return S_OK;
    };
    return RecordedCall("Tuner.put_TuningSpace", change, "space=%ld", space);
}

STDMETHODIMP Tuner::get_TuningSpace(LONG* space) {
    return Give(space, card.Get().tuningSpace);
}

STDMETHODIMP Tuner::Logon(HANDLE) {
    return S_OK;
}
STDMETHODIMP Tuner::Logout() {
    return S_OK;
}

STDMETHODIMP Tuner::SignalPresent(LONG* strength) {
    if (!strength) {
        return E_POINTER;
    }
    const CardSettings settings = card.Get();
    *strength = settings.tunerMode == AMTUNER_MODE_TV && Scenes::HasStation(settings.channel)
                    ? AMTUNER_SIGNALPRESENT
                    : AMTUNER_NOSIGNAL;
    return S_OK;
}

STDMETHODIMP Tuner::put_Mode(AMTunerModeType mode) {
    auto change = [=] {
        if (mode != AMTUNER_MODE_TV) {
            return E_INVALIDARG;
        }
        card.Modify([mode](CardSettings& s) { s.tunerMode = mode; });
        return S_OK;
    };
    return RecordedCall("Tuner.put_Mode", change, "mode=%d", static_cast<int>(mode));
}

STDMETHODIMP Tuner::get_Mode(AMTunerModeType* mode) {
    return Give(mode, static_cast<AMTunerModeType>(card.Get().tunerMode));
}

STDMETHODIMP Tuner::GetAvailableModes(LONG* modes) {
    return Give(modes, AMTUNER_MODE_TV);
}

STDMETHODIMP Tuner::RegisterNotificationCallBack(IAMTunerNotification*, LONG) {
    return E_NOTIMPL;
}
STDMETHODIMP Tuner::UnRegisterNotificationCallBack(IAMTunerNotification*) {
    return E_NOTIMPL;
}

STDMETHODIMP Tuner::get_AvailableTVFormats(LONG* standards) {
    return Give(standards, AnalogVideo_NTSC_M_J | AnalogVideo_NTSC_M);
}

STDMETHODIMP Tuner::get_TVFormat(LONG* standard) {
    return Give(standard, card.Get().countryCode == Japan ? AnalogVideo_NTSC_M_J : AnalogVideo_NTSC_M);
}

STDMETHODIMP Tuner::AutoTune(LONG channel, LONG* signal) {
    if (!signal) {
        return E_POINTER;
    }
    LONG first = 0;
    LONG last = 0;
    if (!ChannelRange(card.Get().countryCode, first, last) || channel < first || channel > last) {
        return E_INVALIDARG;
    }
    *signal = Scenes::HasStation(channel) ? 1 : 0;
    return S_OK;
}

STDMETHODIMP Tuner::StoreAutoTune() {
    return S_OK;
}

STDMETHODIMP Tuner::get_NumInputConnections(LONG* count) {
    return Give(count, InputConnections);
}

STDMETHODIMP Tuner::put_InputType(LONG index, TunerInputType type) {
    auto change = [=] {
        if (index < 0 || index >= InputConnections ||
            (type != TunerInputCable && type != TunerInputAntenna)) {
            return E_INVALIDARG;
        }
        card.Modify([type](CardSettings& s) { s.tunerInputType = type; });
        return S_OK;
    };
    return RecordedCall("Tuner.put_InputType", change, "index=%ld type=%d", index, static_cast<int>(type));
}

STDMETHODIMP Tuner::get_InputType(LONG index, TunerInputType* type) {
    if (!type) {
        return E_POINTER;
    }
    if (index < 0 || index >= InputConnections) {
        return E_INVALIDARG;
    }
    *type = static_cast<TunerInputType>(card.Get().tunerInputType);
    return S_OK;
}

STDMETHODIMP Tuner::put_ConnectInput(LONG index) {
    auto change = [=] {
        if (index < 0 || index >= InputConnections) {
            return E_INVALIDARG;
        }
        card.Modify([index](CardSettings& s) { s.tunerInput = index; });
        return S_OK;
    };
    return RecordedCall("Tuner.put_ConnectInput", change, "input=%ld", index);
}

STDMETHODIMP Tuner::get_ConnectInput(LONG* index) {
    return Give(index, card.Get().tunerInput);
}

STDMETHODIMP Tuner::get_VideoFrequency(LONG* hertz) {
    if (!hertz) {
        return E_POINTER;
    }
    const CardSettings settings = card.Get();
    *hertz = VideoCarrier(settings.countryCode, settings.channel);
    return S_OK;
}

STDMETHODIMP Tuner::get_AudioFrequency(LONG* hertz) {
    if (!hertz) {
        return E_POINTER;
    }
    const CardSettings settings = card.Get();
    const LONG video = VideoCarrier(settings.countryCode, settings.channel);
    *hertz = video ? video + SoundCarrierOffset : 0;
    return S_OK;
}
