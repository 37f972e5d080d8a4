#include "port/display/cooperation.h"

#include <map>
#include <mutex>
#include <utility>

namespace port::display {
namespace {

struct Cooperator {
    bool exclusive = false;
    HWND window = nullptr;
    bool focusLost = false;  // exclusive, while its window is out of the foreground
    bool wrongMode = false;  // normal, after a display mode change
};

struct State {
    std::mutex mutex;
    std::map<uint32_t, Cooperator> objects;
    uint32_t owner = 0;  // the object holding exclusive mode
    std::optional<DesktopMode> savedMode;
    bool otherHolds = false;
    HRESULT forced = DD_OK;
    HRESULT restoreAll = DD_OK;
};

State& TheState() {
    static auto* state = new State;
    return *state;
}

// With the mutex held: ends the object's hold of exclusive mode.
std::optional<DesktopMode> EndHoldLocked(State& state, uint32_t object) {
    if (state.owner != object || object == 0) return std::nullopt;
    state.owner = 0;
    return std::exchange(state.savedMode, std::nullopt);
}

}  // namespace

void AddCooperator(uint32_t object) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.objects[object] = Cooperator{};
}

std::optional<DesktopMode> RemoveCooperator(uint32_t object) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.objects.erase(object);
    return EndHoldLocked(state, object);
}

HRESULT SetExclusive(uint32_t object, HWND window) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.objects.find(object);
    if (found == state.objects.end()) return DDERR_INVALIDOBJECT;
    Cooperator& self = found->second;
    if (state.otherHolds || (state.owner != 0 && state.owner != object)) {
        return DDERR_EXCLUSIVEMODEALREADYSET;
    }
    // The holder gets exclusive mode back only with the focus, as TestCooperativeLevel says.
    if (state.owner == object && self.focusLost) return DDERR_NOEXCLUSIVEMODE;
    state.owner = object;
    self.exclusive = true;
    self.window = window;
    self.focusLost = false;
    return DD_OK;
}

std::optional<DesktopMode> SetNormal(uint32_t object, HWND window) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.objects.find(object);
    if (found == state.objects.end()) return std::nullopt;
    found->second.exclusive = false;
    found->second.window = window;
    found->second.focusLost = false;
    return EndHoldLocked(state, object);
}

HRESULT CooperationStatus(uint32_t object) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.forced != DD_OK) return state.forced;
    auto found = state.objects.find(object);
    if (found == state.objects.end()) return DD_OK;  // its object is gone: nothing to test
    const Cooperator& self = found->second;
    if (self.exclusive) return self.focusLost ? DDERR_NOEXCLUSIVEMODE : DD_OK;
    if (state.otherHolds || (state.owner != 0 && state.owner != object)) {
        return DDERR_EXCLUSIVEMODEALREADYSET;
    }
    return self.wrongMode ? DDERR_WRONGMODE : DD_OK;
}

HRESULT ExclusiveStatus(uint32_t object) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.objects.find(object);
    if (state.owner != object || found == state.objects.end() || found->second.focusLost) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    return DD_OK;
}

void KeepDesktopMode(uint32_t object, const DesktopMode& mode) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.owner == object && !state.savedMode) state.savedMode = mode;
}

std::optional<DesktopMode> TakeDesktopMode(uint32_t object) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.owner != object) return std::nullopt;
    return std::exchange(state.savedMode, std::nullopt);
}

FullScreenHold CurrentFullScreenHold() {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    FullScreenHold hold;
    auto found = state.objects.find(state.owner);
    if (found == state.objects.end() || !state.savedMode) return hold;
    hold.held = true;
    hold.focusLost = found->second.focusLost;
    return hold;
}

uint32_t ForegroundChanged(HWND foreground) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.objects.find(state.owner);
    if (found == state.objects.end()) return 0;
    Cooperator& holder = found->second;
    if (foreground == holder.window) {
        holder.focusLost = false;  // its surfaces stay lost until restored
        return 0;
    }
    if (holder.focusLost) return 0;
    holder.focusLost = true;
    return state.owner;
}

void DisplayModeChanged() {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (auto& entry : state.objects) {
        if (!entry.second.exclusive) entry.second.wrongMode = true;
    }
}

void SetOtherExclusive(bool held) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.otherHolds = held;
}

void ForceStatus(HRESULT answer) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.forced = answer;
}

void SetRestoreAllAnswer(HRESULT answer) {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.restoreAll = answer;
}

HRESULT RestoreAllAnswer() {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.restoreAll;
}

void ResetCooperation() {
    State& state = TheState();
    std::lock_guard<std::mutex> lock(state.mutex);
    // Objects still alive keep their entries; the holds and the forced answers go.
    for (auto& entry : state.objects)
        entry.second = Cooperator{};
    state.owner = 0;
    state.savedMode.reset();
    state.otherHolds = false;
    state.forced = DD_OK;
    state.restoreAll = DD_OK;
}

}  // namespace port::display
