// GUIDs from the system's random source.
#pragma once

#include "port/win32types.h"

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

HRESULT CoCreateGuid(GUID* guid);
