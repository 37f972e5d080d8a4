// TScreen: its identity, when it clears, the overlay texture's copy, and frames of the whole
// manager through the real renderer and display of the headless backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "filledwindow.h"
#include "managerfixture.h"
#include "platform/display/displayrecord.h"
#include "platform/display/displaysink.h"
#include "platform/platformdata.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "port/display/control.h"

namespace uitest {
namespace {

using ::testing::IsEmpty;

TEST(ScreenTest, IdentityAndFlags) {
    TWindowManager manager;
    auto* screen = new TScreen;
    EXPECT_EQ(screen->GetName(), str("_screen_"));
    EXPECT_STREQ(screen->GetClassName(), "TScreen");
    EXPECT_TRUE(screen->IsKindOf(TScreen::TypeId()));
    EXPECT_TRUE(screen->IsKindOf(TModalWindow::TypeId()));
    EXPECT_TRUE(screen->IsKindOf(TWindow::TypeId()));
    EXPECT_EQ(TWindow::CallCreator(TScreen::TypeId()), nullptr);
    EXPECT_EQ(screen->GetFlags(), 0x907u);
    EXPECT_FALSE(screen->IsAlwaysClear());
    EXPECT_FALSE(screen->IsNoClear());
    EXPECT_EQ(screen->GetClearColor().w, 0.0f);

    EXPECT_TRUE(manager.SetScreen(screen));
    // Its opaque flag follows its cover set like any modal's: a child that does not cover it
    // clears it.
    auto* child = MakeWindow(screen, {0, 0, 10, 10}, "child");
    child->SetFlags(child->GetFlags());
    EXPECT_EQ(screen->GetFlags() & TWindow::kOpaque, 0u);
}

class ScreenDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->SetSink(&mSink);
        renderer->PushViewport({0, 0, 640, 480});
        mScreen = new TScreen;
        mManager.SetScreen(mScreen);
        mScreen->SetSize(640, 480);
        mScreen->SetClearColor({0.25f, 0.5f, 0.75f, 1.0f});
    }
    void TearDown() override { TRenderer::GetInstance()->SetSink(nullptr); }

    TRecordingRenderSink mSink;
    TWindowManager mManager;
    TScreen* mScreen = nullptr;
};

TEST_F(ScreenDrawTest, ItClearsOnTopOrWithAlwaysClearButNeverWithNoClear) {
    struct Case {
        bool onTop;
        bool alwaysClear;
        bool noClear;
        bool clears;
    } cases[] = {
        {true, false, false, true}, {false, false, false, false}, {false, true, false, true},
        {true, false, true, false}, {false, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "on top " << c.onTop << ", always-clear "
                                        << c.alwaysClear << ", no-clear " << c.noClear);
        if (!c.onTop) mManager.PushModal(new TModalWindow);
        mScreen->SetAlwaysClear(c.alwaysClear);
        mScreen->SetNoClear(c.noClear);
        mSink.mFills.clear();
        ASSERT_TRUE(mScreen->DrawTree(0));
        if (c.clears) {
            ASSERT_EQ(mSink.mFills.size(), 1u);
            EXPECT_EQ(mSink.mFills[0].rect, (TRect{0, 0, 640, 480}));
            EXPECT_EQ(mSink.mFills[0].colour.x, 0.25f);
            EXPECT_EQ(mSink.mFills[0].colour.w, 1.0f);
            EXPECT_EQ(mSink.mFills[0].texture, nullptr);
        } else {
            EXPECT_THAT(mSink.mFills, IsEmpty());
        }
        mManager.PopModal();
        mManager.DeleteQueued();
    }
}

// Outside a frame. Inside one, where the window manager draws the screen, the texture refuses
// every copy, and the clear is still made.
TEST_F(ScreenDrawTest, TheOverlayTextureIsCopiedToTheTopLeftOutsideAFrame) {
    auto overlay = std::make_shared<TTexture>();
    auto* data = dynamic_cast<TMemoryTextureData*>(overlay->GetData());
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->CreateSurface(32, 16, true));
    mManager.SetOverlay(overlay);
    mScreen->Draw();
    ASSERT_EQ(data->GetCopies().size(), 1u);
    const TMemoryTextureData::Copy& copy = data->GetCopies()[0];
    EXPECT_EQ(copy.x, 0);
    EXPECT_EQ(copy.y, 0);
    EXPECT_TRUE(copy.wholeImage);
    EXPECT_EQ(copy.target, nullptr);
    // After the clear.
    EXPECT_EQ(mSink.mFills.size(), 1u);

    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_TRUE(renderer->BeginDraw(false));
    mScreen->Draw();
    renderer->EndDraw(0);
    EXPECT_EQ(data->GetCopies().size(), 1u);
    EXPECT_EQ(mSink.mFills.size(), 2u);
}

