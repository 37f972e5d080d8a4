#include "platform/draw/renderer.h"

#include <gtest/gtest.h>

#include "platform/draw/rendersink.h"
#include "platform/draw/vertexbatch.h"
#include "support/logcapture.h"

namespace {

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override { TRenderer::GetInstance()->SetSink(&mSink); }
    void TearDown() override { TRenderer::DestroyInstance(); }

    testing_support::LogCapture mLog;
    TRecordingRenderSink mSink;
};

TEST_F(RendererTest, TwoDPhaseNeedsAFrameAndNoOtherPhase) {
    TRenderer* renderer = TRenderer::GetInstance();
    EXPECT_FALSE(renderer->Begin2d());
    EXPECT_TRUE(renderer->BeginDraw(false));
    EXPECT_TRUE(renderer->IsDrawing());
    EXPECT_TRUE(renderer->Begin2d());
    EXPECT_FALSE(renderer->Begin2d());
    EXPECT_TRUE(renderer->IsIn2d());  // the first phase stays open
    renderer->EndDraw(0);
    EXPECT_FALSE(renderer->IsDrawing());
    renderer->End2d();  // after the frame: logged, and the phase still closes
    EXPECT_FALSE(renderer->IsIn2d());
    renderer->End2d();
    EXPECT_EQ(mLog.Messages(),
              (std::vector<std::string>{
                  "ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!",
                  "Begin2d called when already in Begin2d state",
                  "ERROR: Calling End2d after EndDraw or EndRenderTarget!",
                  "End2d called when not in Begin2d state"}));
}

TEST_F(RendererTest, VerticesAreDrawnOnlyInsideAPhase) {
    TRenderer* renderer = TRenderer::GetInstance();
    TLVertex vertices[3] = {};
    TVertexBatch* batch = TVertexBatch::CreateKind2(vertices, 3);
    renderer->DrawVertices(TRenderer::kTriangleList, batch);
    EXPECT_TRUE(mSink.mDraws.empty());
    EXPECT_EQ(mLog.Messages(),
              std::vector<std::string>{"DrawVertices called when not in Begin2d or Begin3d state"});
    renderer->BeginDraw(false);
    renderer->Begin2d();
    renderer->DrawVertices(TRenderer::kTriangleList, batch);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    EXPECT_EQ(mSink.mDraws[0].vertices.size(), 3u);
    TVertexBatch::Free(batch);
}

TEST_F(RendererTest, NoSinkIsNoDevice) {
    TRenderer* renderer = TRenderer::GetInstance();
    mSink.mSquareTextures = true;
    EXPECT_TRUE(renderer->NeedsSquareTextures());
    renderer->SetSink(nullptr);
    EXPECT_FALSE(renderer->NeedsSquareTextures());
    EXPECT_FALSE(renderer->BeginDraw(false));
    EXPECT_FALSE(renderer->IsDrawing());
}

}  // namespace
