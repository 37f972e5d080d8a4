// The demo's game main and its main loop. DemoMain sets the window up (800 x 600 through
// TPlatform::SetupScreen), makes the data, loads the scene, shows the software cursor and then
// either runs the loop for a person at the desktop or hands the loop to the tour (demotour.h).
//
// The loop, one turn at a time: one event from the event pump, handled; an idle turn (no message
// waiting) draws a frame. The pump itself switches full screen on Alt+Enter and restores a lost
// display. Keys: "L" loses every surface through the control plane, "S" writes a screenshot of
// what the player sees, Escape ends the demo; closing the window (Alt+F4 included) ends it too.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "demoscene.h"

class TPlatform;

namespace platformdemo {

constexpr const char* kWindowTitle = "Umbrava platform demo";

// Chosen by main before the framework starts.
void SetTourMode(bool tour);
// What main returns: 0 after a good run, 1 when the demo could not start or the tour failed.
int ExitCode();
// The game's main function handed to FrameworkMain.
void DemoMain(TPlatform* platform, const char* commandLine);

class DemoGame {
public:
    explicit DemoGame(TPlatform* platform);

    // The window, the data, the scene and the cursor; false, logged, when the demo cannot run.
    bool Start();
    // One turn of the loop. False once the demo has ended (close, quit or Escape).
    bool Turn();
    // Turns until done answers true, the time is up (milliseconds) or the demo ended; answers
    // done's last answer.
    bool RunUntil(const std::function<bool()>& done, int milliseconds);
    void RunFor(int milliseconds);
    // Turns until that many more frames were drawn (or the time is up); whether they were.
    bool RunFrames(int frames, int milliseconds);

    bool Ended() const { return mEnded; }
    const DemoScene& GetScene() const { return mScene; }
    // Frames drawn since the start.
    uint64_t FramesDrawn() const { return mFrames; }
    // Frames the renderer refused (no device, or the display lost).
    uint64_t FramesRefused() const { return mRefused; }
    // Writes what the player sees now (the control plane's view of the screen) as a PNG file;
    // the path, or "" when there was nothing to write.
    std::string WriteScreenshot();

private:
    void HandleKey(int32_t code);

    TPlatform* mPlatform;
    DemoScene mScene;
    bool mEnded = false;
    uint64_t mFrames = 0;
    uint64_t mRefused = 0;
    int mScreenshots = 0;
};

}  // namespace platformdemo
