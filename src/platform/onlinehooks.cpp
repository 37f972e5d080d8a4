#include "platform/onlinehooks.h"

#include <atomic>

namespace onlinehooks {

namespace {

std::atomic<DWORD (*)()> gPauseTime{nullptr};
std::atomic<bool (*)()> gZylomMode{nullptr};
std::atomic<str (*)()> gComputerId{nullptr};
std::atomic<void (*)()> gEnableMsnMode{nullptr};
std::atomic<void (*)()> gEnableZylomMode{nullptr};

}  // namespace

void Install(const THooks& hooks) {
    gPauseTime.store(hooks.getPortalPauseTime);
    gZylomMode.store(hooks.isZylomMode);
    gComputerId.store(hooks.getComputerId);
    gEnableMsnMode.store(hooks.enableMsnMode);
    gEnableZylomMode.store(hooks.enableZylomMode);
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

void EnableMsnMode() {
    auto hook = gEnableMsnMode.load();
    if (hook != nullptr) hook();
}

void EnableZylomMode() {
    auto hook = gEnableZylomMode.load();
    if (hook != nullptr) hook();
}

}  // namespace onlinehooks
