#include "online/portal.h"

#include <atomic>

namespace {

std::atomic<bool> gMsnMode{false};
std::atomic<bool> gZylomMode{false};

}  // namespace

DWORD GetPortalPauseTime() {
    return 0;
}

void EnableMsnMode() {
    gMsnMode.store(true);
}

void EnableZylomMode() {
    gZylomMode.store(true);
}

bool IsMsnMode() {
    return gMsnMode.load();
}

bool IsZylomMode() {
    return gZylomMode.load();
}
