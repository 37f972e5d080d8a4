#include "port/window/backend.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "port/startup.h"

namespace port {
namespace {

struct BackendSlot {
    std::mutex mutex;
    std::unique_ptr<WindowBackend> current;
    // Backends replaced at run time stay alive: a caller may still be inside one.
    std::vector<std::unique_ptr<WindowBackend>> retired;
};

BackendSlot& Slot() {
    static BackendSlot* slot = new BackendSlot;
    return *slot;
}

}  // namespace

WindowBackend& Backend() {
    BackendSlot& slot = Slot();
    std::lock_guard<std::mutex> lock(slot.mutex);
    if (slot.current == nullptr) slot.current = MakeHeadlessBackend();
    return *slot.current;
}

bool SelectWindowBackend(const char* name) {
    if (name == nullptr) return false;
    std::unique_ptr<WindowBackend> chosen;
    if (std::strcmp(name, "headless") == 0) {
        chosen = MakeHeadlessBackend();
    } else if (std::strcmp(name, "sdl") == 0) {
        chosen = MakeSdlBackend();
    }
    if (chosen == nullptr) return false;
    BackendSlot& slot = Slot();
    std::lock_guard<std::mutex> lock(slot.mutex);
    if (slot.current != nullptr) slot.retired.push_back(std::move(slot.current));
    slot.current = std::move(chosen);
    return true;
}

const char* WindowBackendName() {
    return Backend().Name();
}

}  // namespace port
