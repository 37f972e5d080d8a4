#include <gtest/gtest.h>

#include <memory>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/texture/texture.h"

namespace {

class RendererFillTest : public ::testing::Test {
protected:
    void SetUp() override { TRenderer::GetInstance()->SetSink(&mSink); }
    void TearDown() override { TRenderer::DestroyInstance(); }

    TRecordingRenderSink mSink;
};

// Without a texture the rectangle is in viewport coordinates, moved by the display's viewport
// (the window's screen rectangle, which the window tree sets) and cut to it; with one it is the
// texture's own, passed unchanged.
TEST_F(RendererFillTest, RectangleIsPlacedInTheViewportUnlessATextureIsFilled) {
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PushViewport(TRect{0, 0, 800, 600});
    renderer->SetViewport(TRect{0, 0, 800, 600});
    renderer->SetViewport(TRect{100, 100, 120, 200});
    renderer->PushViewport(TRect{100, 100, 120, 200});
    const TVec4 red{1.0f, 0.0f, 0.0f, 1.0f};
    renderer->FillRect(TRect{10, 10, 50, 50}, red, nullptr);
    std::shared_ptr<TTexture> texture = std::make_shared<TTexture>();
    renderer->FillRect(TRect{10, 10, 50, 50}, red, texture);
    renderer->PopState();
    renderer->PopViewport();
    renderer->FillRect(TRect{-5, 590, 30, 700}, red, nullptr);

    ASSERT_EQ(mSink.mFills.size(), 3u);
    EXPECT_EQ(mSink.mFills[0].rect, (TRect{110, 110, 120, 150}));
    EXPECT_EQ(mSink.mFills[0].texture, nullptr);
    EXPECT_EQ(mSink.mFills[0].colour.x, 1.0f);
    EXPECT_EQ(mSink.mFills[1].rect, (TRect{10, 10, 50, 50}));
    EXPECT_EQ(mSink.mFills[1].texture, texture.get());
    EXPECT_EQ(mSink.mFills[2].rect, (TRect{0, 590, 30, 600}));
}

// A window its parent cuts on the left and top: the top of the viewport stack is the part shown,
// but the window's drawing still counts from its own corner.
TEST_F(RendererFillTest, AWindowCutOnTheLeftAndTopFillsFromItsOwnCorner) {
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PushViewport(TRect{0, 0, 800, 600});
    renderer->SetViewport(TRect{-20, -10, 80, 90});
    renderer->PushViewport(TRect{0, 0, 80, 90});
    renderer->FillRect(TRect{0, 0, 30, 20}, TVec4{1.0f, 0.0f, 0.0f, 1.0f}, nullptr);
    renderer->FillRect(TRect{90, 0, 120, 20}, TVec4{1.0f, 0.0f, 0.0f, 1.0f}, nullptr);

    ASSERT_EQ(mSink.mFills.size(), 2u);
    EXPECT_EQ(mSink.mFills[0].rect, (TRect{-20, -10, 10, 10}));
    EXPECT_EQ(mSink.mFills[1].rect, (TRect{70, -10, 80, 10}));
}

}  // namespace
