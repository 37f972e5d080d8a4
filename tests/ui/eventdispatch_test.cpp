// The window manager's event dispatch: idle turns, pointer events with and without tracked
// windows (overlay windows, relative mouse mode), capture loss, keys, and the posted messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/task/task.h"
#include "foundation/task/taskmanager.h"
#include "managerfixture.h"
#include "platform/settingkeys.h"
#include "platform/texture/texture.h"
#include "ui/modalwindow.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Counts its runs and the modes it ran in.
class TCountingTask : public TTask {
public:
    explicit TCountingTask(std::vector<uint32_t>* modes) : mModes(modes) {}
    bool IsReady(uint32_t mode) override {
        mModes->push_back(mode);
        return false;
    }
    bool Execute() override { return true; }

private:
    std::vector<uint32_t>* mModes;
};

// Tracks itself on a press and lets go on the release, as a button held down does.
class TDragWindow : public TTestWindow {
public:
    using TTestWindow::TTestWindow;
    bool OnMouseDown(const TPoint& point) override {
        TTestWindow::OnMouseDown(point);
        TWindowManager::Get()->TrackMouse(this);
        return true;
    }
    bool OnMouseUp(const TPoint& point) override {
        TTestWindow::OnMouseUp(point);
        TWindowManager::Get()->UntrackMouse(this);
        return true;
    }
};

class EventDispatchTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        mModal = Push("modal");
        mPanel = Add(mModal, {100, 100, 300, 300}, "panel");
        mManager->AddMessageHandler(new TCountingHandler(TMessage::kPressAnyKey, &mSeen));
        mJournal.clear();
    }

    TTestModal* mModal = nullptr;
    TTestWindow* mPanel = nullptr;
    std::vector<std::string> mSeen;
};

TEST_F(EventDispatchTest, AnIdleTurnWithNothingDirtyRunsTasksAndMessagesButDrawsNothing) {
    IdleAfterInterval();
    ASSERT_EQ(mSink.frames, 1);
    ASSERT_FALSE(mManager->IsRedrawNeeded());
    std::vector<uint32_t> modes;
    mModal->AddTask(new TCountingTask(&modes));
    mManager->PostMessage(new TTestMessage(TMessage::kPressAnyKey, "posted"));
    mJournal.clear();

    IdleAfterInterval();
    EXPECT_THAT(modes, ElementsAre(0u));
    EXPECT_THAT(mSeen, ElementsAre("4:posted"));
    EXPECT_EQ(mSink.frames, 1);
    EXPECT_THAT(mJournal, IsEmpty());

    // Dirty again: the frame runs the platform's tasks and the top modal's in mode 1 too.
    mManager->MarkDirty();
    modes.clear();
    IdleAfterInterval();
    EXPECT_THAT(modes, ElementsAre(0u, 1u));
    EXPECT_EQ(mSink.frames, 2);
}

TEST_F(EventDispatchTest, APaintMarksDirtyAndDrawsWithoutRunningTasks) {
    IdleAfterInterval();
    std::vector<uint32_t> modes;
    mModal->AddTask(new TCountingTask(&modes));
    Advance(TWindowManager::kFrameInterval);
    Send(Event(kEventPaint));
    EXPECT_EQ(mSink.frames, 2);
    EXPECT_THAT(modes, ElementsAre(1u));
}

TEST_F(EventDispatchTest, EventsBeforeTheStackAndTheTypesLeftAlone) {
    auto* queued = new TTestWindow("queued");
    mManager->DeleteWindowLater(queued);
    int live = TTestWindow::sLive;
    // Type 2 is passed over before anything else: the queue stays.
    Send(Event(kEventNothing));
    EXPECT_TRUE(mManager->IsDeleteQueued(queued));
    // Any other event deletes the queued windows first.
    Send(Event(kEventActivation, 0, 0, 1));
    EXPECT_EQ(TTestWindow::sLive, live - 1);
    EXPECT_THAT(mSeen, IsEmpty());

    // Type 17 lets the overlay texture go.
    mManager->SetOverlay(std::make_shared<TTexture>());
    Send(Event(kEventDisplayRecreated));
    EXPECT_EQ(mManager->GetOverlay(), nullptr);

    // A manager without modals drops the events.
    mApp.reset();
    TWindowManager bare;
    bare.PostMessage(new TTestMessage("kept"));
    bare.HandleEvent(Event(kEventIdle));
    bare.HandleEvent(Event(kEventLeftDown, 1, 1));
    EXPECT_EQ(bare.GetPostedMessages().size(), 1u);
}

