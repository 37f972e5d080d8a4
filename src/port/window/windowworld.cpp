// The window world itself: look-ups, the tree and z-order, foreign windows and the reset.
#include <algorithm>

#include "port/system/lasterror.h"
#include "port/window/backend.h"
#include "port/window/control.h"
#include "port/window/cursorimage.h"
#include "port/window/windowinternal.h"
#include "port/window/windowpos.h"

namespace port {

WindowWorld& World() {
    static WindowWorld* world = new WindowWorld;  // outlives threads still posting at exit
    return *world;
}

Window* FindLocked(WindowWorld& world, HWND handle) {
    auto it = world.windows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == world.windows.end() || it->second->destroyed) return nullptr;
    return it->second.get();
}

Window* FindOwnLocked(WindowWorld& world, HWND handle) {
    Window* window = FindLocked(world, handle);
    if (window == nullptr || window->foreign) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return window;
}

Window* TopLevelLocked(WindowWorld& world, Window* window) {
    while (window != nullptr && window->parent != nullptr) {
        Window* parent = FindLocked(world, window->parent);
        if (parent == nullptr) break;
        window = parent;
    }
    return window;
}

bool IsAncestorLocked(WindowWorld& world, HWND ancestor, HWND handle) {
    Window* window = FindLocked(world, handle);
    while (window != nullptr && window->parent != nullptr) {
        if (window->parent == ancestor) return true;
        window = FindLocked(world, window->parent);
    }
    return false;
}

bool IsVisibleLocked(WindowWorld& world, Window* window) {
    for (; window != nullptr;
         window = window->parent ? FindLocked(world, window->parent) : nullptr) {
        if ((window->style & WS_VISIBLE) == 0) return false;
    }
    return true;
}

bool IsLiveWindow(HWND handle) {
    WorldLock lock = LockWorld();
    return FindLocked(World(), handle) != nullptr;
}

std::vector<HWND>& SiblingsLocked(WindowWorld& world, Window* window) {
    if (window->parent != nullptr) {
        if (Window* parent = FindLocked(world, window->parent)) return parent->children;
    }
    return world.zOrder;
}

void RaiseLocked(WindowWorld& world, HWND handle) {
    Window* window = FindLocked(world, handle);
    if (window == nullptr) return;
    std::vector<HWND>& siblings = SiblingsLocked(world, window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    auto position = siblings.begin();
    if (window->parent == nullptr && (window->exStyle & WS_EX_TOPMOST) == 0) {
        // Behind the topmost group.
        while (position != siblings.end()) {
            Window* other = FindLocked(world, *position);
            if (other == nullptr || (other->exStyle & WS_EX_TOPMOST) == 0) break;
            ++position;
        }
    }
    siblings.insert(position, handle);
}

void NotifyChanged(HWND handle) {
    bool own = false;
    {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), handle);
        own = window != nullptr && !window->foreign && window->parent == nullptr;
    }
    if (own) Backend().WindowChanged(handle);
}

void ResetWindowWorld() {
    std::vector<HWND> own;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        for (auto& entry : world.windows) {
            if (!entry.second->foreign && entry.second->parent == nullptr) {
                own.push_back(entry.second->handle);
            }
        }
        world.classes.clear();
        world.windows.clear();
        world.zOrder.clear();
        world.foreground = world.active = world.focus = world.capture = nullptr;
        world.foregroundElsewhere = false;
        world.posted.clear();
        world.input.clear();
        world.quit = false;
        world.quitCode = 0;
        world.timers.clear();
        std::fill(std::begin(world.syncKeys), std::end(world.syncKeys), 0);
        std::fill(std::begin(world.asyncKeys), std::end(world.asyncKeys), 0);
        world.altAlone = false;
        world.pointer = POINT{0, 0};
        world.pointerOutside = false;
        world.hoverWindow = world.leaveWindow = nullptr;
        world.hoverTime = 0;
    }
    for (HWND handle : own)
        Backend().WindowDestroyed(handle);
}

namespace control {

void ResetWindowing() {
    ResetWindowWorld();
    ResetClipboard();
    ResetMenus();
    ResetDesktop();
    ResetMessageBoxes();
    ResetCursors();
}

HWND CreateForeignWindow(const ForeignWindowSpec& spec) {
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    if (spec.parent != nullptr && FindLocked(world, spec.parent) == nullptr) return nullptr;
    auto window = std::make_unique<Window>();
    window->handle = reinterpret_cast<HWND>(world.nextHandle);
    world.nextHandle += 0x10;
    window->foreign = true;
    window->className = spec.className;
    window->title = spec.title;
    window->style =
        (spec.parent != nullptr ? WS_CHILD : WS_POPUP) | (spec.visible ? WS_VISIBLE : 0);
    window->exStyle = spec.topmost && spec.parent == nullptr ? WS_EX_TOPMOST : 0;
    window->parent = spec.parent;
    window->rect = spec.rect;
    HWND handle = window->handle;
    world.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(window);
    RaiseLocked(world, handle);
    return handle;
}

void RaiseWindow(HWND handle) {
    WorldLock lock = LockWorld();
    RaiseLocked(World(), handle);
}

std::vector<RecordedMessage> ForeignMessages(HWND handle) {
    WorldLock lock = LockWorld();
    auto it = World().windows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == World().windows.end()) return {};
    return it->second->received;
}

void ClearForeignMessages(HWND handle) {
    WorldLock lock = LockWorld();
    auto it = World().windows.find(reinterpret_cast<uintptr_t>(handle));
    if (it != World().windows.end()) it->second->received.clear();
}

}  // namespace control
}  // namespace port
