// The renderer's frame rate on the fake clock and its statistics overlay through the recording
// sink and the recording text layouts. The application object is there for its fonts: the
// overlay lays its text out in the built-in font.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/platform.h"
#include "platform/text/textlayout.h"
#include "platform/text/textlayoutrecorder.h"
#include "port/control.h"
#include "support/logcapture.h"

namespace {

class RendererStatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000);
        mApp = std::make_unique<TPlatform>();
        mLog.Clear();  // the application's version line
        TRenderer::GetInstance()->SetSink(&mSink);
        // The viewports of the screen set-up: the stack's and the display's.
        TRenderer::GetInstance()->PushViewport(TRect{0, 0, 800, 600});
        TRenderer::GetInstance()->SetViewport(TRect{0, 0, 800, 600});
    }
    void TearDown() override {
        TRenderer::DestroyInstance();
        mApp.reset();
    }

    // One frame that ends step milliseconds after the last.
    void Frame(uint32_t step) {
        port::control::AdvanceTime(step);
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->BeginDraw(false);
        renderer->EndDraw(1);
    }

    testing_support::LogCapture mLog;
    std::unique_ptr<TPlatform> mApp;
    TRecordingRenderSink mSink;
};

TEST_F(RendererStatsTest, TheRateChangesEveryFifteenthFrame) {
    TRenderer* renderer = TRenderer::GetInstance();
    for (int i = 0; i < 14; ++i) {
        Frame(10);
        EXPECT_EQ(renderer->GetFps(), 0.0f) << i;
    }
    Frame(10);  // the 15th: 15 stamps 140 ms apart end to end
    EXPECT_NEAR(renderer->GetFps(), 107.1f, 0.05f);
    EXPECT_EQ(renderer->GetFps(), static_cast<float>(15000.0 / 140.0));
    for (int i = 0; i < 14; ++i) {
        Frame(20);
        EXPECT_EQ(renderer->GetFps(), static_cast<float>(15000.0 / 140.0)) << i;
    }
    Frame(20);
    EXPECT_EQ(renderer->GetFps(), static_cast<float>(15000.0 / 280.0));
}

TEST_F(RendererStatsTest, TheRateSurvivesTheClockWrapping) {
    port::control::SetTime(0xFFFFFFFFu - 50);
    for (int i = 0; i < 15; ++i)
        Frame(10);
    EXPECT_EQ(TRenderer::GetInstance()->GetFps(), static_cast<float>(15000.0 / 140.0));
}

// Fifteen frames within one millisecond: the division by zero shows as infinity.
TEST_F(RendererStatsTest, FramesWithinOneMillisecondGiveInfinity) {
    for (int i = 0; i < 15; ++i)
        Frame(0);
    EXPECT_TRUE(std::isinf(TRenderer::GetInstance()->GetFps()));
}

