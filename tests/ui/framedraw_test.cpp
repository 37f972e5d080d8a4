// The window manager's frames: pacing, the frames it skips and why, the passes of DrawModals,
// the overlay texture's path and the highlight frame, on the recording sink.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "managerfixture.h"
#include "platform/texture/texture.h"
#include "port/control.h"
#include "port/display/ddraw.h"
#include "ui/modalwindow.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FrameDrawTest : public ManagerTest {
protected:
    // Draws the frame that set-up asked for, so that each test starts clean at a known time.
    void SetUp() override {
        ManagerTest::SetUp();
        IdleAfterInterval();
        ASSERT_EQ(mSink.frames, 1);
        mJournal.clear();
        mSink.frames = 0;
    }
    // Sets the application clock's time.
    void SetNow(uint32_t now) { port::control::SetTime(mApp->GetPlatform()->GetStartTime() + now); }
    // A change, then an idle turn after the milliseconds: whether a frame was drawn.
    bool ChangeThenIdleAfter(uint32_t milliseconds) {
        int before = mSink.frames;
        mManager->MarkDirty();
        Advance(milliseconds);
        Idle();
        return mSink.frames > before;
    }
};

TEST_F(FrameDrawTest, TwoIdleTurnsFiveMillisecondsApartDrawOneFrame) {
    EXPECT_TRUE(ChangeThenIdleAfter(TWindowManager::kFrameInterval));
    EXPECT_FALSE(mManager->IsRedrawNeeded());
    // Changed again: 5 ms later it waits for the interval since the last frame; 12 ms after
    // the last frame it draws.
    EXPECT_FALSE(ChangeThenIdleAfter(5));
    EXPECT_TRUE(mManager->IsRedrawNeeded());
    EXPECT_TRUE(ChangeThenIdleAfter(7));
    EXPECT_EQ(mSink.frames, 2);
}

TEST_F(FrameDrawTest, Pacing) {
    struct Step {
        uint32_t after;
        bool drawn;
    };
    struct Case {
        const char* name;
        std::function<void(TPlatform*)> arrange;
        std::vector<Step> steps;
    } cases[] = {
        {"in the foreground", [](TPlatform*) {}, {{11, false}, {1, true}, {12, true}}},
        {"in the background",
         [](TPlatform*) { port::control::InjectFocus(nullptr); },
         {{12, false}, {187, false}, {1, true}, {199, false}, {1, true}}},
        {"in the background, embedded",
         [](TPlatform* app) {
             port::control::InjectFocus(nullptr);
             app->GetPlatform()->SetEmbedded(true);
         },
         {{11, false}, {1, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange(mApp.get());
        EXPECT_TRUE(ChangeThenIdleAfter(1000));
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.after);
            EXPECT_EQ(ChangeThenIdleAfter(step.after), step.drawn);
        }
    }
}

TEST_F(FrameDrawTest, PacingGoesOnAcrossTheClocksWrap) {
    SetNow(0xFFFFFFF0u);
    ASSERT_TRUE(ChangeThenIdleAfter(0));
    EXPECT_FALSE(ChangeThenIdleAfter(2));
    EXPECT_FALSE(ChangeThenIdleAfter(9));
    EXPECT_TRUE(ChangeThenIdleAfter(1));
    ASSERT_EQ(Now(), 0xFFFFFFFCu);
    // The next one is due at 8, past the wrap: 2 ms on is still too early, and so is the
    // wrapped clock's 3.
    EXPECT_FALSE(ChangeThenIdleAfter(2));
    EXPECT_FALSE(ChangeThenIdleAfter(5));
    EXPECT_EQ(Now(), 3u);
    EXPECT_TRUE(ChangeThenIdleAfter(5));
    EXPECT_FALSE(ChangeThenIdleAfter(11));
    EXPECT_TRUE(ChangeThenIdleAfter(1));
}

class HostedFrameDrawTest : public FrameDrawTest {
protected:
    TWin32Platform* MakePlatform() override { return TWin32Platform::Create("-pq=1"); }
};

TEST_F(HostedFrameDrawTest, HostedTheBackgroundKeepsTheFullRate) {
    port::control::InjectFocus(nullptr);
    ASSERT_FALSE(mApp->IsActive());
    EXPECT_TRUE(ChangeThenIdleAfter(1000));
    EXPECT_FALSE(ChangeThenIdleAfter(11));
    EXPECT_TRUE(ChangeThenIdleAfter(1));
}

TEST_F(FrameDrawTest, SkippedFramesLeaveTheManagerDirty) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> undo;
        // A failed BeginDraw has begun (and ended) a frame on the sink.
        int framesBegun;
    } cases[] = {
        {"drawing suspended", [this] { mManager->SetDrawingSuspended(true); },
         [this] { mManager->SetDrawingSuspended(false); }, 0},
        {"display unusable",
         [] { port::control::InjectFailure("TestCooperativeLevel", DDERR_NOEXCLUSIVEMODE, -1); },
         [] { port::control::ClearFailures(); }, 0},
        {"BeginDraw failing", [this] { mSink.mFramesSucceed = false; },
         [this] { mSink.mFramesSucceed = true; }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        mSink.frames = 0;
        mJournal.clear();
        ChangeThenIdleAfter(100);
        EXPECT_EQ(mSink.frames, c.framesBegun);
        EXPECT_THAT(Entries(".draw"), IsEmpty());
        EXPECT_TRUE(mManager->IsRedrawNeeded());
        c.undo();
        // The next opportunity draws it.
        Advance(TWindowManager::kFrameInterval);
        Idle();
        EXPECT_FALSE(mManager->IsRedrawNeeded());
    }
}

