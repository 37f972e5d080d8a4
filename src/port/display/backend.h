// Internal: the display's backend, which shows the player what the program drew. The layer keeps
// every surface in memory; a backend only hears when what the player sees changed and reads it
// back (screen.h) on the thread that runs the windows:
//   - "headless" (headless/): nothing is shown; tests read the screen through the control plane.
//   - "sdl" (sdl/): the SDL window shows the player's view, windowed or full screen.
// The backend follows the window system's choice (port/startup.h): sdl while the window system's
// backend is sdl, headless otherwise.
#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace port::display {

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    virtual const char* Name() const = 0;

    // Pixels of what the player sees changed (a blit onto the desktop, an unlock of it). Any
    // thread may call it, with no lock of the layer held.
    virtual void ScreenChanged() {}

    // Returns at the start of the next vertical blank: at once in headless, at the screen's next
    // refresh where there is one. Called on the thread that presents.
    virtual void WaitForVerticalBlank() {}

    // The sizes of the default display device's modes for a desktop of that size (each at 16
    // and 32 bits): 640 x 480, 800 x 600, 1024 x 768 and the desktop's size, unless a backend
    // knows the real screen.
    virtual std::vector<std::pair<int, int>> ModeSizes(int desktopWidth, int desktopHeight) const;
};

DisplayBackend& Backend();
std::unique_ptr<DisplayBackend> MakeHeadlessDisplayBackend();
std::unique_ptr<DisplayBackend> MakeSdlDisplayBackend();

}  // namespace port::display
