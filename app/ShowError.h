#pragma once

// Shows a failure the user must see: a modal error box with the fixed text,
// captioned with the application's name.
void ShowError(const char* text);
