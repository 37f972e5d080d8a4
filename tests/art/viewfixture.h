// The art through the real world views: the built game folder, a world, a scene without a window
// and a world view manager initialised over them (so the real "level1" with its cells), the
// renderer's recording sink in a frame that stays open, the application object on the fake clock
// (the sprites' timers) and the idle variations seeded. Views are made and configured as the
// world makes them (support/worldcast.h).
//
// Draw() draws the scene as GVScene::Draw does (the changed members updated, then each member
// rendered lowest depth first inside the 2-D bracket) and keeps, for every quad, the member that
// drew it, so a test can ask what a view or one child of it drew and read the texels it showed
// back from the quad's image.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "artfolder.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/keys/flagmasktext.h"
#include "platform/draw/rendersink.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"
#include "support/worldcast.h"

class TTexture;

namespace art_test {

// One textured quad drawn, in world pixels (the screen's plus the view port's top-left).
struct DrawnQuad {
    const GVObject* owner = nullptr;
    const TTexture* texture = nullptr;
    float left = 0, top = 0, right = 0, bottom = 0;
    // The corners in the fan's order: left top, right top, right bottom, left bottom of the image.
    TLVertex corners[4];
    // The opacity the quad was drawn with (its vertices' alpha, 0 to 1).
    float opacity = 1.0f;

    bool Covers(float x, float y) const { return x >= left && x < right && y >= top && y < bottom; }
    // The texel's alpha at the screen point, times the quad's opacity (0 outside the quad).
    float AlphaAt(float x, float y) const;
};

struct DrawnFrame {
    std::vector<DrawnQuad> quads;

    // The quads of the object and every object below it.
    std::vector<DrawnQuad> Of(const GVObject* object) const;
    // The alpha the quads compose to at the point (0 to 1).
    static float AlphaAt(const std::vector<DrawnQuad>& quads, float x, float y);
    // The drawn rectangle of the quads; false for none.
    static bool Bounds(const std::vector<DrawnQuad>& quads, float* left, float* top, float* right,
                       float* bottom);
    // A fingerprint of what the quads show (images, corners, texture coordinates, opacity).
    static std::string Signature(const std::vector<DrawnQuad>& quads);
};

class ArtViewTest : public BuiltArtTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The scene drawn now.
    DrawnFrame Draw();
    // Moves the view port (800 × 600, at the world's origin to begin with) to have the point in
    // its middle, within the world.
    void LookAt(const TVec2& point);
    // The fake clock moved on and the timers that came due run.
    void Advance(uint32_t ms);

    const testing_support::WorldCast& Cast() const { return *mCast; }
    GVWorldCreature* MakeFigure(const testing_support::CastFigure& figure, float x, float y,
                                int body = 0, int head = 0) {
        return testing_support::MakeFigureView(*mManager, figure, x, y, body, head);
    }
    // Whether the object drew anything in the frame.
    static bool Drew(const DrawnFrame& frame, const GVObject* object) {
        return !frame.Of(object).empty();
    }

    TRecordingRenderSink mSink;
    GWorld mWorld;
    GVScene mScene;
    std::unique_ptr<testing_support::WorldCast> mCast;
    std::unique_ptr<GVWorldManager> mManager;
};

// The creature and hyena descriptions of the data, read straight from the built folder's logic
// files, in the definition loader's order: the view tests' parameters, known before any test runs
// (a test checks them against the cast that the game's loaders read). The hyenas too with hyenas.
std::vector<std::string> AnimalNames(bool hyenas = true);

inline GNameMask Key(const std::string& name) {
    return ParseFlagMask(name.c_str());
}

inline std::string StateOf(const GVObject* object) {
    return object != nullptr ? FormatFlagMask(object->GetStateId()).c_str() : "";
}

}  // namespace art_test
