// The demo's picture, drawn whole every frame through TRenderer: the background image, the
// sprite in each of the five blend modes over a checkerboard, the first frame of the animation
// (held through an asset map), and lines of vector text (the default font through the glyph
// drawer), among them the keys. The software cursor is the display's: it is drawn into the frame
// where the pointer is when the frame is presented.
//
// The picture does not change from frame to frame, so that two screenshots of it compare.
//
// Main thread.
#pragma once

#include <memory>

#include "platform/assetmap.h"

class TTexture;
class TVecFont;

namespace platformdemo {

// The window's size.
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// Where the scene puts things, for the tour's checks: the blend-mode boards (kBoardSize square,
// the first at kBoardLeft, each kBoardStep to the right of the one before), the animation frame's
// centre and a plain panel where the pointer rests.
constexpr int kBoardLeft = 40;
constexpr int kBoardTop = 130;
constexpr int kBoardSize = 120;
constexpr int kBoardStep = 150;
constexpr int kBlendModeCount = 5;
constexpr int kAnimationX = 100;
constexpr int kAnimationY = 420;
constexpr int kPanelLeft = 520;
constexpr int kPanelTop = 360;
constexpr int kPanelRight = 760;
constexpr int kPanelBottom = 560;

class DemoScene {
public:
    DemoScene();
    ~DemoScene();

    // Loads the textures, the animation into the asset map and the font; false, logged, when one
    // is missing.
    bool Load();
    // One frame: BeginDraw, the 2-D phase, the picture, EndDraw (which presents). False when the
    // renderer would not open the frame (no device, or the display is lost).
    bool DrawFrame();

private:
    void DrawBoards();
    void DrawText(float x, float baseline, float pixelHeight, uint32_t colour, const char* text);

    std::shared_ptr<TTexture> mBackground;
    std::shared_ptr<TTexture> mSprite;
    // The animation lives here, under its file name.
    TAssetMap mAssets;
    TVecFont* mFont = nullptr;
};

}  // namespace platformdemo