TEST_F(RendererStatsTest, TheOverlayShowsTheSettingsInItsOwnTwoDPhase) {
    TRecordingTextLayouts layouts;
    TPlatform::SetConfig("max_texture_ram_allocated", "10485760");
    TPlatform::SetConfig("texture_ram_allocated", "2047");
    TPlatform::SetConfig("current_sprite_count", "42");
    TRenderer* renderer = TRenderer::GetInstance();
    for (int i = 0; i < 15; ++i)
        Frame(10);
    EXPECT_TRUE(layouts.mCreated.empty());  // nothing while hidden
    EXPECT_TRUE(mSink.mFills.empty());

    ASSERT_FALSE(renderer->ToggleStats());
    Frame(10);

    ASSERT_EQ(layouts.mCreated.size(), 1u);
    const TTextLayout* layout = layouts.mCreated[0];
    EXPECT_EQ(layout->GetWidth(), 512);
    EXPECT_EQ(layout->GetHeight(), 512);
    EXPECT_EQ(layout->GetFlags(), 0u);
    EXPECT_EQ(layout->GetFontName(), str("__DEFAULT"));
    EXPECT_EQ(layout->GetFontSize(), 16);
    const float* colour = layout->GetColor();
    EXPECT_EQ((std::vector<float>{colour[0], colour[1], colour[2], colour[3]}),
              (std::vector<float>{1, 0, 0, 1}));
    const std::string text =
        "Corvane Version 4.0.18.1<br>107.142860 FPS<tab pos='150'>Sprites: 42<br>Mem: 0kB<tab "
        "pos='150'>TexMem: 1kB<br>MaxMem: 0kB<tab pos='150'>MaxTexMem: 10240kB<br>";
    EXPECT_EQ(std::string(layout->GetText().c_str()), text);
    EXPECT_EQ(layout->GetLineCount(), 4);

    // Its own 2-D phase around the dark box and the text.
    EXPECT_EQ(mSink.mBegin2dCount, 1);
    EXPECT_EQ(mSink.mEnd2dCount, 1);
    ASSERT_EQ(mSink.mFills.size(), 1u);
    EXPECT_EQ(mSink.mFills[0].rect, (TRect{0, 0, 300, 64}));
    EXPECT_EQ(mSink.mFills[0].colour.x + mSink.mFills[0].colour.y + mSink.mFills[0].colour.z +
                  mSink.mFills[0].colour.w,
              0.0f);
    EXPECT_EQ(mSink.mFills[0].texture, nullptr);
    ASSERT_EQ(layouts.mDraws.size(), 1u);
    EXPECT_EQ(layouts.mDraws[0].layout, layout);
    EXPECT_EQ(layouts.mDraws[0].box, (TRect{0, 0, 512, 512}));
    EXPECT_EQ(layouts.mDraws[0].scale, 1.0f);
    EXPECT_EQ(layouts.mDraws[0].flags, 0u);
    EXPECT_EQ(layouts.mDraws[0].opacity, 1.0f);
    EXPECT_EQ(layouts.mDraws[0].texture, nullptr);
    EXPECT_FALSE(renderer->IsIn2d());

    // The next frame keeps the layout; its text is set again only when it changed.
    Frame(10);
    EXPECT_EQ(layouts.mCreated.size(), 1u);
    EXPECT_EQ(layouts.mTexts.size(), 1u);
    TPlatform::SetConfig("current_sprite_count", "43");
    Frame(10);
    ASSERT_EQ(layouts.mTexts.size(), 2u);
    EXPECT_NE(std::string(layouts.mTexts[1].text.c_str()).find("Sprites: 43"), std::string::npos);
    EXPECT_EQ(layouts.mDraws.size(), 3u);

    // The layout goes with the renderer.
    TRenderer::DestroyInstance();
    EXPECT_EQ(layouts.DeleteCount(layout), 1);
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(RendererStatsTest, InsideTheCallersTwoDPhaseTheOverlayLeavesItOpen) {
    TRecordingTextLayouts layouts;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->ToggleStats();
    ASSERT_TRUE(renderer->BeginDraw(false));
    ASSERT_TRUE(renderer->Begin2d());
    renderer->EndDraw(1);
    EXPECT_EQ(layouts.mDraws.size(), 1u);
    EXPECT_EQ(mSink.mFills.size(), 1u);
    EXPECT_EQ(mSink.mBegin2dCount, 1);  // the caller's only
    EXPECT_EQ(mSink.mEnd2dCount, 0);
    EXPECT_TRUE(renderer->IsIn2d());
    EXPECT_EQ(mLog.Messages(),
              std::vector<std::string>{"Begin2d called when already in Begin2d state"});
}

// Memory settings in bytes show in kB, truncated toward zero; absent ones show 0.
TEST_F(RendererStatsTest, MemoryIsShownInWholeKilobytes) {
    TRecordingTextLayouts layouts;
    struct Case {
        const char* bytes;
        const char* shown;
    } cases[] = {{nullptr, "TexMem: 0kB"},
                 {"1023", "TexMem: 0kB"},
                 {"1024", "TexMem: 1kB"},
                 {"-1500", "TexMem: -1kB"}};
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->ToggleStats();
    for (const Case& c : cases) {
        if (c.bytes != nullptr) TPlatform::SetConfig("texture_ram_allocated", c.bytes);
        Frame(10);
        std::string text = layouts.mCreated.empty() ? "" : layouts.mCreated[0]->GetText().c_str();
        EXPECT_NE(text.find(c.shown), std::string::npos) << text;
        EXPECT_NE(text.find("Sprites: 0<br>"), std::string::npos) << text;
    }
}

}  // namespace
