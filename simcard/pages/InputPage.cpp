// First page: which connector feeds the video decoder, and whether the tuner's
// sound reaches the audio decoder.
#include "common/Ownership.h"
#include "simcard/controls/CardState.h"
#include "simcard/pages/PageResources.h"
#include "simcard/pages/Pages.h"
#include "simcard/pages/PropertyPage.h"

#include <dshow.h>

namespace {

class InputPage : public PropertyPage {
public:
    InputPage() : PropertyPage(IDD_INPUT_PAGE, IDS_INPUT_TITLE) {}

private:
    void Attach(IUnknown* object) override { object->QueryInterface(IID_IAMCrossbar, crossbar.PutVoid()); }

    void Detach() override { crossbar.Reset(); }

    void Initialise() override {
        const int controls[] = {IDC_INPUT_TUNER, IDC_INPUT_COMPOSITE, IDC_INPUT_SVIDEO, IDC_AUDIO_ROUTED};
        for (int id : controls) {
            EnableWindow(GetDlgItem(Dialog(), id), static_cast<bool>(crossbar));
        }
        wchar_t note[96] = L"";
        if (!crossbar) {
            LoadText(IDS_NO_CROSSBAR, note, 96);
        }
        SetDlgItemTextW(Dialog(), IDC_INPUT_NOTE, note);
        if (!crossbar) {
            return;
        }
        LONG video = -1;
        LONG audio = -1;
        crossbar->get_IsRoutedTo(OutputVideoDecoder, &video);
        crossbar->get_IsRoutedTo(OutputAudioDecoder, &audio);
        CheckRadioButton(Dialog(), IDC_INPUT_TUNER, IDC_INPUT_SVIDEO, IDC_INPUT_TUNER + video);
        CheckDlgButton(Dialog(), IDC_AUDIO_ROUTED, audio == InputTunerAudio ? BST_CHECKED : BST_UNCHECKED);
    }

    void OnCommand(int id, int code) override {
        if (!crossbar || code != BN_CLICKED) {
            return;
        }
        switch (id) {
        case IDC_INPUT_TUNER:
        case IDC_INPUT_COMPOSITE:
        case IDC_INPUT_SVIDEO:
            crossbar->Route(OutputVideoDecoder, id - IDC_INPUT_TUNER);
            break;
        case IDC_AUDIO_ROUTED:
            crossbar->Route(OutputAudioDecoder, IsDlgButtonChecked(Dialog(), IDC_AUDIO_ROUTED) == BST_CHECKED
                                                    ? static_cast<LONG>(InputTunerAudio)
                                                    : -1L);
            break;
        default:
            break;
        }
    }

    ComRef<IAMCrossbar> crossbar;
};

} // namespace

HRESULT CreateInputPage(REFIID iid, void** out) {
    return CreateObject<InputPage>(iid, out);
}
