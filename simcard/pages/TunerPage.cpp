// Third page: the channel and the TV sound mode, applied as they change.
#include "common/Ownership.h"
#include "simcard/pages/PageResources.h"
#include "simcard/pages/Pages.h"
#include "simcard/pages/PropertyPage.h"

#include <commctrl.h>
#include <dshow.h>

namespace {

struct AudioMode {
    int text;
    LONG mode;
};

const AudioMode audioModes[] = {
    {IDS_AUDIO_MONO, AMTVAUDIO_MODE_MONO},
    {IDS_AUDIO_STEREO, AMTVAUDIO_MODE_STEREO},
    {IDS_AUDIO_LANG_A, AMTVAUDIO_MODE_LANG_A},
    {IDS_AUDIO_LANG_B, AMTVAUDIO_MODE_LANG_B},
};

class TunerPage : public PropertyPage {
public:
    TunerPage() : PropertyPage(IDD_TUNER_PAGE, IDS_TUNER_TITLE) {}

private:
    void Attach(IUnknown* object) override {
        object->QueryInterface(IID_IAMTVTuner, tuner.PutVoid());
        object->QueryInterface(IID_IAMTVAudio, tvAudio.PutVoid());
    }

    void Detach() override {
        tuner.Reset();
        tvAudio.Reset();
    }

    void Initialise() override {
        filling = true;
        EnableWindow(GetDlgItem(Dialog(), IDC_CHANNEL), static_cast<bool>(tuner));
        EnableWindow(GetDlgItem(Dialog(), IDC_CHANNEL_SPIN), static_cast<bool>(tuner));
        if (tuner) {
            LONG min = 1, max = 62, channel = 1, video = 0, audio = 0;
            tuner->ChannelMinMax(&min, &max);
            tuner->get_Channel(&channel, &video, &audio);
            SendDlgItemMessageW(Dialog(), IDC_CHANNEL_SPIN, UDM_SETRANGE32, min, max);
            SetDlgItemInt(Dialog(), IDC_CHANNEL, static_cast<UINT>(channel), FALSE);
        }
        HWND combo = GetDlgItem(Dialog(), IDC_AUDIO_MODE);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        LONG current = 0;
        if (tvAudio) {
            tvAudio->get_TVAudioMode(&current);
        }
        for (const AudioMode& mode : audioModes) {
            wchar_t text[32];
            LoadText(mode.text, text, 32);
            const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            if (current & mode.mode) {
                SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            }
        }
        EnableWindow(combo, static_cast<bool>(tvAudio));
        ShowSignal();
        filling = false;
    }

    void ShowSignal() {
        LONG strength = 0;
        wchar_t text[32] = L"";
        if (tuner && tuner->SignalPresent(&strength) == S_OK) {
            LoadText(strength > 0 ? IDS_SIGNAL_PRESENT : IDS_SIGNAL_NONE, text, 32);
        }
        SetDlgItemTextW(Dialog(), IDC_SIGNAL, text);
    }

    void OnCommand(int id, int code) override {
        if (filling) {
            return;
        }
        if (id == IDC_CHANNEL && code == EN_CHANGE && tuner) {
            BOOL valid = FALSE;
            const UINT channel = GetDlgItemInt(Dialog(), IDC_CHANNEL, &valid, FALSE);
            if (valid) {
                tuner->put_Channel(static_cast<LONG>(channel), AMTUNER_SUBCHAN_DEFAULT,
                                   AMTUNER_SUBCHAN_DEFAULT);
                ShowSignal();
            }
        } else if (id == IDC_AUDIO_MODE && code == CBN_SELCHANGE && tvAudio) {
            const LRESULT index = SendDlgItemMessageW(Dialog(), IDC_AUDIO_MODE, CB_GETCURSEL, 0, 0);
            if (index >= 0 && index < static_cast<LRESULT>(sizeof audioModes / sizeof audioModes[0])) {
                tvAudio->put_TVAudioMode(audioModes[index].mode);
            }
        }
    }

    ComRef<IAMTVTuner> tuner;
    ComRef<IAMTVAudio> tvAudio;
    bool filling = false;
};

} // namespace

HRESULT CreateTunerPage(REFIID iid, void** out) {
    return CreateObject<TunerPage>(iid, out);
}
