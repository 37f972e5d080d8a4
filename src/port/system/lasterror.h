// The calling thread's last error code, as each port operation leaves it.
#pragma once

#include "port/win32types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
