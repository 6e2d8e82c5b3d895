#include <windows.h>
#include <initguid.h>

#include "simcard/Guids.h"
