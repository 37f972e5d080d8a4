#include "port/sound/backend.h"

#include <atomic>
#include <cstring>

#include "port/sound/control.h"
#include "port/startup.h"

namespace port::sound {
namespace {

enum class Choice { kFollowWindows, kHeadless, kSdl };
std::atomic<Choice> gChoice{Choice::kFollowWindows};

}  // namespace

SoundBackend& Backend() {
    switch (gChoice.load()) {
        case Choice::kHeadless:
            return HeadlessSoundBackend();
        case Choice::kSdl:
            return SdlSoundBackend();
        case Choice::kFollowWindows:
            break;
    }
    return std::strcmp(WindowBackendName(), "sdl") == 0 ? SdlSoundBackend()
                                                        : HeadlessSoundBackend();
}

}  // namespace port::sound

namespace port::control {

bool SetSoundBackend(const char* name) {
    using sound::Choice;
    if (name == nullptr) {
        sound::gChoice.store(Choice::kFollowWindows);
    } else if (std::strcmp(name, "headless") == 0) {
        sound::gChoice.store(Choice::kHeadless);
    } else if (std::strcmp(name, "sdl") == 0) {
        sound::gChoice.store(Choice::kSdl);
    } else {
        return false;
    }
    return true;
}

}  // namespace port::control
