#pragma once

#include <windows.h>

// What regsvr32 does: the COM classes, the video capture device "Narvo TV"
// and the audio capture devices (see SIMTV_REGISTER in README.md).
namespace Registration {

HRESULT RegisterAll();
HRESULT UnregisterAll();

} // namespace Registration
