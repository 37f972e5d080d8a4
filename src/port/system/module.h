// Loading code at run time: shared libraries through dlopen. A Windows library name (".dll")
// simply is not found here.
#pragma once

#include "port/win32types.h"

using FARPROC = void (*)();

HMODULE LoadLibraryA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);
