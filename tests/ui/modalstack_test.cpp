// The modal stack: pushing and popping, DoPopModal by name and id text, closing by message, the
// closing notice, the clocks of covered modals, the screen at the bottom, and modals that die
// without being popped.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "managerfixture.h"
#include "platform/texture/texture.h"
#include "ui/modalwindow.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ModalStackTest = ManagerTest;

TEST_F(ModalStackTest, TheScreenIsTheBottomModal) {
    ASSERT_NE(mScreen, nullptr);
    EXPECT_EQ(mManager->GetTopModal(), mScreen);
    EXPECT_THAT(Stack(), ElementsAre("_screen_"));
    EXPECT_EQ(mScreen->GetRect(), (TRect{0, 0, 640, 480}));
    EXPECT_FALSE(mScreen->GetClock().IsPaused());
    EXPECT_EQ(mManager->GetFocusWindow(), mScreen);

    // A second set-up makes no other screen; a second screen is refused.
    mApp->SetupScreen(800, 600, false);
    EXPECT_EQ(mManager->GetScreen(), mScreen);
    EXPECT_THAT(Stack(), ElementsAre("_screen_"));
    auto* other = new TScreen;
    EXPECT_FALSE(mManager->SetScreen(other));
    delete other;
    EXPECT_EQ(mManager->GetScreen(), mScreen);
}

TEST_F(ModalStackTest, PushLetsTheTrackedWindowsGoPausesTheClockBelowAndMovesTheFocus) {
    TTestModal* lower = Push("lower");
    TTestWindow* dragged = Add(lower, {0, 0, 10, 10}, "dragged");
    TTestWindow* other = Add(lower, {0, 0, 10, 10}, "other");
    mManager->TrackMouse(dragged);
    mManager->TrackMouse(other);
    mManager->SetWindowUnderPointer(other);
    mManager->SetTrackingChanged(false);
    Advance(300);
    mJournal.clear();

    TTestModal* upper = Push("upper", {0, 0, 0, 0});
    EXPECT_THAT(mJournal, ElementsAre("other.leave", "dragged.leave", "upper.focus"));
    EXPECT_THAT(mManager->GetTrackedWindows(), IsEmpty());
    EXPECT_TRUE(mManager->IsTrackingChanged());
    EXPECT_EQ(mManager->GetWindowUnderPointer(), nullptr);
    EXPECT_EQ(upper->GetParent(), lower);
    EXPECT_TRUE(lower->GetClock().IsPaused());
    EXPECT_EQ(lower->GetClock().GetTime(), 300u);
    EXPECT_FALSE(upper->GetClock().IsPaused());
    EXPECT_EQ(mManager->GetFocusWindow(), upper);
    // Without a width it takes its parent's size.
    EXPECT_EQ(upper->GetRect(), (TRect{0, 0, 640, 480}));
    EXPECT_TRUE(mManager->IsRedrawNeeded());
    EXPECT_THAT(Stack(), ElementsAre("upper", "lower", "_screen_"));
}

TEST_F(ModalStackTest, PushingAModalOnTheStackAgainIsRefused) {
    TTestModal* lower = Push("lower");
    TTestModal* upper = Push("upper");
    EXPECT_FALSE(mManager->PushModal(upper));
    EXPECT_FALSE(mManager->PushModal(lower));
    EXPECT_FALSE(mManager->PushModal(mScreen));
    EXPECT_FALSE(mManager->PushModal(nullptr));
    EXPECT_THAT(Stack(), ElementsAre("upper", "lower", "_screen_"));
    EXPECT_EQ(upper->GetParent(), lower);
    EXPECT_EQ(lower->GetParent(), mScreen);
}

TEST_F(ModalStackTest, PopTellsTheWindowsBelowChildrenFirstButNotThePoppedModal) {
    TTestModal* lower = Push("lower");
    Add(lower, {0, 0, 10, 10}, "field");
    TTestModal* upper = Push("upper");
    Add(upper, {0, 0, 10, 10}, "button");
    mManager->SetRedrawNeeded(false);
    mJournal.clear();

    mManager->PopModal();
    EXPECT_THAT(mJournal, ElementsAre("lower.focus", "field.popped", "lower.popped"));
    EXPECT_THAT(Stack(), ElementsAre("lower", "_screen_"));
    EXPECT_EQ(upper->GetParent(), nullptr);
    EXPECT_EQ(lower->GetFirstChild()->GetName(), str("field"));
    EXPECT_TRUE(mManager->IsDeleteQueued(upper));
    EXPECT_EQ(mManager->GetFocusWindow(), lower);
    EXPECT_TRUE(mManager->IsPopped());
    EXPECT_TRUE(mManager->IsRedrawNeeded());
    // PopModal leaves the clock of the new top as it was.
    EXPECT_TRUE(lower->GetClock().IsPaused());

    int live = TTestModal::sLive;
    mManager->DeleteQueued();
    EXPECT_EQ(TTestModal::sLive, live - 1);
}

