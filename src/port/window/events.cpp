// What the user and the desktop do, put into the model as Windows would: the backends' real
// events and the control plane's injected ones both come here.
#include "port/window/events.h"

#include "port/system/textconv.h"
#include "port/window/control.h"
#include "port/window/cursorimage.h"
#include "port/window/messages.h"
#include "port/window/paint.h"
#include "port/window/queue.h"
#include "port/window/vkeys.h"
#include "port/window/watch.h"
#include "port/window/windowinternal.h"
#include "port/window/windowpos.h"

namespace port {
namespace {

bool IsExtendedByDefault(UINT vk) {
    switch (vk) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_SNAPSHOT:
        case VK_INSERT:
        case VK_DELETE:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_RCONTROL:
        case VK_RMENU:
            return true;
        default:
            return vk >= VK_BROWSER_BACK && vk <= VK_LAUNCH_APP2;
    }
}

// The left/right-specific code of a key, and the code its messages carry.
UINT SpecificKey(UINT vk, bool extended) {
    switch (vk) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return extended ? VK_RCONTROL : VK_LCONTROL;
        case VK_MENU:
            return extended ? VK_RMENU : VK_LMENU;
        default:
            return vk;
    }
}

UINT MessageKey(UINT code) {
    switch (code) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return code;
    }
}

// The window that gets the keyboard: the focus window while its top-level window is in front,
// else the program's window in front, else none.
Window* KeyboardTargetLocked(WindowWorld& world) {
    if (world.foreground == nullptr) return nullptr;
    if (Window* focus = FindLocked(world, world.focus)) {
        Window* top = TopLevelLocked(world, focus);
        if (!focus->foreign && top != nullptr && top->handle == world.foreground) return focus;
    }
    Window* front = FindLocked(world, world.foreground);
    return front != nullptr && !front->foreign ? front : nullptr;
}

// The window a mouse message goes to: the capture window, or the program's window whose
// client area is under the pointer.
Window* MouseTargetLocked(WindowWorld& world) {
    if (world.capture != nullptr) return FindLocked(world, world.capture);
    if (world.pointerOutside) return nullptr;
    bool client = false;
    Window* under = WindowFromPointLocked(world, world.pointer, &client);
    return under != nullptr && client && !under->foreign ? under : nullptr;
}

}  // namespace

void DeliverKey(UINT virtualKey, bool extended, bool down) {
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    UINT code = SpecificKey(virtualKey & 0xFF, extended);
    extended = extended || code == VK_RCONTROL || code == VK_RMENU;
    bool wasDown = (world.asyncKeys[code] & 0x80) != 0;
    SetKeyLocked(world.asyncKeys, code, down);
    bool alt = (world.asyncKeys[VK_MENU] & 0x80) != 0;
    bool ctrl = (world.asyncKeys[VK_CONTROL] & 0x80) != 0;
    bool system = (alt && !ctrl) || code == VK_F10;
    // Alt pressed and released with no other key between is a system key both ways; after
    // Alt+key its release is a plain key up.
    bool isAlt = MessageKey(code) == VK_MENU;
    if (isAlt && !down) system = world.altAlone;
    world.altAlone = isAlt && down && system;
    Window* target = KeyboardTargetLocked(world);
    if (target == nullptr) return;
    QueuedMessage entry;
    entry.msg.hwnd = target->handle;
    entry.msg.message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    entry.msg.wParam = MessageKey(code);
    WORD flags = static_cast<WORD>((extended ? KF_EXTENDED : 0) | (alt ? KF_ALTDOWN : 0) |
                                   (down ? (wasDown ? KF_REPEAT : 0) : KF_REPEAT | KF_UP));
    entry.msg.lParam = static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(1, flags)));
    entry.keyCode = code;
    entry.keyDown = down;
    PostInputLocked(world, entry);
}

void DeliverText(const std::string& utf8) {
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    Window* target = KeyboardTargetLocked(world);
    if (target == nullptr) return;
    auto post = [&](WPARAM unit) {
        QueuedMessage entry;
        entry.msg.hwnd = target->handle;
        entry.msg.message = WM_CHAR;
        entry.msg.wParam = unit;
        entry.msg.lParam = 1;
        PostInputLocked(world, entry);
    };
    if (target->unicode) {
        for (char16_t unit : Utf8ToUtf16(utf8))
            post(unit);
    } else {
        for (char byte : Utf8ToAnsi(utf8))
            post(static_cast<unsigned char>(byte));
    }
}

void DeliverPointerMove(int x, int y) {
    // Held to the range of the messages' coordinates, as window positions are, so that no
    // distance between the pointer and a window can overflow.
    WorldLock lock = LockWorld();
    MovePointerLocked(World(), POINT{ClampPosition(x), ClampPosition(y)});
}

void DeliverPointerLeave() {
    WorldLock lock = LockWorld();
    World().pointerOutside = true;
    CheckTrackingLocked(World());
}

