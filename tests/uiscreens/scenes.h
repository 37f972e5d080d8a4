// The scenes of ui_screens: each builds windows on the window manager's screen, in stages that
// are drawn one after the other (a later stage draws over what the earlier ones left), and names
// the pixels the final picture must show.
//
// Main thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TWindowManager;

namespace testing_support {
class XSession;
struct ArgbImage;
}  // namespace testing_support

namespace uiscreens {

// The screen the scenes are built on.
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

struct PixelCheck {
    std::string name;
    int x;
    int y;
    // 0xRRGGBB.
    uint32_t rgb;
};

// A step of the pointer, after the stages: moved to the point of the window (XTest), then the
// button pressed or released when there is one (1 left), then the main loop turned a while.
struct PointerStep {
    int x;
    int y;
    int button = 0;
    bool down = false;
};

struct Scene {
    std::string name;
    // Each stage changes the windows; the manager draws a frame after each.
    std::vector<std::function<void(TWindowManager*)>> stages;
    std::vector<PointerStep> pointer;
    std::vector<PixelCheck> checks;
    // After the pointer: what the program's own state fails, one line each (none: nothing).
    std::function<std::vector<std::string>()> verify;
    // Optional: input sent through the X server once the stages are drawn; the window's place on
    // the screen is given.
    std::function<void(testing_support::XSession&, int windowX, int windowY)> input;
    // Optional: checks of whole grabs beside the pixels, asked of every grab in turn (a check may
    // need several, as a blink does); the failures, none when it passed.
    std::function<std::vector<std::string>(const testing_support::ArgbImage&)> inspect;
    // Between two grabs.
    std::chrono::milliseconds grabEvery{100};
};

// The scene of that name; null when there is none.
const Scene* FindScene(const std::string& name);
// The names of all, for the usage line.
std::vector<std::string> SceneNames();

// The scenes, each in a file of its own.
Scene ModalsScene();
Scene LuaScene();
Scene ImagesScene();
Scene TextScene();
Scene ButtonsScene();

}  // namespace uiscreens
