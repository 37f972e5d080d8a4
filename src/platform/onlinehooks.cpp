#include "platform/onlinehooks.h"

#include <atomic>

namespace onlinehooks {

namespace {

std::atomic<DWORD (*)()> gPauseTime{nullptr};
std::atomic<bool (*)()> gZylomMode{nullptr};
std::atomic<str (*)()> gComputerId{nullptr};

}  // namespace

void Install(const THooks& hooks) {
    gPauseTime.store(hooks.getPortalPauseTime);
    gZylomMode.store(hooks.isZylomMode);
    gComputerId.store(hooks.getComputerId);
}

DWORD PortalPauseTime() {
    auto hook = gPauseTime.load();
    return hook != nullptr ? hook() : 0;
}

bool ZylomMode() {
    auto hook = gZylomMode.load();
    return hook != nullptr && hook();
}

str ComputerId() {
    auto hook = gComputerId.load();
    return hook != nullptr ? hook() : str();
}

}  // namespace onlinehooks