TEST_F(FrameDrawTest, EveryFrameClearsThePassOneMarkOnTheWholeTree) {
    TTestModal* modal = Push("modal");
    TTestWindow* panel = Add(modal, {0, 0, 10, 10}, "panel");
    TTestWindow* button = Add(panel, {0, 0, 5, 5}, "button");
    mJournal.clear();
    const uint32_t mark = TWindow::kDrawnInPass1;
    for (TWindow* window : std::initializer_list<TWindow*>{mScreen, modal, panel, button})
        window->SetFlags(window->GetFlags() | mark);
    IdleAfterInterval();
    for (TWindow* window : std::initializer_list<TWindow*>{mScreen, modal, panel, button})
        EXPECT_EQ(window->GetFlags() & mark, 0u) << window->GetName().c_str();
    EXPECT_THAT(mJournal, ElementsAre("frame", "modal.draw", "panel.draw", "button.draw",
                                      "button.postdraw", "panel.postdraw", "end1"));
}

TEST_F(FrameDrawTest, TheWalkBeforeEveryFrameHasEachWindowReportItsCover) {
    // A dialog smaller than the screen, with an opaque window of its size inside a panel: sized
    // last, the window was compared with the screen and covers nothing.
    TTestModal* dialog = Push("dialog", {0, 0, 320, 240});
    TTestWindow* panel = Add(dialog, {0, 0, 320, 240}, "panel");
    TTestWindow* cover = Add(panel, {0, 0, 10, 10}, "cover");
    cover->SetFlags(cover->GetFlags() | TWindow::kOpaque);
    cover->SetSize(320, 240);
    ASSERT_FALSE(dialog->IsCoveredBy(cover));
    ASSERT_EQ(dialog->GetFlags() & TWindow::kOpaque, 0u);
    // The frame's walk sets every window's flags again, compared with its dialog.
    IdleAfterInterval();
    EXPECT_TRUE(dialog->IsCoveredBy(cover));
    EXPECT_NE(dialog->GetFlags() & TWindow::kOpaque, 0u);
}

