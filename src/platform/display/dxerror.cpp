#include "platform/display/dxerror.h"

#include "foundation/log.h"
#include "platform/platform.h"
#include "port/display/ddresult.h"

void LogDXError(HRESULT result, const char* file, int line) {
    if (result == DDERR_OUTOFVIDEOMEMORY) TPlatform::OutOfVideoMemory();
    LogPrintf("DX Error: %s (0x%x), File %s, Line %d", "", static_cast<unsigned>(result),
              file != nullptr ? file : "", line);
}
