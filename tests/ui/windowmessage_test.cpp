#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testwindows.h"
#include "ui/message.h"
#include "ui/window.h"
#include "ui/windowmanager.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using uitest::MakeWindow;
using uitest::TJournal;
using uitest::TTestMessage;
using uitest::TTestModal;
using uitest::TTestWindow;

TEST(MessageTest, RecordAndTypeNumbers) {
    TWindow target;
    TMessage message(TMessage::kButtonPress, "ok", &target);
    EXPECT_EQ(message.GetType(), 3);
    EXPECT_EQ(message.GetName(), str("ok"));
    EXPECT_EQ(message.GetTarget(), &target);
    EXPECT_STREQ(message.GetClassName(), "TMessage");
    EXPECT_TRUE(message.IsKindOf(TMessage::TypeId()));
    EXPECT_FALSE(message.IsKindOf(TWindow::TypeId()));
    EXPECT_EQ(TWindow::CallCreator(TMessage::TypeId()), nullptr);

    const int numbers[] = {
        TMessage::kGeneric,          TMessage::kCloseWindow,     TMessage::kDefaultAction,
        TMessage::kButtonPress,      TMessage::kPressAnyKey,     TMessage::kQuitNow,
        TMessage::kModalClosed,      TMessage::kTextEditChanged, TMessage::kCommandOnly,
        TMessage::kSliderValChanged, TMessage::kSliderMouseUp,   TMessage::kSliderPageUp,
        TMessage::kSliderPageDown};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(numbers[i], i);
    EXPECT_EQ(TMessage::kUserMessageBase, 1000);
}

// Under "outer": the modal, holding "panel", which holds "field".
class WindowMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        mOuter = MakeWindow(nullptr, {0, 0, 640, 480}, "outer", &mJournal);
        mModal = MakeWindow<TTestModal>(mOuter, {0, 0, 640, 480}, "modal", &mJournal);
        mManager.PushModal(mModal);
        // The tests start without a focus window.
        mManager.SetFocusWindow(nullptr);
        mJournal.clear();
        mPanel = MakeWindow(mModal, {0, 0, 300, 300}, "panel", &mJournal);
        mField = MakeWindow(mPanel, {0, 0, 100, 20}, "field", &mJournal);
    }
    void TearDown() override { delete mOuter; }

    TWindowManager mManager;
    TJournal mJournal;
    TTestWindow* mOuter = nullptr;
    TTestModal* mModal = nullptr;
    TTestWindow* mPanel = nullptr;
    TTestWindow* mField = nullptr;
};

TEST_F(WindowMessageTest, AConsumedMessageIsDeleted) {
    mPanel->takes = {"message"};
    mField->SendMessage(new TTestMessage("hello"));
    EXPECT_THAT(mJournal, ElementsAre("field.message(hello)", "panel.message(hello)"));
    EXPECT_EQ(TTestMessage::sLive, 0);
    mField->SendMessage(nullptr);
}