class DrawModalsTest : public FrameDrawTest {
protected:
    void SetUp() override {
        FrameDrawTest::SetUp();
        mLower = Push("lower");
        mUpper = Push("upper");
        mJournal.clear();
        mSink.mFills.clear();
    }
    // The screen draws in pass 1 only under a parent that carries the pass-1 mark; the screen
    // has none, so the tests give it one while they look at pass 1.
    void GiveTheScreenAMarkedParent() {
        mMarked.SetFlags(mMarked.GetFlags() | TWindow::kDrawnInPass1);
        mScreen->SetParent(&mMarked);
        mLower->SetAllFlags(mLower->GetFlags() | TWindow::kDrawInPass1);
        mUpper->SetAllFlags(mUpper->GetFlags() | TWindow::kDrawInPass1);
    }
    void TearDown() override {
        mScreen->SetParent(nullptr);
        FrameDrawTest::TearDown();
    }

    TTestModal* mLower = nullptr;
    TTestModal* mUpper = nullptr;
    TWindow mMarked;
};

TEST_F(DrawModalsTest, AnOpaqueModalOfTheScreensSizeHidesTheModalsBelow) {
    mManager->DrawModals(0);
    EXPECT_THAT(mJournal, ElementsAre("lower.draw", "upper.draw"));
    EXPECT_THAT(mSink.mFills, IsEmpty()) << "the screen below draws, but clears only on top";

    mJournal.clear();
    mUpper->SetFlags(mUpper->GetFlags() | TWindow::kOpaque);
    mManager->DrawModals(0);
    EXPECT_THAT(mJournal, ElementsAre("upper.draw"));

    // The lower one covering the screen: from there up.
    mJournal.clear();
    mUpper->SetFlags(mUpper->GetFlags() & ~uint32_t{TWindow::kOpaque});
    mLower->SetFlags(mLower->GetFlags() | TWindow::kOpaque);
    mManager->DrawModals(0);
    EXPECT_THAT(mJournal, ElementsAre("lower.draw", "upper.draw"));

    // Opaque, but smaller than the screen: no cover.
    mJournal.clear();
    mLower->SetFlags(mLower->GetFlags() & ~uint32_t{TWindow::kOpaque});
    mUpper->SetRect({0, 0, 320, 240});
    mUpper->SetFlags(mUpper->GetFlags() | TWindow::kOpaque);
    mManager->DrawModals(0);
    EXPECT_THAT(mJournal, ElementsAre("lower.draw", "upper.draw"));
}

TEST_F(DrawModalsTest, ThePasses) {
    GiveTheScreenAMarkedParent();
    // Pass 1 stops below the top.
    mManager->DrawModals(1);
    EXPECT_THAT(mJournal, ElementsAre("lower.draw"));
    EXPECT_NE(mLower->GetFlags() & TWindow::kDrawnInPass1, 0u);

    // Pass 2, or top-modal-only, draws the top alone.
    mJournal.clear();
    mManager->DrawModals(2);
    EXPECT_THAT(mJournal, ElementsAre("upper.draw"));
    mJournal.clear();
    mManager->SetTopModalOnly(true);
    mManager->DrawModals(0);
    EXPECT_THAT(mJournal, ElementsAre("upper.draw"));

    // While popped, nothing; a frame update clears it.
    mManager->SetTopModalOnly(false);
    mManager->PopModal();
    mJournal.clear();
    mManager->DrawModals(0);
    EXPECT_THAT(mJournal, IsEmpty());
    mManager->Update();
    EXPECT_FALSE(mManager->IsPopped());
}

// Pops its dialog while it is drawn.
class TPoppingModal : public TTestModal {
public:
    using TTestModal::TTestModal;
    void Draw() override {
        TTestModal::Draw();
        TWindowManager::Get()->PopModal();
    }
};

TEST_F(DrawModalsTest, TheWalkStopsWhenAModalIsPopped) {
    auto* popping = new TPoppingModal("popping", &mJournal);
    mLower->RemoveChild(mUpper);
    mManager->PopModal();
    mManager->DeleteQueued();
    ASSERT_TRUE(mManager->PushModal(popping));
    Push("top");
    mJournal.clear();
    mManager->Update();  // clears popped
    mManager->DrawModals(0);
    EXPECT_THAT(Entries(".draw"), ElementsAre("lower.draw", "popping.draw"));
}

