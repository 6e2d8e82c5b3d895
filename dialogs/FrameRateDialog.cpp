// The custom frame rate: a whole number of frames per second from 1 to 30.
// The caller's integer changes only when the user confirms a valid rate.
#include "dialogs/DialogExports.h"
#include "dialogs/DialogIds.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/WholeNumber.h"

#include <commctrl.h>

namespace {

constexpr int LowestRate = 1;
// The card refuses more than 30 and the settings file keeps at most 30: a
// higher rate would be dropped without a word.
constexpr int HighestRate = 30;

// Takes a valid rate into the caller's copy, or explains the refusal.
bool TakeRate(HWND dialog) {
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_RATE, text, sizeof text);
    int value = 0;
    if (ReadWholeNumber(text, LowestRate, HighestRate, value) != FieldValue::Number) {
        DialogSupport::Refuse(dialog, "フレームレートは 1 から 30 までの整数で入力してください。", IDC_RATE);
        return false;
    }
    *reinterpret_cast<int*>(GetWindowLongPtrA(dialog, DWLP_USER)) = value;
    return true;
}

INT_PTR CALLBACK FrameRateProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        int* rate = reinterpret_cast<int*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SendDlgItemMessageA(dialog, IDC_RATE, EM_LIMITTEXT, 8, 0);
        SendDlgItemMessageA(dialog, IDC_RATE_SPIN, UDM_SETRANGE32, LowestRate, HighestRate);
        SendDlgItemMessageA(dialog, IDC_RATE_SPIN, UDM_SETPOS32, 0, *rate);
        // The rate as it is, even one the arrows would not reach.
        SetDlgItemInt(dialog, IDC_RATE, static_cast<UINT>(*rate), TRUE);
        DialogSupport::CenterOnOwner(dialog);
        return TRUE;
    }
    return DialogSupport::CloseCommand(dialog, message, wParam, TakeRate);
}

} // namespace

extern "C" int WINAPI InputFrameRate(HWND owner, int* rate) {
    if (!rate) {
        return 0;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    // The dialog works on a copy: a cancelled or failed dialog leaves *rate alone.
    int chosen = *rate;
    if (DialogBoxParamA(DialogSupport::Module(), MAKEINTRESOURCEA(IDD_FRAME_RATE), owner, FrameRateProc,
                        reinterpret_cast<LPARAM>(&chosen)) != IDOK) {
        return 0;
    }
    *rate = chosen;
    return 1;
}