TEST_F(WindowMessageTest, TheWalkEndsAtTheModalRootThenTriesItsDefaultFocus) {
    mModal->SetDefaultFocus(mField);
    mPanel->SendMessage(new TTestMessage("close"));
    // Every window up to the root is asked, the root included; "outer" above it is not.
    EXPECT_THAT(mJournal, ElementsAre("panel.message(close)", "modal.message(close)",
                                      "field.message(close)"));
    // Nobody took it: it went on to the script's queue, which deletes it without a script.
    EXPECT_EQ(TTestMessage::sLive, 0);

    // The default-focus window takes it.
    mJournal.clear();
    mField->takes = {"message"};
    mPanel->SendMessage(new TTestMessage("again"));
    EXPECT_THAT(mJournal, ElementsAre("panel.message(again)", "modal.message(again)",
                                      "field.message(again)"));
    EXPECT_EQ(TTestMessage::sLive, 0);

    // The root itself takes it even while a field has the focus.
    mJournal.clear();
    mModal->takesMessages = true;
    mField->SendMessage(new TTestMessage("root"));
    EXPECT_THAT(mJournal, ElementsAre("field.message(root)"));
    mField->takes.clear();
    mJournal.clear();
    mField->SendMessage(new TTestMessage("root"));
    EXPECT_THAT(mJournal,
                ElementsAre("field.message(root)", "panel.message(root)", "modal.message(root)"));
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(WindowMessageTest, AMessageWithoutModalRootIsDeletedAtTheTop) {
    auto* loose = MakeWindow(nullptr, {}, "loose", &mJournal);
    MakeWindow(loose, {}, "child", &mJournal)->SendMessage(new TTestMessage("lost"));
    EXPECT_THAT(mJournal, ElementsAre("child.message(lost)", "loose.message(lost)"));
    EXPECT_EQ(TTestMessage::sLive, 0);
    delete loose;
}

TEST_F(WindowMessageTest, DeferredDeletionForgetsTheWindowAtOnce) {
    auto* button = MakeWindow(mField, {}, "button", &mJournal);
    mManager.PostMessage(new TTestMessage("toField", mField));
    mManager.PostMessage(new TTestMessage("toButton", button));
    mManager.PostMessage(new TTestMessage("toModal", mModal));
    mManager.PostMessage(new TTestMessage("none"));
    mManager.TrackMouse(mField);
    mManager.TrackMouse(mPanel);
    mManager.SetTrackingChanged(false);
    mManager.SetWindowUnderPointer(button);

    mPanel->RemoveChild(mField);
    mManager.DeleteWindowLater(mField);
    mManager.DeleteWindowLater(mField);  // once is enough
    std::vector<TWindow*> targets;
    for (const auto& message : mManager.GetPostedMessages())
        targets.push_back(message->GetTarget());
    EXPECT_THAT(targets, ElementsAre(nullptr, nullptr, mModal, nullptr));
    EXPECT_THAT(mManager.GetTrackedWindows(), ElementsAre(mPanel));
    EXPECT_TRUE(mManager.IsTrackingChanged());
    EXPECT_EQ(mManager.GetWindowUnderPointer(), nullptr);
    EXPECT_TRUE(mManager.IsDeleteQueued(mField));

    int live = TTestWindow::sLive;
    mManager.SetRedrawNeeded(false);
    mManager.DeleteQueued();
    EXPECT_EQ(TTestWindow::sLive, live - 2);
    EXPECT_TRUE(mManager.IsRedrawNeeded());
    EXPECT_FALSE(mManager.IsDeleteQueued(mField));
    // Nothing queued: nothing happens, no redraw either.
    mManager.SetRedrawNeeded(false);
    mManager.DeleteQueued();
    EXPECT_FALSE(mManager.IsRedrawNeeded());
    while (TMessage* message = mManager.TakePostedMessage())
        delete message;
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(WindowMessageTest, AWindowQueuedWithItsQueuedParentIsDeletedOnce) {
    auto* child = MakeWindow(mField, {}, "child", &mJournal);
    mPanel->RemoveChild(mField);
    mManager.DeleteWindowLater(child);  // still listed in the field
    mManager.DeleteWindowLater(mField);
    int live = TTestWindow::sLive;
    mManager.DeleteQueued();
    EXPECT_EQ(TTestWindow::sLive, live - 2);

    // The other order: the child goes with its parent, then leaves the queue.
    auto* parent = MakeWindow(mPanel, {}, "parent", &mJournal);
    auto* inner = MakeWindow(parent, {}, "inner", &mJournal);
    mPanel->RemoveChild(parent);
    mManager.DeleteWindowLater(parent);
    mManager.DeleteWindowLater(inner);
    mManager.DeleteQueued();
    EXPECT_EQ(TTestWindow::sLive, live - 2);
}

TEST_F(WindowMessageTest, ADeletedWindowIsForgotten) {
    mModal->SetDefaultFocus(mField);
    mManager.SetFocusWindow(mField);
    mManager.TrackMouse(mField);
    mManager.SetWindowUnderPointer(mPanel);
    mManager.PostMessage(new TTestMessage("toField", mField));
    mManager.SetTrackingChanged(false);

    mPanel->RemoveChild(mField);
    delete mField;
    EXPECT_EQ(mManager.GetFocusWindow(), nullptr);
    EXPECT_EQ(mModal->GetDefaultFocus(), nullptr);
    EXPECT_THAT(mManager.GetTrackedWindows(), IsEmpty());
    EXPECT_TRUE(mManager.IsTrackingChanged());
    EXPECT_EQ(mManager.GetWindowUnderPointer(), nullptr);
    EXPECT_EQ(mManager.GetPostedMessages().front()->GetTarget(), nullptr);
    while (TMessage* message = mManager.TakePostedMessage())
        delete message;
}

TEST_F(WindowMessageTest, TheDefaultFocusMovesTheFocusWhileTheModalHasIt) {
    mModal->SetDefaultFocus(mField);
    EXPECT_EQ(mManager.GetFocusWindow(), nullptr);  // the modal had no focus
    mManager.SetFocusWindow(mModal);
    EXPECT_EQ(mManager.GetFocusWindow(), mField);
    EXPECT_THAT(mJournal, ElementsAre("modal.focus", "field.focus(from modal)"));

    mManager.SetFocusWindow(mModal);
    mJournal.clear();
    mModal->SetDefaultFocus(nullptr);
    EXPECT_EQ(mManager.GetFocusWindow(), mField);  // the field had it, not the modal

    mManager.SetFocusWindow(nullptr);
    mManager.SetFocusWindow(mModal);
    mModal->SetDefaultFocus(nullptr);
    EXPECT_EQ(mManager.GetFocusWindow(), nullptr);

    // A default focus that leads back to the modal ends there.
    mModal->SetDefaultFocus(mModal);
    mManager.SetFocusWindow(mModal);
    EXPECT_EQ(mManager.GetFocusWindow(), mModal);
}

TEST_F(WindowMessageTest, TrackingListsEachWindowOnce) {
    mManager.TrackMouse(mField);
    mManager.TrackMouse(mPanel);
    mManager.TrackMouse(mField);
    mManager.TrackMouse(nullptr);
    EXPECT_THAT(mManager.GetTrackedWindows(), ElementsAre(mPanel, mField));
    EXPECT_FALSE(mManager.IsTrackingChanged());
    mManager.UntrackMouse(mModal);
    EXPECT_FALSE(mManager.IsTrackingChanged());
    mManager.UntrackMouse(mField);
    EXPECT_TRUE(mManager.IsTrackingChanged());
    EXPECT_THAT(mManager.GetTrackedWindows(), ElementsAre(mPanel));
}

// Takes the messages named "handled".
class NamedHandler : public TWindowMessageHandler {
public:
    explicit NamedHandler(int* deleted) : mDeleted(deleted) {}
    ~NamedHandler() override { ++*mDeleted; }
    bool HandleMessage(TMessage* message) override { return message->GetName() == str("handled"); }

private:
    int* mDeleted;
};

TEST(WindowManagerBookkeepingTest, TheManagerOwnsItsHandlersAndPostedMessages) {
    int deleted = 0;
    {
        TWindowManager manager;
        manager.AddMessageHandler(new NamedHandler(&deleted));
        manager.AddMessageHandler(nullptr);
        ASSERT_EQ(manager.GetMessageHandlers().size(), 1u);
        TTestMessage handled("handled");
        EXPECT_TRUE(manager.GetMessageHandlers()[0]->HandleMessage(&handled));
        manager.PostMessage(new TTestMessage("kept"));
        manager.PostMessage(nullptr);
        EXPECT_EQ(manager.GetPostedMessages().size(), 1u);
        manager.DeleteWindowLater(new TTestWindow("queued"));
        EXPECT_EQ(manager.GetTopModal(), nullptr);
    }
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(TTestMessage::sLive, 0);
    EXPECT_EQ(TTestWindow::sLive, 0);
}

}  // namespace