TEST_F(ModalStackTest, TheScreenIsNeverPopped) {
    mManager->PopModal();
    EXPECT_THAT(Stack(), ElementsAre("_screen_"));
    const str names[] = {"_screen_", mScreen->GetIdString()};
    for (const str& name : names) {
        SCOPED_TRACE(name.c_str());
        Push("a");
        Push("b");
        mManager->DoPopModal(name);
        EXPECT_THAT(Stack(), ElementsAre("_screen_"));
        EXPECT_EQ(mManager->GetScreen(), mScreen);
        mManager->DeleteQueued();
    }
    // The next event still finds the screen.
    Idle();
    EXPECT_EQ(mManager->GetTopModal(), mScreen);
}

TEST_F(ModalStackTest, DoPopModalWithAnUnknownNamePopsNothingButResumesTheClock) {
    TTestModal* top = Push("top");
    top->GetClock().Pause();
    mManager->DoPopModal("nobody");
    EXPECT_THAT(Stack(), ElementsAre("top", "_screen_"));
    EXPECT_FALSE(top->GetClock().IsPaused());
}

TEST_F(ModalStackTest, DoPopModalPopsDownToTheNamedModal) {
    struct Case {
        const char* name;
        // The modal named, counted from the top.
        int depth;
        bool byId;
        std::vector<std::string> left;
    } cases[] = {
        {"the top by name", 0, false, {"c", "b", "a", "_screen_"}},
        {"the top by id text", 0, true, {"c", "b", "a", "_screen_"}},
        {"two places down by id text", 2, true, {"a", "_screen_"}},
        {"one place down by name", 1, false, {"b", "a", "_screen_"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Push("a");
        Push("b");
        Push("c");
        Push("d");
        TModalWindow* named = mManager->GetModals()[c.depth];
        mManager->DoPopModal(c.byId ? named->GetIdString() : named->GetName());
        EXPECT_EQ(Stack(), c.left);
        EXPECT_FALSE(mManager->GetTopModal()->GetClock().IsPaused());
        while (mManager->GetModals().size() > 1)
            mManager->PopModal();
        mManager->DeleteQueued();
    }
}

TEST_F(ModalStackTest, ACoveredModalsClockLosesTheTimeItWasCovered) {
    TTestModal* lower = Push("lower");
    Advance(100);
    TTestModal* upper = Push("upper");
    Advance(5000);
    EXPECT_EQ(lower->GetClock().GetTime(), 100u);
    mManager->DoPopModal(upper->GetIdString());
    EXPECT_EQ(lower->GetClock().GetTime(), 100u);
    Advance(50);
    EXPECT_EQ(lower->GetClock().GetTime(), 150u);
}

TEST_F(ModalStackTest, CloseWindowMessages) {
    struct Case {
        const char* name;
        // The name of the message: the id text of the modal at this depth, or the text.
        int depth;
        const char* text;
        std::vector<std::string> left;
    } cases[] = {
        {"named with the top's id", 0, nullptr, {"b", "a", "_screen_"}},
        {"named with a lower modal's id", 1, nullptr, {"a", "_screen_"}},
        {"named with a modal off the path", -1, nullptr, {"c", "b", "a", "_screen_"}},
        {"with an empty name", -1, "", {"c", "b", "a", "_screen_"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Push("a");
        Push("b");
        TTestModal* top = Push("c");
        // A modal that is no ancestor of the top: a sibling of b.
        auto* aside = new TTestModal("aside", &mJournal);
        mManager->GetModals()[2]->AddChild(aside, false);
        str name = c.text != nullptr ? str(c.text)
                   : c.depth >= 0    ? mManager->GetModals()[c.depth]->GetIdString()
                                     : aside->GetIdString();
        TMessage close(TMessage::kCloseWindow, name);
        EXPECT_TRUE(top->OnMessage(&close)) << "consumed";
        EXPECT_EQ(Stack(), c.left);
        while (mManager->GetModals().size() > 1)
            mManager->PopModal();
        mManager->DeleteQueued();
    }
    // Every other type passes on.
    TMessage other(TMessage::kButtonPress, mScreen->GetIdString());
    EXPECT_FALSE(mScreen->OnMessage(&other));
}

TEST_F(ModalStackTest, AModalThatGoesPostsItsClosingNotice) {
    TTestModal* modal = Push("dialog");
    str id = modal->GetIdString();
    mManager->PopModal();
    EXPECT_THAT(mManager->GetPostedMessages(), IsEmpty());
    mManager->DeleteQueued();
    ASSERT_EQ(mManager->GetPostedMessages().size(), 1u);
    const TMessage& notice = *mManager->GetPostedMessages().front();
    EXPECT_EQ(notice.GetType(), TMessage::kModalClosed);
    EXPECT_EQ(notice.GetName(), id);
    EXPECT_EQ(notice.GetTarget(), nullptr);
}

// Notes, as it goes, how many messages the manager holds: a modal that went before it and
// posted its notice would show.
class TNoticeModal : public TModalWindow {
public:
    explicit TNoticeModal(size_t* posted) : mPosted(posted) {}
    ~TNoticeModal() override { *mPosted = TWindowManager::Get()->GetPostedMessages().size(); }

private:
    size_t* mPosted;
};

TEST(ModalNoticeTest, TheManagersOwnDestructionPostsNoNotices) {
    size_t postedWhenTheLastWent = 99;
    {
        TWindowManager manager;
        auto* screen = new TScreen;
        ASSERT_TRUE(manager.SetScreen(screen));
        manager.PushModal(new TNoticeModal(&postedWhenTheLastWent));
        manager.PushModal(new TModalWindow);
        manager.PushModal(new TModalWindow);
        EXPECT_EQ(manager.GetModals().size(), 4u);
    }
    EXPECT_EQ(postedWhenTheLastWent, 0u);
    EXPECT_EQ(TWindowManager::Get(), nullptr);
}

TEST(ManagerTeardownTest, TheManagerDeletesEverythingItHolds) {
    {
        TWindowManager manager;
        auto* screen = new TScreen;
        manager.SetScreen(screen);
        MakeWindow(screen, {0, 0, 10, 10}, "onScreen");
        auto* dialog = new TTestModal("dialog");
        manager.PushModal(dialog);
        manager.PushModal(new TTestModal("top"));
        MakeWindow(dialog, {0, 0, 10, 10}, "inDialog");
        auto* overlay = new TTestWindow("overlay");
        MakeWindow(overlay, {0, 0, 10, 10}, "inOverlay");
        manager.AddOverlayWindow(overlay);
        manager.DeleteWindowLater(new TTestWindow("queued"));
        manager.PostMessage(new TTestMessage("posted", dialog));
        manager.SetOverlay(std::make_shared<TTexture>());
        manager.TrackMouse(overlay);
        EXPECT_EQ(TTestWindow::sLive, 5);
        EXPECT_EQ(TTestModal::sLive, 2);
    }
    EXPECT_EQ(TTestWindow::sLive, 0);
    EXPECT_EQ(TTestModal::sLive, 0);
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(ModalStackTest, AModalDeletedWithItsParentLeavesTheStack) {
    TTestModal* lower = Push("lower");
    TTestModal* upper = Push("upper");
    TTestWindow* field = Add(upper, {0, 0, 10, 10}, "field");
    upper->SetDefaultFocus(field);
    lower->GetClock().Pause();
    str lowerId = lower->GetIdString();
    str upperId = upper->GetIdString();
    mJournal.clear();

    // The lower modal goes (its parent deletes it): the upper one, its child, goes with it.
    mScreen->RemoveChild(lower);
    mManager->DeleteWindowLater(lower);
    mManager->DeleteQueued();
    EXPECT_THAT(Stack(), ElementsAre("_screen_"));
    EXPECT_EQ(mManager->GetFocusWindow(), mScreen);
    EXPECT_FALSE(mScreen->GetClock().IsPaused());
    std::vector<std::string> notices;
    for (const auto& message : mManager->GetPostedMessages())
        notices.push_back(message->GetName().c_str());
    EXPECT_THAT(notices, ElementsAre(lowerId.c_str(), upperId.c_str()));

    // The stack works on.
    TTestModal* next = Push("next");
    EXPECT_EQ(next->GetParent(), mScreen);
    Send(Event(kEventLeftDown, 5, 5));
    EXPECT_EQ(mManager->GetFocusWindow(), next);
}

TEST_F(ModalStackTest, ALowerModalDeletedAloneLeavesTheTopInPlace) {
    TTestModal* lower = Push("lower");
    TTestModal* upper = Push("upper");
    // Taken out from under the top: the top stays on the stack, as it is.
    lower->RemoveChild(upper);
    mScreen->AddChild(upper, false);
    mScreen->RemoveChild(lower);
    delete lower;
    EXPECT_THAT(Stack(), ElementsAre("upper", "_screen_"));
    EXPECT_EQ(mManager->GetFocusWindow(), upper);
    mManager->PopModal();
    EXPECT_THAT(Stack(), ElementsAre("_screen_"));
}

TEST_F(ModalStackTest, TopModalOnlyAnswersItsValue) {
    EXPECT_TRUE(mManager->SetTopModalOnly(true));
    EXPECT_TRUE(mManager->IsTopModalOnly());
    EXPECT_FALSE(mManager->SetTopModalOnly(false));
    EXPECT_FALSE(mManager->IsTopModalOnly());
}

}  // namespace
}  // namespace uitest
