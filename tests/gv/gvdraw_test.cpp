// Scenes drawing their objects: the depth order, the 2-D bracket, culling against the view, the
// quad each object hands the renderer, missing images, the effects' veto, and the bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawfixture.h"
#include "gv/anim/gveffects.h"
#include "gv/gvframe.h"
#include "platform/draw/color.h"
#include "platform/draw/drawspec.h"
#include "platform/texture/texturedata.h"
#include "support/logcapture.h"

namespace gv_test {
namespace {

std::string At(float x, float y, const std::string& more = std::string()) {
    return "deltaX=\"" + std::to_string(x) + "\" deltaY=\"" + std::to_string(y) + "\" " + more;
}

TEST_F(DrawTest, EqualDepthsDrawInJoiningOrderAndADepthChangeGoesLastAtItsNewDepth) {
    GVObject* a = Make(Sprite("main", At(100, 100, "deltaZ=\"5\"")));
    GVObject* b = Make(Sprite("main", At(200, 100, "deltaZ=\"5\"")));
    GVObject* low = Make(Sprite("main", At(300, 100)));
    GVObject* c = Make(Sprite("main", At(400, 100, "deltaZ=\"5\"")));
    ASSERT_TRUE(a && b && low && c);
    mScene.Draw();
    // Each quad's left edge is its deltaX (the sprites' unmirrored registration point is 0, 0).
    EXPECT_EQ(Lefts(), (std::vector<float>{300, 100, 200, 400}));

    // The scene's update re-sorts it: after every object already at depth 5.
    low->deltaZ = 5;
    low->changed = 1;
    ClearSink();
    mScene.Draw();
    EXPECT_EQ(Lefts(), (std::vector<float>{100, 200, 400, 300}));
    EXPECT_EQ(low->GetComposed().deltaZ, 5);
}

TEST_F(DrawTest, TheBracketIsClosedOnlyWhenTheSceneOpenedIt) {
    Make(Sprite("main", At(100, 100)));
    TRenderer* renderer = TRenderer::GetInstance();
    mScene.Draw();
    EXPECT_EQ(mSink.mBegin2dCount, 1);
    EXPECT_EQ(mSink.mEnd2dCount, 1);
    EXPECT_FALSE(renderer->IsIn2d());
    EXPECT_EQ(mSink.mDraws.size(), 1u);

    // A window already drawing in 2-D: Begin2d refuses, the objects still draw, and the
    // window's bracket stays open.
    ASSERT_TRUE(renderer->Begin2d());
    mScene.Draw();
    EXPECT_EQ(mSink.mBegin2dCount, 2);
    EXPECT_EQ(mSink.mEnd2dCount, 1);
    EXPECT_TRUE(renderer->IsIn2d());
    EXPECT_EQ(mSink.mDraws.size(), 2u);
    renderer->End2d();

    // Outside a frame nothing can be drawn, and End2d is not called either.
    renderer->EndDraw(0);
    testing_support::LogCapture log;
    mScene.Draw();
    EXPECT_EQ(mSink.mEnd2dCount, 2);
    EXPECT_EQ(mSink.mDraws.size(), 2u);
    EXPECT_EQ(log.Messages(),
              (std::vector<std::string>{
                  "ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!"}));
}

TEST_F(DrawTest, CullingIsInclusiveAndSkippedForTurnedObjects) {
    // The view is (0, 0)–(800, 600); each frame is 16 × 16 from (deltaX, deltaY).
    struct Case {
        float x, y;
        const char* more;
        bool drawn;
    } cases[] = {
        {800, 300, "", true},   // left edge on the view's right edge
        {801, 300, "", false},  // one pixel past it
        {-16, 300, "", true},   // right edge on the view's left edge
        {-17, 300, "", false},
        {400, -16, "", true},  // bottom edge on the view's top edge
        {400, -17, "", false},
        {400, 600, "", true},  // top edge on the view's bottom edge
        {400, 601, "", false},
        {3000, 3000, "rotate=\"0.5\"", true},    // turned: never culled
        {3000, 3000, "rotate=\"-0.0\"", false},  // a turn of 0 is none
    };
    for (const Case& c : cases) {
        GVObject* object = Make(Sprite("main", At(c.x, c.y, c.more)));
        ASSERT_NE(object, nullptr);
        ClearSink();
        mScene.Draw();
        EXPECT_EQ(mSink.mDraws.size(), c.drawn ? 1u : 0u) << c.x << "," << c.y << " " << c.more;
        mLive.clear();
    }
}

TEST_F(DrawTest, EachQuadIsDrawnAsTheObjectsDrawRecordPutsIt) {
    // The view looks at (1000, 2000): everything is drawn moved by minus that.
    mScene.GetViewPort().SetBounds(GVRect{0, 0, 5000, 5000});
    mScene.GetViewPort().MoveTo(TVec2(1000, 2000));
    const std::shared_ptr<TTexture> sheet = TTexture::Get("anim/sheet.png", 0);
    ASSERT_NE(sheet, nullptr);
    const float size = static_cast<float>(sheet->GetData()->GetSurfaceWidth());
    struct Case {
        const char* flip;
        int corner;  // of the registration point
        // Which texel corner each vertex shows (0 left/top, 1 right/bottom) for the positions
        // left-top, right-top, right-bottom, left-bottom.
        bool swapX, swapY;
    } cases[] = {
        {"", 0, false, false}, {"H", 1, true, false}, {"V", 2, false, true}, {"HV", 3, true, true}};
    for (const Case& c : cases) {
        GVObject* object = Make(Sprite(
            "main",
            At(1100, 2100, std::string("alpha=\"0.5\" blend=\"add\" flip=\"") + c.flip + "\""), "",
            2));
        ASSERT_NE(object, nullptr);
        object->colors[0] = 0.5f;
        object->colors[1] = 0.25f;
        object->changed = 1;
        object->SetFrame(1);  // the second frame: x 16 to 32 of the sheet
        ClearSink();
        mScene.Draw();
        ASSERT_EQ(mSink.mDraws.size(), 1u) << c.flip;
        const TVec2 reg = object->GetCurrentFrame()->GetRegCorner(c.corner);
        const float left = 100 - reg.x, top = 100 - reg.y;
        const float xs[2] = {left, left + 16}, ys[2] = {top, top + 16};
        const float us[2] = {16 / size, 32 / size}, vs[2] = {0, 16 / size};
        // Vertex i shows texel corner (u of kU[i], v of kV[i]); mirroring moves it across.
        const int kU[4] = {0, 1, 1, 0}, kV[4] = {0, 0, 1, 1};
        std::vector<Corner> expected;
        for (int i = 0; i < 4; ++i)
            expected.push_back({xs[kU[i] ^ c.swapX], ys[kV[i] ^ c.swapY], us[kU[i]], vs[kV[i]]});
        EXPECT_EQ(Corners(0), expected) << c.flip;
        EXPECT_EQ(mSink.mDraws[0].vertices[0].diffuse, TColor(0.5f, 0.25f, 1.0f, 0.5f).GetPacked());
        EXPECT_EQ(mSink.mDraws[0].texture, sheet.get());
        EXPECT_EQ(mSink.mBlendModes, (std::vector<int32_t>{GVData::kBlendAdd}));
        // The object's own record keeps the world position.
        EXPECT_EQ(object->GetDrawSpec()->mTransform.m[6], 1100);
        mLive.clear();
    }
    // Scaled and mirrored: the quad grows about the registration point.
    GVObject* big = Make(Sprite("main", At(1100, 2100, "scaling=\"2\" flip=\"H\"")));
    ASSERT_NE(big, nullptr);
    ClearSink();
    mScene.Draw();
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    const TVec2 reg = big->GetCurrentFrame()->GetRegCorner(GVFrame::kCornerMirrorX);
    ASSERT_NE(reg.x, 0);
    EXPECT_EQ(Corners(0)[1].x, 100 - 2 * reg.x);
    EXPECT_EQ(Corners(0)[0].x, 100 - 2 * reg.x + 32);
    EXPECT_EQ(Corners(0)[2].y, 100 - 2 * reg.y + 32);
}

TEST_F(DrawTest, AnImagePositionTheSetLacksDrawsNothing) {
    const std::string images = "<images><img name=\"sheet.png\"/></images>";
    GVObject* lacking =
        Make("<main deltaX=\"100\" deltaY=\"100\">" + images +
             "<framelist><frame x=\"0\" y=\"0\" w=\"16\" h=\"16\" img=\"1\"/></framelist></main>");
    GVObject* negative =
        Make("<main deltaX=\"100\" deltaY=\"100\">" + images +
             "<framelist><frame x=\"0\" y=\"0\" w=\"16\" h=\"16\" img=\"-1\"/></framelist></main>");
    GVObject* good = Make(Sprite("main", At(300, 100)));
    ASSERT_TRUE(lacking && negative && good);
    ASSERT_NE(lacking->GetCurrentFrame(), nullptr);
    mScene.Draw();
    EXPECT_EQ(Lefts(), (std::vector<float>{300}));
}

TEST_F(DrawTest, WithoutStatesVisibilityOrAFrameNothingIsDrawn) {
    GVObject* hidden = Make(Sprite("main", At(100, 100, "visible=\"0\"")));
    GVObject* stateless = Make(Sprite("main", At(100, 100)));
    // A frameless parent of a hidden child.
    GVObject* frameless =
        Make("<main><objects>" + Sprite("obj", "visible=\"0\"") + "</objects></main>");
    ASSERT_TRUE(hidden && stateless && frameless);
    stateless->SetStates(nullptr);
    mScene.Draw();
    EXPECT_TRUE(mSink.mDraws.empty());
    EXPECT_EQ(mScene.GetObjectCount(), 4u);
}

// Notes each call and how many quads the sink had then.
class DrawWatcher : public GVEffect {
public:
    DrawWatcher(const TRecordingRenderSink* sink, std::vector<std::string>* log)
        : GVEffect(kBeforeDraw | kAfterDraw), mSink(sink), mLog(log) {}
    bool Start() override { return true; }
    bool BeforeDraw(TDrawSpec& spec) override {
        mLog->push_back("before " + std::to_string(mSink->mDraws.size()) + " at " +
                        std::to_string(static_cast<int>(spec.mTransform.m[6])));
        return allow;
    }
    void AfterDraw(TDrawSpec&) override {
        mLog->push_back("after " + std::to_string(mSink->mDraws.size()));
    }
    bool allow = true;

private:
    const TRecordingRenderSink* mSink;
    std::vector<std::string>* mLog;
};

TEST_F(DrawTest, ABeforeDrawVetoStopsTheDrawAndAfterDrawFollowsIt) {
    mScene.GetViewPort().SetBounds(GVRect{0, 0, 5000, 5000});
    mScene.GetViewPort().MoveTo(TVec2(50, 0));
    GVObject* object = Make(Sprite("main", At(100, 100)));
    ASSERT_NE(object, nullptr);
    std::vector<std::string> log;
    GVCustomEffects own;
    auto* watcher = new DrawWatcher(&mSink, &log);
    own.Add(watcher);
    if (object->GetEffects() == nullptr) object->SetEffects(new GVEffects());
    object->GetEffects()->StartAll(&own);

    mScene.Draw();
    // The effect sees the copy moved by the view.
    EXPECT_EQ(log, (std::vector<std::string>{"before 0 at 50", "after 1"}));
    log.clear();
    watcher->allow = false;
    mScene.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"before 1 at 50"}));
    EXPECT_EQ(mSink.mDraws.size(), 1u);
    object->GetEffects()->StopAll(&own);
}

