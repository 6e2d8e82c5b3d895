#pragma once

#include <windows.h>

// HtmlHelpA from the system's help viewer library, loaded from the system
// folder on first use rather than imported: the program starts where that
// library is missing, and no copy planted beside the program is taken.
// Null when the library or its entry point is not there.
HWND AfxHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);
