#include "platform/windowsystemhooks.h"

#include <atomic>

namespace windowsystemhooks {

namespace {

THooks gHooks;
// The one member read off the main thread.
std::atomic<bool (*)(const TWindowManager*)> gIsDrawingSuspended{nullptr};

}  // namespace

void Install(const THooks& hooks) {
    gHooks = hooks;
    gIsDrawingSuspended.store(hooks.isDrawingSuspended);
}

TWindowManager* CreateWindowManager() {
    return gHooks.createWindowManager != nullptr ? gHooks.createWindowManager() : nullptr;
}

void DeleteWindowManager(TWindowManager* manager) {
    if (manager != nullptr && gHooks.deleteWindowManager != nullptr) {
        gHooks.deleteWindowManager(manager);
    }
}

void CreateWindowScript(TWindowManager* manager) {
    if (manager != nullptr && gHooks.createWindowScript != nullptr) {
        gHooks.createWindowScript(manager);
    }
}

void SetScriptUtf8(TWindowManager* manager) {
    if (manager != nullptr && gHooks.setScriptUtf8 != nullptr) {
        gHooks.setScriptUtf8(manager);
    }
}

bool IsDrawingSuspended(const TWindowManager* manager) {
    auto hook = gIsDrawingSuspended.load();
    return hook != nullptr && hook(manager);
}

void SetGameState(const str& key, const str& value) {
    if (gHooks.setGameState != nullptr) {
        gHooks.setGameState(key, value);
    }
}

void SetGameStateInt(const str& key, int value) {
    if (gHooks.setGameStateInt != nullptr) {
        gHooks.setGameStateInt(key, value);
    }
}

bool IsGameSuspended() {
    return gHooks.isGameSuspended != nullptr && gHooks.isGameSuspended();
}

void MarkDirty(TWindowManager* manager) {
    if (manager != nullptr && gHooks.markDirty != nullptr) {
        gHooks.markDirty(manager);
    }
}

bool IsInputLocked(const TWindowManager* manager) {
    return manager != nullptr && gHooks.isInputLocked != nullptr && gHooks.isInputLocked(manager);
}

RECT GetScreenRect(const TWindowManager* manager) {
    RECT rect{};
    if (manager == nullptr || gHooks.getScreenRect == nullptr ||
        !gHooks.getScreenRect(manager, &rect)) {
        return RECT{};
    }
    return rect;
}

void EndMovie(TWindowManager* manager) {
    if (manager != nullptr && gHooks.endMovie != nullptr) {
        gHooks.endMovie(manager);
    }
}

void DeleteGameState() {
    if (gHooks.deleteGameState != nullptr) {
        gHooks.deleteGameState();
    }
}

bool LoadPlugin(const str& path) {
    return gHooks.loadPlugin != nullptr && gHooks.loadPlugin(path);
}

void InstallScreen(TWindowManager* manager, int width, int height) {
    if (manager != nullptr && gHooks.installScreen != nullptr) {
        gHooks.installScreen(manager, width, height);
    }
}

}  // namespace windowsystemhooks