// The manager drawing through the display of the headless backend.
class ScreenFrameTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        TRenderer::GetInstance()->SetSink(GetDisplayRenderSink());
    }
    uint32_t Pixel(int x, int y) {
        TDisplayRecord* record = mApp->GetPlatform()->GetPlatformData()->GetRecord();
        port::control::Image image = port::control::SurfaceImage(record->mBackBuffer);
        return image.Empty() ? 0 : image.At(x, y);
    }
};

TEST_F(ScreenFrameTest, AModalCoveringTheScreenLeavesTheModalBelowUndrawn) {
    constexpr uint32_t kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;
    mScreen->SetClearColor({0.0f, 0.0f, 1.0f, 1.0f});
    mManager->MarkDirty();
    IdleAfterInterval();
    ASSERT_FALSE(mManager->IsRedrawNeeded());
    EXPECT_EQ(Pixel(5, 5), kBlue);

    TTestModal* lower = Push("lower");
    MakeWindow<TFilledWindow>(lower, {50, 50, 150, 150}, "red", TVec4{1, 0, 0, 1});
    TTestModal* upper = Push("upper");
    MakeWindow<TFilledWindow>(upper, {200, 200, 300, 300}, "green", TVec4{0, 1, 0, 1});
    // An opaque child as large as the dialog makes the dialog opaque.
    TTestWindow* cover = Add(upper, {0, 0, 640, 480}, "cover");
    cover->SetFlags(cover->GetFlags() | TWindow::kOpaque);
    ASSERT_NE(upper->GetFlags() & TWindow::kOpaque, 0u);
    IdleAfterInterval();
    EXPECT_EQ(Pixel(250, 250), kGreen);
    EXPECT_EQ(Pixel(100, 100), kBlue) << "the covered modal is not drawn";

    // Not covering any more: the lower modal shows.
    cover->SetFlags(cover->GetFlags() & ~uint32_t{TWindow::kOpaque});
    ASSERT_EQ(upper->GetFlags() & TWindow::kOpaque, 0u);
    mManager->MarkDirty();
    IdleAfterInterval();
    EXPECT_EQ(Pixel(100, 100), kRed);
    EXPECT_EQ(Pixel(250, 250), kGreen);
}

// A frame with an overlay texture: the modals below the top are drawn into it first (which takes
// in what the back buffer held there), then the screen draws inside the frame, where the copy of
// the texture is refused: what shows is the screen's clear, not the texture's picture.
TEST_F(ScreenFrameTest, TheOverlayTexturesPictureIsNotCopiedInsideTheFrame) {
    constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
    mScreen->SetClearColor({1.0f, 0.0f, 0.0f, 1.0f});
    mManager->MarkDirty();
    IdleAfterInterval();
    ASSERT_EQ(Pixel(5, 5), kRed);

    std::shared_ptr<TTexture> overlay = TTexture::Create(64, 64, true);
    ASSERT_NE(overlay, nullptr);
    mManager->SetOverlay(overlay);
    mScreen->SetClearColor({0.0f, 0.0f, 1.0f, 1.0f});
    mManager->MarkDirty();
    IdleAfterInterval();
    ASSERT_FALSE(mManager->IsRedrawNeeded());
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(overlay->Lock(&pixels, &pitch));
    const uint32_t taken = pixels[5 * pitch + 5];
    overlay->Unlock();
    EXPECT_EQ(taken, kRed) << "the render target took in the back buffer";
    EXPECT_EQ(Pixel(5, 5), kBlue);

    // Outside a frame the same texture copies.
    overlay->CopyRectTo(0, 0, nullptr, nullptr);
    EXPECT_EQ(Pixel(5, 5), kRed);
}

}  // namespace
}  // namespace uitest