TEST_F(EventDispatchTest, AnUnhandledLeftUpPostsOneMouseUp) {
    for (const char* overlayMouse : {"0", "1"}) {
        SCOPED_TRACE(std::string("overlaymouse ") + overlayMouse);
        TPlatform::SetConfig(settingkey::kOverlayMouse, overlayMouse);
        mSeen.clear();
        Send(Event(kEventLeftUp, 150, 160));
        EXPECT_THAT(mSeen, ElementsAre("4:mouse:up"));
        EXPECT_THAT(Entries(".up"), ElementsAre("panel.up(50,60)"));
        EXPECT_EQ(mManager->GetWindowUnderPointer(), mPanel);
        // A handled one posts none.
        mPanel->takes = {"up"};
        mSeen.clear();
        Send(Event(kEventLeftUp, 150, 160));
        EXPECT_THAT(mSeen, IsEmpty());
        mPanel->takes.clear();
        mJournal.clear();
    }
}

TEST_F(EventDispatchTest, ATrackingWindowKeepsReceivingMovesOutsideUntilItUntracks) {
    auto* button = MakeWindow<TDragWindow>(mPanel, {10, 10, 60, 30}, "button", &mJournal);
    button->takes = {"move"};
    Send(Event(kEventLeftDown, 120, 115));
    EXPECT_THAT(mManager->GetTrackedWindows(), ElementsAre(button));
    mJournal.clear();

    // Dragged outside: it hears that the pointer left, and still gets the move.
    Send(Event(kEventMouseMove, 400, 50));
    Send(Event(kEventMouseMove, 115, 115));
    EXPECT_THAT(mJournal, ElementsAre("button.leave", "button.move(290,-60)", "button.move(5,5)"));
    mJournal.clear();
    Send(Event(kEventLeftUp, 500, 400));
    EXPECT_THAT(mJournal, ElementsAre("button.leave", "button.up(390,290)"));
    EXPECT_THAT(mManager->GetTrackedWindows(), IsEmpty());
    mJournal.clear();

    // Let go, it gets nothing more from outside.
    Send(Event(kEventMouseMove, 400, 50));
    EXPECT_THAT(mJournal, IsEmpty());
}

// Leaves the list when the pointer leaves it; the next tracked window gets the move all the same.
class TLeavingWindow : public TTestWindow {
public:
    using TTestWindow::TTestWindow;
    bool OnMouseLeave() override {
        TTestWindow::OnMouseLeave();
        TWindowManager::Get()->UntrackMouse(this);
        if (other != nullptr) TWindowManager::Get()->UntrackMouse(other);
        return true;
    }
    TWindow* other = nullptr;
};

TEST_F(EventDispatchTest, TrackedWindowsThatLeaveTheListMeanwhileArePassedOver) {
    TTestWindow* first = Add(mPanel, {0, 0, 200, 200}, "first");
    auto* leaving = MakeWindow<TLeavingWindow>(mPanel, {0, 0, 10, 10}, "leaving", &mJournal);
    TTestWindow* last = Add(mPanel, {0, 0, 200, 200}, "last");
    first->takes = last->takes = {"move"};
    mManager->TrackMouse(first);
    mManager->TrackMouse(last);
    mManager->TrackMouse(leaving);
    Send(Event(kEventMouseMove, 150, 150));
    EXPECT_THAT(mJournal, ElementsAre("leaving.leave", "last.move(50,50)", "first.move(50,50)"));
    EXPECT_THAT(mManager->GetTrackedWindows(), ElementsAre(last, first));

    // One that takes another off the list: that one gets nothing.
    mJournal.clear();
    leaving->other = last;
    mManager->TrackMouse(leaving);
    Send(Event(kEventMouseMove, 150, 150));
    EXPECT_THAT(mJournal, ElementsAre("leaving.leave", "first.move(50,50)"));
}

// Closes its dialog (the top modal) when the pointer moves over it or leaves it.
class TClosingWindow : public TTestWindow {
public:
    using TTestWindow::TTestWindow;
    bool OnMouseMove(const TPoint& point) override {
        TTestWindow::OnMouseMove(point);
        TWindowManager::Get()->PopModal();
        return true;
    }
    bool OnMouseLeave() override {
        TTestWindow::OnMouseLeave();
        TWindowManager::Get()->PopModal();
        return true;
    }
};

