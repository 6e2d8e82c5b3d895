#pragma once

#include <windows.h>

// What the three dialogs share.
namespace DialogSupport {

// This library's module: its dialog templates live in its own resources.
HINSTANCE Module();

// Centres the dialog on its owner, or on the screen without one, kept
// inside the work area of the owner's monitor.
void CenterOnOwner(HWND dialog);

// Shows text on the dialog's message line (refusals are explained there,
// not in a box), then gives the control `focus` the focus with its text selected.
void Refuse(HWND dialog, const char* text, int focus);

// OK and Cancel: OK closes the dialog with IDOK once accept, when there is
// one, takes the fields (it explains a refusal itself and keeps it open);
// Cancel closes it with cancelResult. FALSE for any other message.
INT_PTR CloseCommand(HWND dialog, UINT message, WPARAM wParam, bool (*accept)(HWND dialog),
                     INT_PTR cancelResult = IDCANCEL);

} // namespace DialogSupport
