#include "port/window/input.h"

#include <cstdlib>

#include "port/failinjection.h"
#include "port/system/clock.h"
#include "port/system/lasterror.h"
#include "port/window/backend.h"
#include "port/window/metrics.h"
#include "port/window/vkeys.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

void FollowPair(BYTE* keys, UINT generic, UINT left, UINT right) {
    keys[generic] = static_cast<BYTE>((keys[generic] & 0x01) | ((keys[left] | keys[right]) & 0x80));
}

bool PointerInClientLocked(WindowWorld& world, HWND handle) {
    if (world.pointerOutside) return false;
    bool client = false;
    Window* under = WindowFromPointLocked(world, world.pointer, &client);
    return under != nullptr && under->handle == handle && client;
}

POINT ToClientLocked(WindowWorld& world, const Window& window, POINT screen) {
    RECT client = ClientScreenRectLocked(world, window);
    return POINT{screen.x - client.left, screen.y - client.top};
}

UINT HoverExtent(UINT query) {
    UINT value = 4;
    SystemParametersInfoA(query, 0, &value, 0);
    return value;
}

}  // namespace

void SetKeyLocked(BYTE* keys, UINT code, bool down) {
    BYTE& key = keys[code & 0xFF];
    if (down) {
        if ((key & 0x80) == 0) key ^= 0x01;
        key |= 0x80;
    } else {
        key &= ~0x80;
    }
    switch (code) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            FollowPair(keys, VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
            break;
        case VK_LCONTROL:
        case VK_RCONTROL:
            FollowPair(keys, VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
            break;
        case VK_LMENU:
        case VK_RMENU:
            FollowPair(keys, VK_MENU, VK_LMENU, VK_RMENU);
            break;
        default:
            break;
    }
}

WPARAM MouseKeyFlagsLocked(WindowWorld& world) {
    const BYTE* keys = world.asyncKeys;
    WPARAM flags = 0;
    auto held = [keys](UINT code) { return (keys[code] & 0x80) != 0; };
    if (held(VK_LBUTTON)) flags |= MK_LBUTTON;
    if (held(VK_RBUTTON)) flags |= MK_RBUTTON;
    if (held(VK_SHIFT)) flags |= MK_SHIFT;
    if (held(VK_CONTROL)) flags |= MK_CONTROL;
    if (held(VK_MBUTTON)) flags |= MK_MBUTTON;
    if (held(VK_XBUTTON1)) flags |= MK_XBUTTON1;
    if (held(VK_XBUTTON2)) flags |= MK_XBUTTON2;
    return flags;
}

void CheckTrackingLocked(WindowWorld& world) {
    HWND leaving = world.leaveWindow;
    if (leaving != nullptr && world.capture != leaving && !PointerInClientLocked(world, leaving)) {
        // WM_MOUSELEAVE ends every tracking request.
        world.leaveWindow = nullptr;
        if (world.hoverWindow == leaving) world.hoverWindow = nullptr;
        PostLocked(world, leaving, WM_MOUSELEAVE, 0, 0);
    }
    if (world.hoverWindow != nullptr) {
        // Leaving the hover rectangle starts the wait again where the pointer is now.
        int halfWidth = static_cast<int>(HoverExtent(SPI_GETMOUSEHOVERWIDTH) / 2);
        int halfHeight = static_cast<int>(HoverExtent(SPI_GETMOUSEHOVERHEIGHT) / 2);
        if (std::abs(world.pointer.x - world.hoverCentre.x) > halfWidth ||
            std::abs(world.pointer.y - world.hoverCentre.y) > halfHeight) {
            world.hoverCentre = world.pointer;
            world.hoverStart = timeGetTime();
        }
    }
}

void CheckHoverLocked(WindowWorld& world) {
    HWND hovering = world.hoverWindow;
    if (hovering == nullptr || timeGetTime() - world.hoverStart < world.hoverTime) return;
    if (!PointerInClientLocked(world, hovering)) return;
    Window* window = FindLocked(world, hovering);
    if (window == nullptr) return;
    world.hoverWindow = nullptr;
    POINT client = ToClientLocked(world, *window, world.pointer);
    PostLocked(world, hovering, WM_MOUSEHOVER, MouseKeyFlagsLocked(world),
               MAKELPARAM(client.x, client.y));
}

void MovePointerLocked(WindowWorld& world, POINT screen) {
    world.pointer = screen;
    world.pointerOutside = false;
    Window* target = world.capture != nullptr ? FindLocked(world, world.capture) : nullptr;
    bool client = target != nullptr;
    if (target == nullptr) target = WindowFromPointLocked(world, screen, &client);
    if (target != nullptr && client && !target->foreign) {
        POINT point = ToClientLocked(world, *target, screen);
        QueuedMessage entry;
        entry.msg.hwnd = target->handle;
        entry.msg.message = WM_MOUSEMOVE;
        entry.msg.wParam = MouseKeyFlagsLocked(world);
        entry.msg.lParam = MAKELPARAM(point.x, point.y);
        entry.setCursor = world.capture == nullptr;
        PostInputLocked(world, entry);
    }
    CheckTrackingLocked(world);
}

}  // namespace port

