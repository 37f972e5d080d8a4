// The world view manager's drawing, read from the recording render sink: the scene, then the
// path, bounds and hit-rectangle overlays, each inside one 2-D bracket.
#include <gtest/gtest.h>

#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/draw/vertexbatch.h"
#include "viewfixture.h"

namespace views_test {
namespace {

constexpr uint32_t kPathColour = 0xAA00FFFFu;
constexpr uint32_t kYellow = 0xFFFFFF00u;

class ViewOverlayTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        TRenderer::GetInstance()->SetSink(&mSink);
    }
    void TearDown() override {
        TRenderer::GetInstance()->SetSink(nullptr);
        ViewTest::TearDown();
    }

    // The scene drawn in a frame, the caller in 2-D already or not; the line lists drawn.
    std::vector<TRecordingRenderSink::Draw> DrawLines(bool in2d) {
        mSink.mDraws.clear();
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_TRUE(renderer->BeginDraw(false));
        if (in2d) {
            EXPECT_TRUE(renderer->Begin2d());
        }
        mManager->Draw(mOrigin);
        EXPECT_EQ(renderer->IsIn2d(), in2d);
        if (in2d) renderer->End2d();
        renderer->EndDraw(0);
        std::vector<TRecordingRenderSink::Draw> lines;
        for (const auto& draw : mSink.mDraws)
            if (draw.primitive == TRenderer::kLineStrip || draw.primitive == TRenderer::kLineList)
                lines.push_back(draw);
        return lines;
    }

    // The four sides of the box less the origin, as the line list draws them.
    std::vector<std::pair<float, float>> Box(float left, float top, float right,
                                             float bottom) const {
        const float l = left - mOrigin.x, t = top - mOrigin.y;
        const float r = right - mOrigin.x, b = bottom - mOrigin.y;
        return {{l, t}, {r, t}, {r, t}, {r, b}, {r, b}, {l, b}, {l, b}, {l, t}};
    }
    static std::vector<std::pair<float, float>> Points(const TRecordingRenderSink::Draw& draw) {
        std::vector<std::pair<float, float>> points;
        for (const TLVertex& vertex : draw.vertices)
            points.emplace_back(vertex.x, vertex.y);
        return points;
    }

    TRecordingRenderSink mSink;
    TVec2 mOrigin{50, 20};
};

TEST_F(ViewOverlayTest, WithTheOverlaysOffOnlyTheSceneIsDrawn) {
    MakeCreature(100, 100)->SetPath({TVec2(300, 100)});
    EXPECT_TRUE(DrawLines(false).empty());
    EXPECT_EQ(mSink.mBegin2dCount, 1);  // the scene's own bracket
    EXPECT_FALSE(mSink.mDraws.empty());
}

TEST_F(ViewOverlayTest, PathsAreStripsOfTheirFirstThirtyPoints) {
    mManager->SetOverlay(GVWorldManager::kOverlayPaths, true);
    GVWorldCreature* longWalk = MakeCreature(100, 100);
    std::vector<TVec2> points;
    for (int i = 1; i < 40; ++i)
        points.push_back(TVec2(100.0f + 10 * i, 100.0f + (i % 2)));
    longWalk->SetPath(points);
    GVWorldCreature* shortWalk = MakeCreature(500, 500);
    shortWalk->SetPath({TVec2(510, 520)});
    MakeCreature(700, 700);  // standing: no path
    MakeLocation("loc_well", 300, 300);
    const auto lines = DrawLines(false);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].primitive, TRenderer::kLineStrip);
    ASSERT_EQ(lines[0].vertices.size(), 30u);
    for (size_t i = 0; i < 30; ++i) {
        const TLVertex& vertex = lines[0].vertices[i];
        EXPECT_EQ(vertex.x, longWalk->GetPath()[i].x - 50.0f) << i;
        EXPECT_EQ(vertex.y, longWalk->GetPath()[i].y - 20.0f) << i;
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.diffuse, kPathColour);
    }
    EXPECT_EQ(Points(lines[1]), (std::vector<std::pair<float, float>>{{450, 480}, {460, 500}}));
    EXPECT_EQ(lines[1].texture, nullptr);
    // The scene's bracket and the overlay's.
    EXPECT_EQ(mSink.mBegin2dCount, 2);
    EXPECT_EQ(mSink.mEnd2dCount, 2);
}

TEST_F(ViewOverlayTest, BoundsAreYellowBoxesSkippedAtTheTopLeftCorner) {
    mManager->SetOverlay(GVWorldManager::kOverlayBounds, true);
    MakeCreature(100, 100);
    MakeCreature(2, 5);    // left -2, top -3: skipped
    MakeCreature(4, 300);  // left 0: drawn, its top is below 0
    MakeLocation("loc_well", 300, 8);
    mScene.UpdateObjects();
    const auto lines = DrawLines(false);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].primitive, TRenderer::kLineList);
    EXPECT_EQ(Points(lines[0]), Box(96, 92, 104, 100));
    EXPECT_EQ(Points(lines[1]), Box(0, 292, 8, 300));
    EXPECT_EQ(Points(lines[2]), Box(296, 0, 304, 8));
    for (const auto& line : lines)
        for (const TLVertex& vertex : line.vertices)
            EXPECT_EQ(vertex.diffuse, kYellow);
}

TEST_F(ViewOverlayTest, HitRectanglesAreYellowBoxesOfTheCreatures) {
    mManager->SetOverlay(GVWorldManager::kOverlayHitRects, true);
    GVViewConfig config;
    config.hitRect = GVHitRect{10, 20, 20, 30};
    MakeCreature(100, 100)->Configure(&config);
    MakeCreature(5, 15)->Configure(&config);  // left -5, top -5: skipped
    MakeCreature(300, 300);                   // an empty rectangle at its position
    MakeLocation("loc_well", 400, 400);
    const auto lines = DrawLines(false);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Points(lines[0]), Box(90, 80, 110, 110));
    EXPECT_EQ(Points(lines[1]), Box(300, 300, 300, 300));
    EXPECT_EQ(lines[0].vertices[0].diffuse, kYellow);
}

TEST_F(ViewOverlayTest, NoOverlayOpensASecond2dBracket) {
    mManager->SetOverlay(GVWorldManager::kOverlayPaths, true);
    mManager->SetOverlay(GVWorldManager::kOverlayBounds, true);
    mManager->SetOverlay(GVWorldManager::kOverlayHitRects, true);
    EXPECT_TRUE(mManager->IsOverlayOn(GVWorldManager::kOverlayBounds));
    MakeCreature(100, 100)->SetPath({TVec2(300, 100)});
    mScene.UpdateObjects();
    // Inside the caller's bracket: none of its own.
    EXPECT_EQ(DrawLines(true).size(), 3u);
    EXPECT_EQ(mSink.mBegin2dCount, 1);
    EXPECT_EQ(mSink.mEnd2dCount, 1);
    // Outside: the scene's and one of each overlay, each closed.
    EXPECT_EQ(DrawLines(false).size(), 3u);
    EXPECT_EQ(mSink.mBegin2dCount, 1 + 4);
    EXPECT_EQ(mSink.mEnd2dCount, 1 + 4);
    // Outside a frame nothing is drawn and nothing opened.
    mSink.mDraws.clear();
    mManager->Draw(mOrigin);
    EXPECT_TRUE(mSink.mDraws.empty());
    EXPECT_EQ(mSink.mBegin2dCount, 5);
}

}  // namespace
}  // namespace views_test
