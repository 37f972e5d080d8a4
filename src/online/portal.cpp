#include "online/portal.h"

DWORD GetPortalPauseTime() {
    return 0;
}

bool IsZylomMode() {
    return false;
}
