// The demo's picture, drawn whole every frame through TRenderer: the background image, the
// sprite in each of the five blend modes over a checkerboard, the first frame of the animation
// (held through an asset map), and its texts as text layouts drawn with DrawStringAt in the
// default font, among them the keys and a line of markup (a bold word, a red word, an underlined
// link) on a panel of its own. The software cursor is the display's: it is drawn into the frame
// where the pointer is when the frame is presented.
//
// The picture does not change from frame to frame, so that two screenshots of it compare; the
// texts are laid out once, when the scene loads.
//
// Main thread.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "math/rect.h"
#include "platform/assetmap.h"

class TTextLayout;
class TTexture;

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
// The plain panel under the markup line.
constexpr int kMarkupLeft = 40;
constexpr int kMarkupTop = 480;
constexpr int kMarkupRight = 480;
constexpr int kMarkupBottom = 540;
constexpr uint32_t kMarkupPanelColour = 0xB8C0C8;

// Where the title and the words of the markup line lie in the frame, for the tour's checks:
// the title's laid-out bounds, each word's run from the line top to the line bottom, and the
// markup line's baseline.
struct MarkupWords {
    TRect title;
    TRect plain;
    TRect bold;
    TRect red;
    TRect link;
    int baseline = 0;
};

class DemoScene {
public:
    DemoScene();
    ~DemoScene();

    // Loads the textures, the animation into the asset map and the font, and lays the texts out;
    // false, logged, when one is missing.
    bool Load();
    // One frame: BeginDraw, the 2-D phase, the picture, EndDraw (which presents). False when the
    // renderer would not open the frame (no device, or the display is lost).
    bool DrawFrame();

    MarkupWords GetMarkupWords() const;

private:
    // A text laid out in a box of the frame.
    struct Text {
        TTextLayout* layout;
        TRect box;
        // Pixels between lines.
        uint32_t padding;
    };

    void DrawBoards();
    // Lays a text out in the box, in the default font at the size and colour (0xRRGGBB).
    Text& AddText(const TRect& box, int size, uint32_t colour, const char* text);

    std::shared_ptr<TTexture> mBackground;
    std::shared_ptr<TTexture> mSprite;
    // The animation lives here, under its file name.
    TAssetMap mAssets;
    // The layouts are owned and deleted with the scene; a deque keeps the pointers below good.
    std::deque<Text> mTexts;
    const Text* mTitle = nullptr;
    const Text* mMarkup = nullptr;
};

}  // namespace platformdemo