TEST_F(EventDispatchTest, TheTrackedWalkEndsWhenTheTopModalChanges) {
    TTestWindow* older = Add(mPanel, {0, 0, 100, 100}, "older");
    auto* closing = MakeWindow<TClosingWindow>(mPanel, {0, 0, 100, 100}, "closing", &mJournal);
    mManager->TrackMouse(older);
    mManager->TrackMouse(closing);
    Send(Event(kEventMouseMove, 150, 150));
    EXPECT_THAT(mJournal, ElementsAre("closing.move(50,50)"));
    EXPECT_EQ(mManager->GetTopModal(), mScreen);
}

TEST_F(EventDispatchTest, CaptureLossReachesEachTrackedWindowUntilTheTopModalChanges) {
    TTestWindow* older = Add(mPanel, {0, 0, 10, 10}, "older");
    TTestWindow* newer = Add(mPanel, {0, 0, 10, 10}, "newer");
    mManager->TrackMouse(older);
    mManager->TrackMouse(newer);
    Send(Event(kEventMouseLeft));
    EXPECT_THAT(mJournal, ElementsAre("newer.leave", "older.leave"));
    // Tracking is the windows' own business: they are still listed.
    EXPECT_THAT(mManager->GetTrackedWindows(), ElementsAre(newer, older));

    mJournal.clear();
    auto* closing = MakeWindow<TClosingWindow>(mPanel, {0, 0, 10, 10}, "closing", &mJournal);
    mManager->TrackMouse(closing);
    Send(Event(kEventMouseLeft));
    EXPECT_THAT(mJournal, ElementsAre("closing.leave"));
    EXPECT_EQ(mManager->GetTopModal(), mScreen);
}

TEST_F(EventDispatchTest, CaptureLossWithNothingTrackedTellsNobody) {
    Send(Event(kEventMouseLeft));
    EXPECT_THAT(mJournal, IsEmpty());
}

TEST_F(EventDispatchTest, RelativeMouseMode) {
    mPanel->takes = {"move", "down"};
    mApp->SetMouseMode(1);
    // Untracked moves are passed over; presses are routed as ever.
    Send(Event(kEventMouseMove, 150, 150));
    Send(Event(kEventLeftDown, 150, 150));
    EXPECT_THAT(Entries("panel."), ElementsAre("panel.down(50,50)"));

    // Tracked: a move keeps its deltas as they came, without a leave; other events are converted.
    mJournal.clear();
    mManager->TrackMouse(mPanel);
    Send(Event(kEventMouseMove, -3, 7));
    Send(Event(kEventLeftDown, 150, 150));
    EXPECT_THAT(Entries("panel."), ElementsAre("panel.move(-3,7)", "panel.down(50,50)"));
}

TEST_F(EventDispatchTest, OverlayWindowsTakePointerEventsFirstWithOverlayMouse) {
    auto* overlay = new TTestWindow("overlay", &mJournal);
    overlay->SetRect({500, 0, 640, 100});
    TTestWindow* badge = Add(overlay, {10, 10, 50, 50}, "badge");
    mManager->AddOverlayWindow(overlay);
    badge->takes = {"down"};
    mPanel->takes = {"down"};

    // Off: the overlay is not asked.
    Send(Event(kEventLeftDown, 520, 20));
    EXPECT_THAT(Entries(".down"), IsEmpty());
    EXPECT_EQ(mManager->GetWindowUnderPointer(), mModal);

    TPlatform::SetConfig(settingkey::kOverlayMouse, "1");
    Send(Event(kEventLeftDown, 520, 20));
    EXPECT_THAT(Entries(".down"), ElementsAre("badge.down(10,10)"));
    EXPECT_EQ(mManager->GetWindowUnderPointer(), badge);
    mJournal.clear();

    // Not taken by the overlay: the modal's window under the point gets it.
    Send(Event(kEventLeftDown, 150, 150));
    EXPECT_THAT(Entries(".down"), ElementsAre("overlay.down(-350,150)", "panel.down(50,50)"));
    EXPECT_EQ(mManager->GetWindowUnderPointer(), mPanel);

    // The manager owns it; a window deleted on its own leaves the list.
    auto* gone = new TTestWindow("gone");
    mManager->AddOverlayWindow(gone);
    delete gone;
    EXPECT_THAT(mManager->GetOverlayWindows(), ElementsAre(overlay));
}

