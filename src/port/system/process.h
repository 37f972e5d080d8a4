// The process: ending it, the operating-system version, and the lock that keeps a second copy of
// the program from starting.
#pragma once

#include "port/win32types.h"

[[noreturn]] void ExitProcess(UINT exitCode);

// Major version in the low byte, minor in the second byte, build number in the high word.
// Answers a configurable version (5.1 unless a test sets another).
DWORD GetVersion();

// The single-instance lock, shared by every process of the user: a lock file named after the
// instance name, in $XDG_RUNTIME_DIR (or a private folder in the temporary folder). The handle
// holds the lock until closed. When another holder has it (another process, or an earlier handle
// in this one), the answer is still a handle, holding nothing, and the last error is
// ERROR_ALREADY_EXISTS. Null when the lock file cannot be made.
HANDLE CreateInstanceMutexA(const char* name);
