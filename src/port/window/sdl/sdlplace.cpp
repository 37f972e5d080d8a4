#include "port/window/sdl/sdlplace.h"

// Kept apart: the X11 headers define names (Window, None, Bool) the window model uses too.
#include <SDL2/SDL_syswm.h>

namespace port::sdl {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

bool X11Of(SDL_Window* window, Display** display, ::Window* handle) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    *display = info.info.x11.display;
    *handle = info.info.x11.window;
    return *display != nullptr && *handle != 0;
}

}  // namespace

bool ServerGeometry(SDL_Window* window, int* x, int* y, int* width, int* height) {
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Of(window, &display, &handle)) return false;
    XSync(display, False);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, handle, &attributes) == 0) return false;
    ::Window child = 0;
    if (!XTranslateCoordinates(display, handle, attributes.root, 0, 0, x, y, &child)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool PlaceOnServer(SDL_Window* window, int x, int y, int width, int height, bool raise) {
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Of(window, &display, &handle) || width <= 0 || height <= 0) return false;
    XMoveResizeWindow(display, handle, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    if (raise) XRaiseWindow(display, handle);
    XSync(display, False);
    return true;
}

#else

bool ServerGeometry(SDL_Window*, int*, int*, int*, int*) {
    return false;
}

bool PlaceOnServer(SDL_Window*, int, int, int, int, bool) {
    return false;
}

#endif

}  // namespace port::sdl
