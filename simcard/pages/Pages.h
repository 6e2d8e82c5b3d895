#pragma once

#include <unknwn.h>

// Creation functions of the three property pages, for the class factory.
HRESULT CreateInputPage(REFIID iid, void** out);
HRESULT CreatePicturePage(REFIID iid, void** out);
HRESULT CreateTunerPage(REFIID iid, void** out);
