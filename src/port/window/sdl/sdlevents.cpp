#include "port/window/sdl/sdlevents.h"

#include "port/window/events.h"
#include "port/window/input.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/sdl/sdlkeymap.h"
#include "port/window/vkeys.h"
#include "port/window/windowinternal.h"
#include "port/window/windowpos.h"

namespace port::sdl {
namespace {

// The user moved or sized the real window: the model follows, with the messages Windows sends.
void PlaceClient(HWND window, int x, int y, bool move, int width, int height, bool size) {
    RECT outer{};
    {
        WorldLock lock = LockWorld();
        Window* found = FindLocked(World(), window);
        if (found == nullptr || (found->style & WS_MINIMIZE) != 0) return;
        RECT client = ClientScreenRectLocked(World(), *found);
        bool sameMove = !move || (client.left == x && client.top == y);
        bool sameSize =
            !size || (client.right - client.left == width && client.bottom - client.top == height);
        if (sameMove && sameSize) return;
        Frame frame = FrameLocked(*found);
        outer =
            RECT{x - frame.left, y - frame.top, x + width + frame.right, y + height + frame.bottom};
    }
    SetWindowPosInternal(
        window, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
        SWP_NOZORDER | SWP_NOACTIVATE | (move ? 0 : SWP_NOMOVE) | (size ? 0 : SWP_NOSIZE));
}

bool ProgramInFront() {
    WorldLock lock = LockWorld();
    Window* front = FindLocked(World(), World().foreground);
    return front != nullptr && !front->foreign;
}

// The program's own window in front, or null.
HWND ProgramFront() {
    WorldLock lock = LockWorld();
    Window* front = FindLocked(World(), World().foreground);
    return front != nullptr && !front->foreign ? World().foreground : nullptr;
}

// Whether a window of the program still exists and is shown, so the activation may return to it.
bool ProgramWindowShown(HWND window) {
    if (window == nullptr) return false;
    WorldLock lock = LockWorld();
    Window* found = FindLocked(World(), window);
    return found != nullptr && !found->foreign && (found->style & WS_VISIBLE) != 0;
}

MouseButton ButtonOf(Uint8 button, bool* known) {
    *known = true;
    switch (button) {
        case SDL_BUTTON_LEFT:
            return MouseButton::Left;
        case SDL_BUTTON_RIGHT:
            return MouseButton::Right;
        case SDL_BUTTON_MIDDLE:
            return MouseButton::Middle;
        case SDL_BUTTON_X1:
            return MouseButton::X1;
        case SDL_BUTTON_X2:
            return MouseButton::X2;
        default:
            *known = false;
            return MouseButton::Left;
    }
}

}  // namespace

void EventTranslator::MovePointer(int x, int y) {
    POINT point{x, y};
    if (mScale.on) {
        if (mWindow == nullptr) return;
        point = WindowToMode(mScale, x, y);
    } else if (mWindow == nullptr || !ClientToScreen(mWindow, &point)) {
        return;
    }
    POINT current{};
    GetCursorPos(&current);
    // A warp of the program's own comes back as a motion to where the pointer already is.
    if (current.x == point.x && current.y == point.y) return;
    DeliverPointerMove(point.x, point.y);
}

void EventTranslator::Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            if (mWindow != nullptr) DeliverClose(mWindow);
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(event.key);
            break;
        case SDL_TEXTINPUT:
            // With Alt held (and not Ctrl, as with AltGr) Windows types nothing: the keys are
            // system keys.
            if (GetAsyncKeyState(VK_MENU) < 0 && GetAsyncKeyState(VK_CONTROL) >= 0) break;
            DeliverText(event.text.text);
            break;
        case SDL_MOUSEMOTION:
            MovePointer(event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool known = false;
            MouseButton button = ButtonOf(event.button.button, &known);
            if (!known) break;
            MovePointer(event.button.x, event.button.y);
            DeliverButton(button, event.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_MOUSEWHEEL: {
            int notches =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            if (notches != 0) DeliverWheel(notches * WHEEL_DELTA);
            break;
        }
        default:
            break;
    }
}

void EventTranslator::TranslateKey(const SDL_KeyboardEvent& event) {
    bool altGr = mNextKeyAltGr;
    mNextKeyAltGr = false;
    VirtualKey key = VirtualKeyFromSdl(event.keysym);
    if (key.code == 0) return;
    bool down = event.type == SDL_KEYDOWN;
    if (key.code == VK_RMENU && ((down && altGr) || (!down && mAltGrDown))) {
        // Ctrl goes down first and up last, around the Alt. The release is AltGr's when the
        // press was, whatever reports it (SDL releases held keys itself when the focus goes).
        mAltGrDown = down;
        if (down) DeliverKey(VK_LCONTROL, false, true);
        DeliverKey(VK_RMENU, true, down);
        if (!down) DeliverKey(VK_LCONTROL, false, false);
        return;
    }
    DeliverKey(key.code, key.extended, down);
}

void EventTranslator::TranslateWindowEvent(const SDL_WindowEvent& event) {
    if (mWindow == nullptr) return;
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
            DeliverExpose(mWindow);
            break;
        case SDL_WINDOWEVENT_MOVED:
            if (mScale.on) break;
            PlaceClient(mWindow, event.data1, event.data2, true, 0, 0, false);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (mScale.on) break;
            PlaceClient(mWindow, 0, 0, false, event.data1, event.data2, true);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            DeliverMinimise(mWindow);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            PostMessageA(mWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            DeliverRestore(mWindow);
            break;
        case SDL_WINDOWEVENT_LEAVE:
            DeliverPointerLeave();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // The program is in front already (one of its windows that has no SDL window of its
            // own may be the foreground one): the desktop's focus, often the late echo of the
            // window being shown, changes nothing.
            if (ProgramInFront()) break;
            // A press that brought the focus is already waiting: it activates the window itself,
            // through WM_MOUSEACTIVATE, as a click into an inactive window does on Windows.
            {
                SDL_Event press;
                if (SDL_PeepEvents(&press, 1, SDL_PEEKEVENT, SDL_MOUSEBUTTONDOWN,
                                   SDL_MOUSEBUTTONDOWN) > 0) {
                    break;
                }
            }
            DeliverFocus(ProgramWindowShown(mLastFront) ? mLastFront : mWindow);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (HWND front = ProgramFront()) mLastFront = front;
            DeliverFocus(nullptr);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            DeliverClose(mWindow);
            break;
        default:
            break;
    }
}

}  // namespace port::sdl
