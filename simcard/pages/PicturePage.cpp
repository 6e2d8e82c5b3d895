// Second page: the picture adjustment sliders, applied while they move.
#include "common/Ownership.h"
#include "simcard/pages/PageResources.h"
#include "simcard/pages/Pages.h"
#include "simcard/pages/PropertyPage.h"

#include <commctrl.h>
#include <dshow.h>

namespace {

struct Slider {
    int control; // the value label is control + 1
    LONG property;
};

const Slider sliders[] = {
    {IDC_BRIGHTNESS, VideoProcAmp_Brightness},
    {IDC_CONTRAST, VideoProcAmp_Contrast},
    {IDC_HUE, VideoProcAmp_Hue},
    {IDC_SATURATION, VideoProcAmp_Saturation},
    {IDC_SHARPNESS, VideoProcAmp_Sharpness},
    {IDC_GAMMA, VideoProcAmp_Gamma},
};

class PicturePage : public PropertyPage {
public:
    PicturePage() : PropertyPage(IDD_PICTURE_PAGE, IDS_PICTURE_TITLE) {}

private:
    void Attach(IUnknown* object) override { object->QueryInterface(IID_IAMVideoProcAmp, procAmp.PutVoid()); }

    void Detach() override { procAmp.Reset(); }

    void Initialise() override {
        for (const Slider& slider : sliders) {
            HWND control = GetDlgItem(Dialog(), slider.control);
            LONG min = 0, max = 0, step = 0, defaultValue = 0, caps = 0, value = 0, flags = 0;
            const bool known =
                procAmp &&
                procAmp->GetRange(slider.property, &min, &max, &step, &defaultValue, &caps) == S_OK &&
                procAmp->Get(slider.property, &value, &flags) == S_OK;
            EnableWindow(control, known);
            if (!known) {
                continue;
            }
            // Positions count from the minimum: trackbars do not all take negative ranges.
            minimums[&slider - sliders] = min;
            SendMessageW(control, TBM_SETRANGEMIN, FALSE, 0);
            SendMessageW(control, TBM_SETRANGEMAX, FALSE, max - min);
            SendMessageW(control, TBM_SETPAGESIZE, 0, (max - min) / 10 > 0 ? (max - min) / 10 : 1);
            SendMessageW(control, TBM_SETPOS, TRUE, value - min);
            SetDlgItemInt(Dialog(), slider.control + 1, static_cast<UINT>(value), TRUE);
        }
    }

    void OnScroll(HWND control) override {
        for (const Slider& slider : sliders) {
            if (procAmp && control == GetDlgItem(Dialog(), slider.control)) {
                const LONG value =
                    static_cast<LONG>(SendMessageW(control, TBM_GETPOS, 0, 0)) + minimums[&slider - sliders];
                procAmp->Set(slider.property, value, VideoProcAmp_Flags_Manual);
                SetDlgItemInt(Dialog(), slider.control + 1, static_cast<UINT>(value), TRUE);
            }
        }
    }

    void OnCommand(int id, int code) override {
        if (id != IDC_DEFAULTS || code != BN_CLICKED || !procAmp) {
            return;
        }
        for (const Slider& slider : sliders) {
            LONG min = 0, max = 0, step = 0, defaultValue = 0, caps = 0;
            if (procAmp->GetRange(slider.property, &min, &max, &step, &defaultValue, &caps) == S_OK) {
                procAmp->Set(slider.property, defaultValue, VideoProcAmp_Flags_Manual);
            }
        }
        Initialise();
    }

    ComRef<IAMVideoProcAmp> procAmp;
    LONG minimums[sizeof sliders / sizeof sliders[0]] = {};
};

} // namespace

HRESULT CreatePicturePage(REFIID iid, void** out) {
    return CreateObject<PicturePage>(iid, out);
}