TEST_F(DrawModalsTest, TheOverlayTexturesPath) {
    GiveTheScreenAMarkedParent();
    TTestWindow* backdrop = Add(mScreen, {0, 0, 640, 480}, "backdrop");
    backdrop->SetAllFlags(backdrop->GetFlags() | TWindow::kDrawInPass1);
    auto* overlay = new TTestWindow("overlay", &mJournal);
    overlay->SetRect({0, 0, 100, 20});
    mManager->AddOverlayWindow(overlay);
    std::shared_ptr<TTexture> texture = TTexture::Create(64, 64, true);
    ASSERT_NE(texture, nullptr);
    mManager->SetOverlay(texture);
    mJournal.clear();

    IdleAfterInterval();
    EXPECT_THAT(mJournal, ElementsAre("target", "backdrop.draw", "backdrop.postdraw", "lower.draw",
                                      "endtarget", "frame", "backdrop.draw", "backdrop.postdraw",
                                      "upper.draw", "overlay.draw", "overlay.postdraw", "end1"));
    ASSERT_EQ(mSink.mRenderTargets.size(), 1u);
    EXPECT_EQ(mSink.mRenderTargets[0].texture, texture.get());

    // A render target refused: the frame goes on without pass 1.
    mJournal.clear();
    mSink.mRenderTargetsSucceed = false;
    mManager->MarkDirty();
    IdleAfterInterval();
    EXPECT_THAT(mJournal, ElementsAre("target", "frame", "backdrop.draw", "backdrop.postdraw",
                                      "upper.draw", "overlay.draw", "overlay.postdraw", "end1"));
}

TEST_F(FrameDrawTest, OverlayWindowsAreDrawnAfterTheModals) {
    auto* overlay = new TTestWindow("overlay", &mJournal);
    overlay->SetRect({0, 0, 100, 20});
    mManager->AddOverlayWindow(overlay);
    Push("dialog");
    mJournal.clear();
    IdleAfterInterval();
    EXPECT_THAT(mJournal,
                ElementsAre("frame", "dialog.draw", "overlay.draw", "overlay.postdraw", "end1"));
}

TEST_F(FrameDrawTest, TheHighlightFramesTheWindowUnderThePointer) {
    TTestModal* modal = Push("modal");
    TTestWindow* panel = Add(modal, {100, 100, 300, 200}, "panel");
    mManager->SetHighlight(true);
    Send(Event(kEventMouseMove, 150, 150));
    ASSERT_EQ(mManager->GetWindowUnderPointer(), panel);
    ASSERT_TRUE(mManager->IsRedrawNeeded());
    mSink.mFills.clear();
    mSink.mViewports.clear();
    size_t viewports = TRenderer::GetInstance()->GetViewportCount();
    IdleAfterInterval();

    const TVec4 yellow{1.0f, 1.0f, 0.0f, 1.0f};
    const TRect edges[] = {
        {100, 100, 300, 102}, {298, 100, 300, 200}, {100, 198, 300, 200}, {100, 100, 102, 200}};
    ASSERT_EQ(mSink.mFills.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(mSink.mFills[i].rect, edges[i]) << i;
        EXPECT_EQ(mSink.mFills[i].colour.x, yellow.x);
        EXPECT_EQ(mSink.mFills[i].colour.y, yellow.y);
        EXPECT_EQ(mSink.mFills[i].colour.z, yellow.z);
        EXPECT_EQ(mSink.mFills[i].colour.w, yellow.w);
        EXPECT_EQ(mSink.mFills[i].texture, nullptr);
    }
    // Drawn with the screen as viewport and display state, both given back.
    EXPECT_EQ(mSink.mViewports.back(), (TRect{0, 0, 640, 480}));
    EXPECT_THAT(mSink.mSavedStates, IsEmpty());
    EXPECT_EQ(TRenderer::GetInstance()->GetViewportCount(), viewports);

    // Without a window under the pointer, no frame.
    mManager->SetWindowUnderPointer(nullptr);
    mManager->MarkDirty();
    mSink.mFills.clear();
    IdleAfterInterval();
    EXPECT_THAT(mSink.mFills, IsEmpty());
}

}  // namespace
}  // namespace uitest
