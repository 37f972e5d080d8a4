#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "testwindows.h"
#include "ui/window.h"
#include "ui/windowmanager.h"
#include "ui/windowspider.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using uitest::MakeWindow;
using uitest::TJournal;

// Notes, when it draws, the renderer's top viewport and the display's clip rectangle.
class TViewportWindow : public uitest::TTestWindow {
public:
    TViewportWindow(const str& name, TJournal* journal) : TTestWindow(name, journal) {}
    void Draw() override {
        TTestWindow::Draw();
        TRenderer* renderer = TRenderer::GetInstance();
        tops.push_back(renderer->GetTopViewport());
        clips.push_back(renderer->GetViewport());
    }
    std::vector<TRect> tops;
    std::vector<TRect> clips;
};

class WindowDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        mRenderer = TRenderer::GetInstance();
        mRenderer->SetSink(&mSink);
        mRenderer->PushViewport({0, 0, 640, 480});
        mRoot = MakeWindow<TViewportWindow>(nullptr, {0, 0, 640, 480}, "root", &mJournal);
    }
    void TearDown() override {
        delete mRoot;
        mRenderer->SetSink(nullptr);
    }
    TViewportWindow* Add(TWindow* parent, TRect rect, const char* name) {
        return MakeWindow<TViewportWindow>(parent, rect, name, &mJournal);
    }
    // The drawing left the renderer's stacks as it found them.
    void ExpectStacksBalanced() {
        EXPECT_EQ(mRenderer->GetViewportCount(), 1u);
        EXPECT_THAT(mSink.mSavedStates, IsEmpty());
    }

    TWindowManager mManager;
    TRecordingRenderSink mSink;
    TRenderer* mRenderer = nullptr;
    TJournal mJournal;
    TViewportWindow* mRoot = nullptr;
};

TEST_F(WindowDrawTest, ChildrenOldestFirstAndModalsSkipped) {
    Add(mRoot, {10, 10, 100, 100}, "old");
    auto* hidden = Add(mRoot, {10, 10, 100, 100}, "hidden");
    hidden->SetFlags(0);
    Add(hidden, {0, 0, 10, 10}, "underHidden");
    Add(mRoot, {0, 0, 640, 480}, "modal")->SetAllFlags(0x101);
    auto* young = Add(mRoot, {50, 50, 200, 200}, "young");
    Add(young, {5, 5, 20, 20}, "inner");

    EXPECT_TRUE(mRoot->DrawTree(0));
    EXPECT_THAT(mJournal,
                ElementsAre("root.draw", "old.draw", "old.postdraw", "young.draw", "inner.draw",
                            "inner.postdraw", "young.postdraw", "root.postdraw"));
    EXPECT_FALSE(hidden->DrawTree(0));
    ExpectStacksBalanced();
}

TEST_F(WindowDrawTest, EachWindowDrawsClippedInItsScreenRectangle) {
    auto* panel = Add(mRoot, {600, 400, 700, 500}, "panel");  // reaches past the root
    auto* inner = Add(panel, {10, 10, 30, 30}, "inner");
    ASSERT_TRUE(mRoot->DrawTree(0));
    EXPECT_THAT(panel->tops, ElementsAre(TRect{600, 400, 640, 480}));
    EXPECT_THAT(panel->clips, ElementsAre(TRect{600, 400, 700, 500}));
    EXPECT_THAT(inner->tops, ElementsAre(TRect{610, 410, 630, 430}));
    EXPECT_THAT(inner->clips, ElementsAre(TRect{610, 410, 630, 430}));
    // After the subtree the viewport stack is back, and the display has its state again.
    EXPECT_EQ(mSink.mViewports.back(), (TRect{0, 0, 640, 480}));
    EXPECT_EQ(mSink.mClipRect, TRect{});
    ExpectStacksBalanced();
}

TEST_F(WindowDrawTest, AnEmptyClipDrawsNothingBelowIt) {
    auto* outside = Add(mRoot, {700, 10, 800, 100}, "outside");
    Add(outside, {-200, 0, 50, 50}, "reachingBack");
    auto* flat = Add(mRoot, {10, 10, 10, 100}, "flat");
    EXPECT_TRUE(outside->DrawTree(0));
    EXPECT_TRUE(flat->DrawTree(0));
    EXPECT_THAT(mJournal, IsEmpty());

    // No viewport at all: nothing is drawn.
    mRenderer->SetSink(nullptr);
    TRenderer::DestroyInstance();
    mRenderer = TRenderer::GetInstance();
    mRenderer->SetSink(&mSink);
    EXPECT_TRUE(mRoot->DrawTree(0));
    EXPECT_THAT(mJournal, IsEmpty());
}

TEST_F(WindowDrawTest, TheStateIsSavedOnlyForARightEdgeOtherThanZero) {
    mRenderer->PopViewport();
    TRenderer::DestroyInstance();
    mRenderer = TRenderer::GetInstance();
    mRenderer->SetSink(&mSink);
    mRenderer->PushViewport({-100, 0, 640, 480});
    auto* left = Add(mRoot, {-50, 0, 0, 10}, "left");
    ASSERT_TRUE(left->DrawTree(0));
    EXPECT_THAT(left->tops, ElementsAre(TRect{-50, 0, 0, 10}));
    EXPECT_THAT(left->clips, ElementsAre(TRect{}));  // the display's state was left alone
    ExpectStacksBalanced();
}

TEST_F(WindowDrawTest, PassOneNeedsAMarkedParentAndPassTwoSkipsMarkedWindows) {
    auto* first = Add(mRoot, {0, 0, 100, 100}, "first");
    first->SetAllFlags(0x104);
    auto* second = Add(first, {0, 0, 50, 50}, "second");
    second->SetAllFlags(0x104);
    Add(first, {0, 0, 50, 50}, "plain");

    // The root lacks the mark: nothing in pass 1.
    EXPECT_FALSE(first->DrawTree(1));
    EXPECT_THAT(mJournal, IsEmpty());
    mRoot->SetAllFlags(0x500);
    EXPECT_TRUE(first->DrawTree(1));
    EXPECT_THAT(mJournal,
                ElementsAre("first.draw", "second.draw", "second.postdraw", "first.postdraw"));
    EXPECT_NE(first->GetFlags() & TWindow::kDrawnInPass1, 0u);
    EXPECT_NE(second->GetFlags() & TWindow::kDrawnInPass1, 0u);

    // Pass 2 draws what pass 1 did not.
    mJournal.clear();
    EXPECT_FALSE(mRoot->DrawTree(2));  // the root carries the mark itself
    mRoot->SetAllFlags(0x100);
    EXPECT_TRUE(mRoot->DrawTree(2));
    EXPECT_THAT(mJournal, ElementsAre("root.draw", "root.postdraw"));

    // The frame's clearing of the marks.
    TWindowClearFlags clear(0xFFFFFBFFu, true);
    clear.Visit(mRoot);
    EXPECT_EQ(first->GetFlags(), 0x104u);
    EXPECT_EQ(second->GetFlags(), 0x104u);
    mJournal.clear();
    EXPECT_TRUE(mRoot->DrawTree(2));
    EXPECT_EQ(mJournal.size(), 8u);
    ExpectStacksBalanced();
}

}  // namespace
