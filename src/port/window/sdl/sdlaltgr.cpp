#include "port/window/sdl/sdlaltgr.h"

// Kept apart: the X11 headers define names (Window, None, Bool) the window model uses too.
#include <SDL2/SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/keysym.h>
#endif

namespace port::sdl {

DesktopKey DesktopKeyOf(const SDL_SysWMEvent& event) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (event.msg == nullptr || event.msg->subsystem != SDL_SYSWM_X11) return DesktopKey::NotAKey;
    XEvent x = event.msg->msg.x11.event;
    if (x.type != KeyPress && x.type != KeyRelease) return DesktopKey::NotAKey;
    // The key's own symbol, not shifted by the modifiers held.
    KeySym symbol = XLookupKeysym(&x.xkey, 0);
    return symbol == XK_ISO_Level3_Shift || symbol == XK_Mode_switch ? DesktopKey::AltGr
                                                                     : DesktopKey::OtherKey;
#else
    (void)event;
    return DesktopKey::NotAKey;
#endif
}

}  // namespace port::sdl
