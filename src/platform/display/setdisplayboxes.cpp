// The display set-up's boxes and its exit. Which boxes the quiet argument suppresses is decided
// where each is shown; the box that asks to reconfigure, the one that ends a failed fallback and
// those before an exit are always shown.
#include "platform/display/setdisplayrun.h"
#include "port/system/process.h"
#include "port/window/messagebox.h"

namespace setdisplay {

const char kOutOfMemoryBox[] =
    "You cannot run this application at your current screen resolution or bit depth (out of "
    "memory). Change your display settings and run again. Closing other applications might also "
    "help.";
const char kPalettisedHostBox[] =
    "You cannot run this application when your video mode is 8 bits or less. Change your display "
    "settings and run again.";
const char kSmallHostBox[] =
    "You cannot run this application at your current screen resolution. Change your display "
    "settings and run again.";
const char kReconfiguringBox[] =
    "Your video card doesn't have enough memory in the current mode. Changing to another mode. "
    "This setting will be saved so you won't see this box again. This will take less than a "
    "minute. Press OK to continue.";
const char kTooFewColoursBox[] =
    "DirectX requires that you have your screen set to 256 color mode or higher for any DirectX "
    "application to run. Please go to your control panel and select 256 color mode or install "
    "new video drivers to run this game. Exiting.";
const char kPalettisedWindowBox[] =
    "Cannot run in 256 color mode or lower in a window. Switching to full screen.";
const char kSmallWindowBox[] =
    "Cannot run in a window when your desktop is set to 800x600 or lower resolution. Switching "
    "to full screen.";
const char kWindowMemoryBox[] =
    "Cannot run in a window: Insufficient video memory. Switching to full screen.";
const char kFallbackFailedBox[] =
    "Failed to initialize window. Please try running the game again. If that doesn't help, try "
    "changing the screen resolution and color depth. If that fails, then your video card does not "
    "support this game.";
const char kFullscreenFailedBox[] =
    "Failed to initialize full screen mode. Your video card is not supported. Trying to run in a "
    "window.";
const char kWindowFailedBox[] = "Failed to initialize windowed mode. Trying full screen.";

void ShowBox(HWND owner, const char* text, UINT icon, const char* caption) {
    MessageBoxA(owner, text, caption, MB_OK | icon);
}

void Exit() {
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace setdisplay
