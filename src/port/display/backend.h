// Internal: the display's backend, which shows the player what the program drew. The layer keeps
// every surface in memory; a backend only hears when what the player sees changed and reads it
// back (screen.h) on the thread that runs the windows:
//   - "headless" (headless/): nothing is shown; tests read the screen through the control plane.
//   - "sdl" (sdl/, to come): the SDL window shows the player's view.
// The backend follows the window system's choice (port/startup.h).
#pragma once

#include <memory>

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
};

DisplayBackend& Backend();
std::unique_ptr<DisplayBackend> MakeHeadlessDisplayBackend();

}  // namespace port::display