TEST_F(EventDispatchTest, KeysReachTheFocusWindowOrTheTopModal) {
    mPanel->takes = {"key", "char", "text"};
    mManager->SetFocusWindow(mPanel);
    mJournal.clear();
    Send(Event(kEventKeyDown, 0, 0, 'A'));
    Send(Event(kEventKeyUp, 0, 0, 'A'));
    Send(Event(kEventChar, 0, 0, 'a'));
    Send(Event(kEventUnicodeChar, 0, 0, 0xE9));
    EXPECT_THAT(mJournal, ElementsAre("panel.keydown(65,0)", "panel.keyup(65)", "panel.char(97)",
                                      "panel.text(\xC3\xA9)"));

    // No focus: the top modal, which posts the key nobody took.
    mManager->SetFocusWindow(nullptr);
    mJournal.clear();
    Send(Event(kEventKeyDown, 0, 0, 'B'));
    EXPECT_THAT(mJournal, IsEmpty());
    EXPECT_THAT(mSeen, ElementsAre("4:raw:B"));
}

TEST_F(EventDispatchTest, PostedMessagesGoToTheirTargetElseHandlersFocusAndTopModal) {
    TTestWindow* target = Add(mPanel, {0, 0, 10, 10}, "target");
    mManager->PostMessage(new TTestMessage("toTarget", target));
    mManager->PostMessage(new TTestMessage("nobodys"));
    mManager->ProcessPostedMessages();
    EXPECT_THAT(mJournal, ElementsAre("target.message(toTarget)", "panel.message(toTarget)",
                                      "modal.message(toTarget)", "modal.message(nobodys)"));
    EXPECT_THAT(mSeen, ElementsAre("0:nobodys"));
    // Taken by nobody, both end in the script's queue.
    EXPECT_THAT(TakeScriptQueue(), ElementsAre("toTarget", "nobodys"));
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(EventDispatchTest, AMessageWhoseTargetWentGoesToTheHandlersThenTheFocusWindow) {
    TTestWindow* target = Add(mPanel, {0, 0, 10, 10}, "target");
    mManager->SetFocusWindow(mPanel);
    mManager->PostMessage(new TTestMessage("late", target));
    mManager->PostMessage(new TTestMessage(TMessage::kPressAnyKey, "taken", target));
    mPanel->RemoveChild(target);
    mManager->DeleteWindowLater(target);
    mJournal.clear();
    Idle();
    EXPECT_THAT(mSeen, ElementsAre("0:late", "4:taken"));
    EXPECT_THAT(Entries("message"), ElementsAre("panel.message(late)", "modal.message(late)"));
    EXPECT_THAT(TakeScriptQueue(), ElementsAre("late"));
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(EventDispatchTest, QuitNowMakesTheNextEventAQuit) {
    mManager->PostMessage(new TTestMessage(TMessage::kQuitNow, ""));
    mManager->PostMessage(new TTestMessage("after"));
    Idle();
    EXPECT_THAT(TakeScriptQueue(), ElementsAre("after"));
    EXPECT_EQ(TTestMessage::sLive, 0);
    EXPECT_THAT(mSeen, ElementsAre("0:after"));
    TPlatformEvent event;
    for (int turn = 0; turn < 20 && event.type != kEventQuit; ++turn)
        mApp->GetEvent(event);
    EXPECT_EQ(event.type, kEventQuit);
}

TEST_F(EventDispatchTest, HoverEventsReachTheHoverHandler) {
    class THover : public TWindowHoverHandler {
    public:
        bool HandleHover(TWindow* window, const TPoint& point) override {
            seen.push_back(std::string(window->GetName().c_str()) + "(" + std::to_string(point.x) +
                           "," + std::to_string(point.y) + ")");
            return true;
        }
        std::vector<std::string> seen;
    } hover;
    mManager->SetHoverHandler(&hover);
    Send(Event(kEventMouseHover, 110, 120));
    EXPECT_THAT(hover.seen, ElementsAre("panel(10,20)"));
    mManager->SetHoverHandler(nullptr);
}

}  // namespace
}  // namespace uitest