void DeliverButton(MouseButton button, bool down) {
    static constexpr struct {
        UINT code;
        UINT downMessage;
        UINT upMessage;
        WORD xButton;
    } kButtons[] = {{VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, 0},
                    {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, 0},
                    {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, 0},
                    {VK_XBUTTON1, WM_XBUTTONDOWN, WM_XBUTTONUP, XBUTTON1},
                    {VK_XBUTTON2, WM_XBUTTONDOWN, WM_XBUTTONUP, XBUTTON2}};
    const auto& kind = kButtons[static_cast<int>(button)];
    HWND activate = nullptr;
    bool activateNone = false;
    HWND asked = nullptr;  // the program's window whose frame was hit, asked first
    LRESULT hit = HTNOWHERE;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        SetKeyLocked(world.asyncKeys, kind.code, down);
        Window* target = MouseTargetLocked(world);
        if (target == nullptr) {
            // A press outside the program's client areas activates what was hit.
            if (down && !world.pointerOutside) {
                bool client = false;
                Window* under = WindowFromPointLocked(world, world.pointer, &client);
                Window* top = TopLevelLocked(world, under);
                activate = top != nullptr ? top->handle : nullptr;
                activateNone = top == nullptr;
                if (under != nullptr && !under->foreign && world.capture == nullptr &&
                    world.foreground != activate) {
                    asked = under->handle;
                    hit = HitTestLocked(world, *under, world.pointer);
                }
            }
        } else {
            RECT client = ClientScreenRectLocked(world, *target);
            QueuedMessage entry;
            entry.msg.hwnd = target->handle;
            entry.msg.message = down ? kind.downMessage : kind.upMessage;
            WPARAM flags = MouseKeyFlagsLocked(world);
            entry.msg.wParam = kind.xButton != 0 ? MAKEWPARAM(flags, kind.xButton) : flags;
            entry.msg.lParam =
                MAKELPARAM(world.pointer.x - client.left, world.pointer.y - client.top);
            entry.keyCode = kind.code;
            entry.keyDown = down;
            entry.mouseActivate = down && world.capture == nullptr;
            entry.setCursor = world.capture == nullptr;
            PostInputLocked(world, entry);
        }
    }
    if (asked != nullptr) {
        // A press on the frame of an inactive window asks it first, as one on its client area
        // does.
        LRESULT answer = SendTo(asked, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(activate),
                                MAKELPARAM(static_cast<WORD>(hit), kind.downMessage));
        if (answer == MA_NOACTIVATE || answer == MA_NOACTIVATEANDEAT) return;
    }
    if (activate != nullptr || activateNone) ChangeForeground(activate, true);
}

void DeliverWheel(int delta) {
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    Window* target = KeyboardTargetLocked(world);
    if (target == nullptr) return;
    QueuedMessage entry;
    entry.msg.hwnd = target->handle;
    entry.msg.message = WM_MOUSEWHEEL;
    entry.msg.wParam = MAKEWPARAM(MouseKeyFlagsLocked(world), delta);
    entry.msg.lParam = MAKELPARAM(world.pointer.x, world.pointer.y);
    PostInputLocked(world, entry);
}

void DeliverFocus(HWND window) {
    ChangeForeground(window, false);
}

void DeliverMinimise(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void DeliverRestore(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void DeliverClose(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DeliverExpose(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
}

void DeliverDisplayChange(int width, int height, int bitsPerPixel) {
    DeliverDesktop(width, height, bitsPerPixel);
    NotifyDisplayMode();
    std::vector<HWND> own;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        for (HWND handle : world.zOrder) {
            Window* window = FindLocked(world, handle);
            if (window != nullptr && !window->foreign) own.push_back(handle);
        }
    }
    for (HWND handle : own) {
        SendTo(handle, WM_DISPLAYCHANGE, static_cast<WPARAM>(bitsPerPixel),
               MAKELPARAM(width, height));
    }
}

namespace control {

void InjectKeyEx(UINT virtualKey, bool extended, bool down) {
    DeliverKey(virtualKey, extended, down);
}

void InjectKey(UINT virtualKey, bool down) {
    DeliverKey(virtualKey, IsExtendedByDefault(virtualKey), down);
}

void InjectText(const std::string& utf8) {
    DeliverText(utf8);
}

void InjectMouseMove(int x, int y) {
    DeliverPointerMove(x, y);
}

void InjectMouseMoveClient(HWND window, int x, int y) {
    POINT point{x, y};
    if (!ClientToScreen(window, &point)) return;
    DeliverPointerMove(point.x, point.y);
}

void InjectPointerLeave() {
    DeliverPointerLeave();
}

void InjectButton(MouseButton button, bool down) {
    DeliverButton(button, down);
}

void InjectWheel(int delta) {
    DeliverWheel(delta);
}

void InjectFocus(HWND window) {
    DeliverFocus(window);
}

void InjectMinimise(HWND window) {
    DeliverMinimise(window);
}

void InjectRestore(HWND window) {
    DeliverRestore(window);
}

void InjectClose(HWND window) {
    DeliverClose(window);
}

void InjectExpose(HWND window) {
    DeliverExpose(window);
}

void InjectDisplayChange(int width, int height, int bitsPerPixel) {
    DeliverDisplayChange(width, height, bitsPerPixel);
}

HCURSOR ShownCursor(bool* shown) {
    return port::ShownCursor(shown);
}

}  // namespace control
}  // namespace port
