#include "port/window/activation.h"

#include "port/failinjection.h"
#include "port/system/lasterror.h"
#include "port/window/messages.h"
#include "port/window/watch.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

bool IsOwnLocked(WindowWorld& world, HWND handle) {
    Window* window = FindLocked(world, handle);
    return window != nullptr && !window->foreign;
}

}  // namespace

void ChangeForeground(HWND target, bool byClick) {
    HWND previous = nullptr;
    HWND lostFocus = nullptr;
    bool wasOwn = false;
    bool willBeOwn = false;
    bool minimised = false;
    std::vector<HWND> own;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        if (target != nullptr) {
            Window* window = TopLevelLocked(world, FindLocked(world, target));
            if (window == nullptr) return;
            target = window->handle;
            minimised = (window->style & WS_MINIMIZE) != 0;
        }
        if (world.foreground == target) {
            if (target == nullptr) world.foregroundElsewhere = true;
            return;
        }
        previous = world.foreground;
        wasOwn = previous != nullptr && IsOwnLocked(world, previous);
        willBeOwn = target != nullptr && IsOwnLocked(world, target);
        world.foreground = target;
        world.foregroundElsewhere = target == nullptr;
        if (target != nullptr) RaiseLocked(world, target);
        if (willBeOwn) world.active = target;
        if (world.focus != nullptr) {
            Window* top = TopLevelLocked(world, FindLocked(world, world.focus));
            if (top == nullptr || top->handle != target) {
                lostFocus = world.focus;
                world.focus = nullptr;
            }
        }
        if (wasOwn != willBeOwn) {
            for (HWND handle : world.zOrder) {
                if (IsOwnLocked(world, handle)) own.push_back(handle);
            }
        }
    }
    NotifyForeground(target);
    if (lostFocus != nullptr) SendTo(lostFocus, WM_KILLFOCUS, 0, 0);
    if (wasOwn) {
        SendTo(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(target));
    }
    for (HWND handle : own)
        SendTo(handle, WM_ACTIVATEAPP, willBeOwn ? TRUE : FALSE, 0);
    if (willBeOwn) {
        SendTo(target, WM_ACTIVATE, MAKEWPARAM(byClick ? WA_CLICKACTIVE : WA_ACTIVE, minimised),
               reinterpret_cast<LPARAM>(previous));
    }
}

void PassForegroundOn(HWND leaving) {
    HWND next = nullptr;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        if (world.active == leaving && world.foreground != leaving) world.active = nullptr;
        if (world.foreground != leaving) return;
        for (HWND handle : world.zOrder) {
            Window* window = FindLocked(world, handle);
            if (handle == leaving || window == nullptr || window->destroying) continue;
            if ((window->style & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE) {
                next = handle;
                break;
            }
        }
        if (world.active == leaving) world.active = nullptr;
    }
    ChangeForeground(next, false);
}

void ChangeFocus(HWND target) {
    HWND previous = nullptr;
    bool previousOwn = false;
    bool targetOwn = false;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        if (world.focus == target) return;
        previous = world.focus;
        world.focus = target;
        previousOwn = previous != nullptr && IsOwnLocked(world, previous);
        targetOwn = target != nullptr && IsOwnLocked(world, target);
    }
    if (previousOwn) SendTo(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(target), 0);
    if (targetOwn) SendTo(target, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

}  // namespace port

using port::LockWorld;
using port::World;
using port::WorldLock;

BOOL SetForegroundWindow(HWND window) {
    if (port::ShouldFail("SetForegroundWindow")) return FALSE;
    if (!port::IsLiveWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    port::ChangeForeground(window, false);
    return TRUE;
}

HWND GetForegroundWindow() {
    WorldLock lock = LockWorld();
    return World().foreground;
}

HWND SetActiveWindow(HWND handle) {
    HWND previous = nullptr;
    bool activateNow = false;
    {
        WorldLock lock = LockWorld();
        port::WindowWorld& world = World();
        port::Window* window = port::FindOwnLocked(world, handle);
        if (window == nullptr) return nullptr;
        if (window->parent != nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        bool ownForeground = world.foreground != nullptr && world.foreground == world.active;
        previous = ownForeground ? world.active : nullptr;
        activateNow = ownForeground || (world.foreground == nullptr && !world.foregroundElsewhere);
        if (!activateNow) world.active = handle;
    }
    if (activateNow) port::ChangeForeground(handle, false);
    return previous;
}

HWND GetActiveWindow() {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    return world.foreground != nullptr && world.foreground == world.active ? world.active : nullptr;
}

HWND SetFocus(HWND window) {
    HWND previous = nullptr;
    {
        WorldLock lock = LockWorld();
        if (window != nullptr && port::FindOwnLocked(World(), window) == nullptr) return nullptr;
        previous = World().focus;
    }
    port::ChangeFocus(window);
    return previous;
}

HWND GetFocus() {
    WorldLock lock = LockWorld();
    return World().focus;
}
