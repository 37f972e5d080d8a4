// The display set-up's parts, shared by its files: the run (what one SetDisplay asked and found),
// the boxes and the exit, the main window's side (host, styles, showing), the device's side
// (creation with the anti-aliasing retry, capabilities, default state, the finish) and the
// failure branches. TPlatformData::SetDisplay (setdisplay.cpp) runs them in order.
//
// Main thread only, under the context's mouse mutex, which SetDisplay holds for the whole run.
#pragma once

#include "port/device/d3d.h"
#include "port/win32types.h"

class TDXContext;
class TPlatform;
class TPlatformData;
class TWin32Platform;
struct TDisplayRecord;

namespace setdisplay {

// One run of SetDisplay: its arguments as the steps change them, and what it found.
struct TRun {
    TPlatformData& display;
    TDisplayRecord& record;
    TDXContext& context;
    TPlatform& application;
    TWin32Platform& platform;
    HWND window;
    int width;
    int height;
    bool fullscreen;
    bool force;
    bool quiet;
    bool childOfHost;
    // The activity of step 6.
    bool active = false;

    // The host window the game is embedded in (null when it has none).
    HWND Host() const;
};

// ---- Boxes and the end of the process (setdisplayboxes.cpp)

// The boxes' texts.
extern const char kOutOfMemoryBox[];
extern const char kPalettisedHostBox[];
extern const char kSmallHostBox[];
extern const char kReconfiguringBox[];
extern const char kTooFewColoursBox[];
extern const char kPalettisedWindowBox[];
extern const char kSmallWindowBox[];
extern const char kWindowMemoryBox[];
extern const char kFallbackFailedBox[];
extern const char kFullscreenFailedBox[];
extern const char kWindowFailedBox[];

// A box with the text, the caption "Error" unless given, the icon and owner.
void ShowBox(HWND owner, const char* text, UINT icon, const char* caption = "Error");
// Ends the process with code -1, through the port's exit hook.
[[noreturn]] void Exit();

// ---- The main window (setdisplaywindow.cpp)

// Step 7, embedded in a host window (and not "--axtest"): the main window detached for full
// screen or made a child of the host, the clip window and the styles. False when the host is
// gone: logged, the quit posted, and the run must leave.
bool AttachToHost(TRun& run);
// Step 15, without a host window: the main window's styles for the mode.
void SetWindowStyles(TRun& run);
// Step 20: unless a child of the host, a window at (0, 0) centred on its monitor; shown; made
// active in full screen.
void ShowMainWindow(TRun& run);

// ---- The device (setdisplaydevice.cpp)

// Step 18: the context makes display and device; a failure with the anti-aliasing hint is tried
// once more without it, the options "antialias" and "hint_antialias" cleared.
bool CreateDevice(TRun& run);
// Steps 21 to 25 after a creation that worked.
void FinishSetup(TRun& run);
// Step 22: the device's default state, in its order.
void SetDefaultDeviceState(IDirect3DDevice7* device);
// The one-time cursor image of the set-up may be given again, as in a new process; for tests.
void ForgetCursorImageCall();

// ---- Creation failed (setdisplayfailure.cpp)

// Step 19's branches in their order: ends the process, marks the display broken, or falls back
// to the other mode (a nested SetDisplay).
void HandleCreateFailure(TRun& run);

}  // namespace setdisplay
