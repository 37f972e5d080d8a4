#include "port/system/lasterror.h"

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
    return tLastError;
}
void SetLastError(DWORD error) {
    tLastError = error;
}
