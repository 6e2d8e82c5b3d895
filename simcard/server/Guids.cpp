#include <windows.h>
#include <initguid.h>

#include "simcard/server/Guids.h"
