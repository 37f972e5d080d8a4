// The renderer's refusals and what it passes on, as one table of cases over the recording sink:
// the phase rules with their log lines, the viewport stack, fills in viewport coordinates, simple
// textures, render targets inside a frame, the cull-mode values and the overlay switch.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/draw/vertexbatch.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "support/logcapture.h"

namespace {

std::shared_ptr<TTexture> SimpleTexture() {
    auto texture = std::make_shared<TTexture>();
    texture->GetData()->SetFlags(TTextureData::kSimple);
    return texture;
}

// Draws a list of three vertices.
void DrawThree(TRenderer& renderer) {
    TVertex vertices[3];
    TVertexBatch* batch = TVertexBatch::CreateKind2(vertices, 3);
    renderer.DrawVertices(TRenderer::kTriangleList, batch);
    TVertexBatch::Free(batch);
}

struct Case {
    const char* name;
    // Run on a fresh renderer over a fresh recording sink.
    std::function<void(TRenderer&, TRecordingRenderSink&)> run;
    // The log lines the case writes, in order.
    std::vector<std::string> log;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"Begin2d inside Begin2d keeps the first phase open",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             ASSERT_TRUE(r.BeginDraw(false));
             ASSERT_TRUE(r.Begin2d());
             EXPECT_FALSE(r.Begin2d());
             EXPECT_TRUE(r.IsIn2d());
             EXPECT_EQ(sink.mBegin2dCount, 1);
             EXPECT_FALSE(r.Begin3d());
             EXPECT_FALSE(r.IsIn3d());
         },
         {"Begin2d called when already in Begin2d state",
          "Begin3d called when already in Begin2d state"}},
        {"Begin3d inside Begin3d keeps the first phase open",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             ASSERT_TRUE(r.BeginDraw(false));
             ASSERT_TRUE(r.Begin3d());
             EXPECT_FALSE(r.Begin2d());
             EXPECT_FALSE(r.Begin3d());
             EXPECT_TRUE(r.IsIn3d());
             EXPECT_FALSE(r.IsIn2d());
             EXPECT_EQ(sink.mBegin3dCount, 1);
             EXPECT_EQ(sink.mBegin2dCount, 0);
         },
         {"Begin2d called when already in Begin3d state",
          "Begin3d called when already in Begin3d state"}},
        {"a phase after EndDraw is refused",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             ASSERT_TRUE(r.BeginDraw(false));
             r.EndDraw(1);
             EXPECT_FALSE(r.Begin2d());
             EXPECT_FALSE(r.Begin3d());
             EXPECT_EQ(sink.mBegin2dCount + sink.mBegin3dCount, 0);
         },
         {"ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!",
          "ERROR: Calling Begin3d outside of a BeginDraw or BeginRenderTarget block!"}},
        {"a failed BeginDraw opens no frame",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             sink.mFramesSucceed = false;
             EXPECT_FALSE(r.BeginDraw(false));
             EXPECT_FALSE(r.IsDrawing());
             EXPECT_FALSE(r.Begin2d());
             r.EndDraw(1);  // still safe
         },
         {"ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!"}},
        {"End2d and End3d after EndDraw still close their phase",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             ASSERT_TRUE(r.BeginDraw(false));
             ASSERT_TRUE(r.Begin2d());
             r.EndDraw(1);
             r.End2d();
             EXPECT_FALSE(r.IsIn2d());
             EXPECT_EQ(sink.mEnd2dCount, 1);
             ASSERT_TRUE(r.BeginDraw(false));
             ASSERT_TRUE(r.Begin3d());
             r.EndDraw(1);
             r.End3d();
             EXPECT_FALSE(r.IsIn3d());
             EXPECT_EQ(sink.mEnd3dCount, 1);
         },
         // The 3-D line has no "ERROR: " prefix.
         {"ERROR: Calling End2d after EndDraw or EndRenderTarget!",
          "Calling End3d after EndDraw or EndRenderTarget!"}},
        {"ending a phase that is not open does nothing",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             ASSERT_TRUE(r.BeginDraw(false));
             ASSERT_TRUE(r.Begin2d());
             r.End3d();
             EXPECT_TRUE(r.IsIn2d());
             r.End2d();
             r.End2d();
             EXPECT_EQ(sink.mEnd2dCount, 1);
             EXPECT_EQ(sink.mEnd3dCount, 0);
         },
         {"End3d called when not in Begin3d state", "End2d called when not in Begin2d state"}},
        {"vertices are drawn inside a phase only",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             ASSERT_TRUE(r.BeginDraw(false));
             DrawThree(r);
             ASSERT_TRUE(r.Begin2d());
             DrawThree(r);
             r.End2d();
             DrawThree(r);
             ASSERT_TRUE(r.Begin3d());
             DrawThree(r);
             r.End3d();
             EXPECT_EQ(sink.mDraws.size(), 2u);
         },
         {"DrawVertices called when not in Begin2d or Begin3d state",
          "DrawVertices called when not in Begin2d or Begin3d state"}},
        {"a render target is refused inside a frame, which stays open",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             auto texture = std::make_shared<TTexture>();
             ASSERT_TRUE(r.BeginDraw(false));
             EXPECT_FALSE(r.BeginRenderTarget(texture, 2));
             EXPECT_TRUE(r.IsDrawing());
             EXPECT_TRUE(r.Begin2d());
             EXPECT_TRUE(sink.mRenderTargets.empty());
             EXPECT_EQ(texture.use_count(), 1);  // no reference kept
         },
         {}},
        {"a render target is refused for a simple texture and inside a target",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             EXPECT_FALSE(r.BeginRenderTarget(SimpleTexture(), 0));
             EXPECT_FALSE(r.IsDrawing());
             auto texture = std::make_shared<TTexture>();
             ASSERT_TRUE(r.BeginRenderTarget(texture));  // the one-argument form: mode 0
             EXPECT_TRUE(r.IsDrawing());
             EXPECT_TRUE(r.Begin2d());  // a target is a frame
             r.End2d();
             EXPECT_FALSE(r.BeginRenderTarget(texture, 3));
             r.EndRenderTarget();
             EXPECT_FALSE(r.IsDrawing());
             r.EndRenderTarget();  // none open: the display is not asked
             ASSERT_EQ(sink.mRenderTargets.size(), 1u);
             EXPECT_EQ(sink.mRenderTargets[0].texture, texture.get());
             EXPECT_EQ(sink.mRenderTargets[0].mode, 0);
             EXPECT_EQ(sink.mRenderTargetEnds, 1);
             EXPECT_EQ(texture.use_count(), 1);
         },
         {}},
        {"a render target the display refuses opens no frame",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             sink.mRenderTargetsSucceed = false;
             EXPECT_FALSE(r.BeginRenderTarget(std::make_shared<TTexture>(), 4));
             EXPECT_FALSE(r.IsDrawing());
             EXPECT_FALSE(r.Begin2d());
         },
         {"ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!"}},
        {"the viewport stack keeps its bottom entry and applies each new top",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             EXPECT_EQ(r.GetTopViewport(), TRect{});
             r.PopViewport();  // nothing to pop
             EXPECT_TRUE(r.PushViewport(TRect{0, 0, 800, 600}));
             r.PopViewport();
             EXPECT_EQ(r.GetViewportCount(), 1u);
             EXPECT_EQ(r.GetTopViewport(), (TRect{0, 0, 800, 600}));
             EXPECT_TRUE(r.PushViewport(TRect{10, 20, 30, 40}));
             EXPECT_EQ(r.GetTopViewport(), (TRect{10, 20, 30, 40}));
             r.PopViewport();
             EXPECT_EQ(sink.mViewports,
                       (std::vector<TRect>{{0, 0, 800, 600}, {10, 20, 30, 40}, {0, 0, 800, 600}}));
         },
         {}},
        {"a fill without a texture is placed in the viewport and cut to it",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             r.SetViewport(TRect{100, 100, 120, 200});
             r.FillRect(TRect{10, 10, 50, 50}, TVec4{1, 0, 0, 1}, nullptr);
             ASSERT_EQ(sink.mFills.size(), 1u);
             EXPECT_EQ(sink.mFills[0].rect, (TRect{110, 110, 120, 150}));
         },
         {}},
        {"a simple texture binds as none",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             auto plain = std::make_shared<TTexture>();
             r.SetTexture(plain);
             EXPECT_EQ(r.GetTexture(), plain);
             EXPECT_EQ(plain.use_count(), 2);  // and the renderer's
             r.SetTexture(SimpleTexture());
             EXPECT_EQ(r.GetTexture(), nullptr);
             EXPECT_EQ(plain.use_count(), 1);
             EXPECT_EQ(sink.mBoundTextures, (std::vector<const TTexture*>{plain.get(), nullptr}));
         },
         {}},
        {"a texture handed over is bound once and kept like one passed by reference",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             auto plain = std::make_shared<TTexture>();
             r.SetTexture(std::shared_ptr<TTexture>(plain));
             EXPECT_EQ(plain.use_count(), 2);                 // and the renderer's
             r.SetTexture(std::shared_ptr<TTexture>(plain));  // the same again
             EXPECT_EQ(plain.use_count(), 2);
             r.SetTexture(std::shared_ptr<TTexture>());
             EXPECT_EQ(plain.use_count(), 1);
             EXPECT_EQ(sink.mBoundTextures,
                       (std::vector<const TTexture*>{plain.get(), plain.get(), nullptr}));
         },
         {}},
        {"cull modes other than 1 to 3 mean none",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             for (int32_t mode : {0, 1, 2, 3, 4, -1})
                 r.SetCullMode(mode);
             EXPECT_EQ(sink.mCullModes, (std::vector<int32_t>{1, 1, 2, 3, 1, 1}));
         },
         {}},
        {"the saved clip rectangles are the display's, apart from the stack",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             sink.mClipRect = TRect{0, 0, 800, 600};
             r.PushViewport(TRect{0, 0, 800, 600});
             r.SetViewport(TRect{5, 5, 50, 50});
             EXPECT_EQ(r.GetViewport(), (TRect{5, 5, 50, 50}));
             EXPECT_EQ(r.GetViewportCount(), 1u);
             EXPECT_EQ(r.PopState(), 0);
             EXPECT_EQ(r.GetViewport(), (TRect{0, 0, 800, 600}));
             EXPECT_LT(r.PopState(), 0);  // nothing saved: refused, clip kept
             EXPECT_EQ(r.GetViewport(), (TRect{0, 0, 800, 600}));
         },
         {}},
        {"options, filtering and blend modes go to the display as given",
         [](TRenderer& r, TRecordingRenderSink& sink) {
             r.SetOption("new_subtractive", "1");
             r.SetFiltering(false);
             r.SetBlendMode(7);
             ASSERT_EQ(sink.mOptions.size(), 1u);
             EXPECT_EQ(sink.mOptions[0].key, str("new_subtractive"));
             EXPECT_EQ(sink.mOptions[0].value, str("1"));
             EXPECT_EQ(sink.mFiltering, std::vector<bool>{false});
             EXPECT_EQ(sink.mBlendModes, std::vector<int32_t>{7});
             r.DrawTexturedQuad(0);  // accepted, nothing done
         },
         {}},
        {"ToggleStats answers true when the overlay is now hidden",
         [](TRenderer& r, TRecordingRenderSink&) {
             EXPECT_FALSE(r.IsStatsVisible());
             EXPECT_FALSE(r.ToggleStats());
             EXPECT_TRUE(r.IsStatsVisible());
             EXPECT_TRUE(r.ToggleStats());
             EXPECT_FALSE(r.IsStatsVisible());
         },
         {}},
    };
    return cases;
}

TEST(RendererPhasesTest, EdgeCases) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        testing_support::LogCapture log;
        TRecordingRenderSink sink;
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->SetSink(&sink);
        c.run(*renderer, sink);
        EXPECT_EQ(log.Messages(), c.log);
        TRenderer::DestroyInstance();
    }
}

}  // namespace
