// SDL events as the desktop's doings in the window model. One SDL window stands for one
// top-level window of the program: the SDL window is that window's client area. Keys, text,
// pointer, buttons and wheel are delivered as input (port/window/events.h); window events become
// what the desktop does on Windows: focus changes, minimise, restore and close requests
// (WM_SYSCOMMAND), moves and sizes by the user (SetWindowPos with its messages), exposure
// (invalidation). SDL_QUIT is a close request too. Right Alt is Alt, or AltGr when the desktop
// says so (left Ctrl and right Alt, as Windows gives it). A focus gain with a press already waiting
// in SDL's queue is left to that press, which activates the window as a click does on Windows; one
// while the program is already in front changes nothing. In full screen the pointer is mapped from
// the screen into the display mode (SetScale).
//
// Its one SDL call is that look into the event queue, so tests drive it with synthetic events and
// no display.
#pragma once

#include <SDL2/SDL_events.h>

#include "port/win32types.h"
#include "port/window/sdl/sdlscale.h"

namespace port::sdl {

class EventTranslator {
public:
    void SetWindow(HWND window) { mWindow = window; }
    HWND Window() const { return mWindow; }

    // Whether the key event translated next comes from AltGr (sdlaltgr.h). AltGr arrives as
    // Windows gives it: left Ctrl with right Alt, so the keys typed with it are no system keys
    // and their text is typed.
    void NextKeyIsAltGr(bool altGr) { mNextKeyAltGr = altGr; }

    // Full screen (sdlscale.h): pointer positions are window pixels mapped into the mode, which
    // is the screen of the model; the SDL window's own moves and sizes are the full screen's, not
    // the user's, and leave the model's window alone. Off: positions are in the client area.
    void SetScale(const ScreenScale& scale) { mScale = scale; }

    void Translate(const SDL_Event& event);

private:
    void TranslateWindowEvent(const SDL_WindowEvent& event);
    // Moves the pointer to a point of the client area, when it is not there already.
    void MovePointer(int x, int y);

    void TranslateKey(const SDL_KeyboardEvent& event);

    HWND mWindow = nullptr;
    ScreenScale mScale;
    // The program's window that was in front when the desktop took the focus away: the
    // activation goes back to it when the focus returns, as Windows gives it back to the
    // application's last active window.
    HWND mLastFront = nullptr;
    bool mNextKeyAltGr = false;
    bool mAltGrDown = false;
};

}  // namespace port::sdl