TEST_F(DrawTest, BoundsIgnoreRotationAndFallBackToTheFirstChild) {
    GVObject* turned = Make(Sprite("main", At(100, 200, "rotate=\"1\" scaling=\"2\"")));
    ASSERT_NE(turned, nullptr);
    turned->Update();
    GVRect bounds;
    turned->GetBounds(bounds, nullptr);
    EXPECT_EQ(bounds, (GVRect{100, 200, 132, 232}));

    // No frame of its own: the first child's bounds (the children placed by the parent).
    GVObject* group =
        Make("<main deltaX=\"50\"><objects>" + Sprite("obj", At(10, 20, "id=\"one\"")) +
             Sprite("obj", At(300, 300, "id=\"two\"")) + "</objects></main>");
    ASSERT_NE(group, nullptr);
    group->Update();
    ASSERT_EQ(group->GetCurrentFrame(), nullptr);
    group->GetBounds(bounds, nullptr);
    EXPECT_EQ(bounds, (GVRect{60, 20, 76, 36}));
    // A frame given explicitly is used instead of the current one.
    const GVFrame* frame = group->GetChild("one")->GetCurrentFrame();
    GVObject lone;
    lone.GetBounds(bounds, nullptr);
    EXPECT_EQ(bounds, GVRect());
    lone.GetBounds(bounds, frame);
    EXPECT_EQ(bounds, (GVRect{0, 0, 16, 16}));
}

}  // namespace
}  // namespace gv_test
