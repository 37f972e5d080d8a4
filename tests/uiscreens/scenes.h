// The scenes of ui_screens: each builds windows on the window manager's screen, in stages that
// are drawn one after the other (a later stage draws over what the earlier ones left), and names
// the pixels the final picture must show.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TWindowManager;

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

struct Scene {
    std::string name;
    // Each stage changes the windows; the manager draws a frame after each.
    std::vector<std::function<void(TWindowManager*)>> stages;
    std::vector<PixelCheck> checks;
};

// The scene of that name; null when there is none.
const Scene* FindScene(const std::string& name);
// The names of all, for the usage line.
std::vector<std::string> SceneNames();

// The scenes, each in a file of its own.
Scene ModalsScene();
Scene LuaScene();

}  // namespace uiscreens