using port::LockWorld;
using port::World;
using port::WorldLock;

namespace {

SHORT KeyStateOf(const BYTE* keys, int virtualKey) {
    BYTE key = keys[virtualKey & 0xFF];
    return static_cast<SHORT>(((key & 0x80) != 0 ? 0xFF80 : 0) | (key & 0x01));
}

}  // namespace

SHORT GetKeyState(int virtualKey) {
    WorldLock lock = LockWorld();
    return KeyStateOf(World().syncKeys, virtualKey);
}

SHORT GetAsyncKeyState(int virtualKey) {
    WorldLock lock = LockWorld();
    return KeyStateOf(World().asyncKeys, virtualKey);
}

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WorldLock lock = LockWorld();
    *point = World().pointer;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    if (port::ShouldFail("SetCursorPos")) return FALSE;
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1;
    int bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    POINT point{x < left ? left : x > right ? right : x, y < top ? top : y > bottom ? bottom : y};
    {
        WorldLock lock = LockWorld();
        port::MovePointerLocked(World(), point);
    }
    port::Backend().CursorMoved(point);
    return TRUE;
}

HWND SetCapture(HWND window) {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    if (port::FindOwnLocked(world, window) == nullptr) return nullptr;
    HWND previous = world.capture;
    world.capture = window;
    if (previous != nullptr) {
        port::PostLocked(world, previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    return previous;
}

BOOL ReleaseCapture() {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    HWND previous = world.capture;
    if (previous == nullptr) return TRUE;
    world.capture = nullptr;
    port::PostLocked(world, previous, WM_CAPTURECHANGED, 0, 0);
    port::CheckTrackingLocked(world);
    return TRUE;
}

HWND GetCapture() {
    WorldLock lock = LockWorld();
    return World().capture;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (port::ShouldFail("TrackMouseEvent")) return FALSE;
    if (track == nullptr || track->cbSize != sizeof(TRACKMOUSEEVENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    UINT hoverTime = track->dwHoverTime;
    if (hoverTime == HOVER_DEFAULT) SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &hoverTime, 0);
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    HWND window = track->hwndTrack;
    if (port::FindOwnLocked(world, window) == nullptr) return FALSE;
    if ((track->dwFlags & TME_CANCEL) != 0) {
        if ((track->dwFlags & TME_HOVER) != 0 && world.hoverWindow == window) {
            world.hoverWindow = nullptr;
        }
        if ((track->dwFlags & TME_LEAVE) != 0 && world.leaveWindow == window) {
            world.leaveWindow = nullptr;
        }
        return TRUE;
    }
    if ((track->dwFlags & TME_HOVER) != 0) {
        world.hoverWindow = window;
        world.hoverTime = hoverTime;
        world.hoverStart = timeGetTime();
        world.hoverCentre = world.pointer;
    }
    if ((track->dwFlags & TME_LEAVE) != 0) {
        world.leaveWindow = window;
        port::CheckTrackingLocked(world);
    }
    return TRUE;
}
