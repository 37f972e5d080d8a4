#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platformevent.h"
#include "platform/settingkeys.h"
#include "testwindows.h"
#include "ui/window.h"
#include "ui/windowmanager.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using uitest::MakeWindow;
using uitest::TJournal;
using uitest::TTestModal;
using uitest::TTestWindow;

TPlatformEvent Event(int32_t type, int32_t value = 0, int32_t x = 0, int32_t y = 0,
                     int32_t extra = 0) {
    TPlatformEvent event;
    event.type = type;
    event.value = value;
    event.x = x;
    event.y = y;
    event.extra = extra;
    return event;
}

// A modal with two overlapping panels: "back" (older) at 0,0 and "front" (newer) at 100,100,
// which holds "deep" at 10,10 (screen 110,110 to 200,200).
class WindowInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        mModal = new TTestModal("modal", &mJournal);
        mModal->SetRect({0, 0, 640, 480});
        mManager.PushModal(mModal);
        // The tests start without a focus window.
        mManager.SetFocusWindow(nullptr);
        mJournal.clear();
        mBack = MakeWindow(mModal, {0, 0, 300, 300}, "back", &mJournal);
        mFront = MakeWindow(mModal, {100, 100, 400, 400}, "front", &mJournal);
        mDeep = MakeWindow(mFront, {10, 10, 100, 100}, "deep", &mJournal);
    }
    void TearDown() override { delete mModal; }
    // What the window manager does with a pointer event: the deepest window under the point
    // gets it in its own coordinates.
    bool Point(int32_t type, int x, int y, int32_t value = 0) {
        TPoint local;
        TWindow* target = mModal->FindDeepestAt({x, y}, TWindow::kAnyDepth, &local);
        return target->HandleEvent(Event(type, value, local.x, local.y), false);
    }
    std::vector<std::string> Posted() const {
        std::vector<std::string> names;
        for (const auto& message : mManager.GetPostedMessages()) {
            names.push_back(std::to_string(message->GetType()) + ":" + message->GetName().c_str());
        }
        return names;
    }

    TWindowManager mManager;
    TJournal mJournal;
    TTestModal* mModal = nullptr;
    TTestWindow* mBack = nullptr;
    TTestWindow* mFront = nullptr;
    TTestWindow* mDeep = nullptr;
};

TEST_F(WindowInputTest, TheDeepestWindowGetsThePointInItsCoordinates) {
    mDeep->takes = {"down"};
    EXPECT_TRUE(Point(kEventLeftDown, 150, 160));
    EXPECT_THAT(mJournal, ElementsAre("deep.down(40,50)", "modal.focus"));
}

TEST_F(WindowInputTest, UnhandledEventsReachOlderSiblingsBeforeTheParent) {
    EXPECT_FALSE(Point(kEventLeftUp, 150, 150));
    EXPECT_THAT(mJournal, ElementsAre("deep.up(40,40)", "front.up(50,50)", "back.up(150,150)"));
    mJournal.clear();

    // Outside the older sibling the parent is next.
    EXPECT_FALSE(Point(kEventMouseMove, 350, 350));
    EXPECT_THAT(mJournal, ElementsAre("front.move(250,250)"));
    mJournal.clear();

    // The sibling's deepest window gets it, and the walk ends where it is taken.
    auto* backChild = MakeWindow(mBack, {140, 140, 160, 160}, "backChild", &mJournal);
    mBack->takes = {"button"};
    EXPECT_TRUE(Point(kEventButton, 150, 150, kButtonWheelToward));
    EXPECT_THAT(mJournal, ElementsAre("deep.button7(40,40)", "front.button7(50,50)",
                                      "backChild.button7(10,10)", "back.button7(150,150)"));
    mJournal.clear();

    // A hidden older sibling is passed over.
    mBack->SetFlags(0);
    EXPECT_FALSE(Point(kEventMouseMove, 150, 150));
    EXPECT_THAT(mJournal, ElementsAre("deep.move(40,40)", "front.move(50,50)"));
    (void)backChild;
}

TEST_F(WindowInputTest, APressGivesTheFocusToTheFirstFocusableWindowUpward) {
    mFront->SetAllFlags(0x102);
    mDeep->takes = {"down"};
    // Handled or not, the press moves the focus, once.
    EXPECT_TRUE(Point(kEventLeftDown, 150, 150));
    EXPECT_EQ(mManager.GetFocusWindow(), mFront);
    EXPECT_THAT(mJournal, ElementsAre("deep.down(40,40)", "front.focus(from -)"));
    mJournal.clear();

    mDeep->takes.clear();
    EXPECT_FALSE(Point(kEventLeftDown, 150, 150));
    EXPECT_THAT(mJournal, ElementsAre("deep.down(40,40)", "front.focus(from front)",
                                      "front.down(50,50)", "back.down(150,150)"));
    mJournal.clear();

    // Without a focusable window below, the modal root takes it.
    EXPECT_FALSE(Point(kEventLeftDown, 50, 50));
    EXPECT_EQ(mManager.GetFocusWindow(), mModal);
    EXPECT_THAT(mJournal, ElementsAre("back.down(50,50)", "modal.focus"));

    // The modal hands it on to its default-focus window, which hears of the modal.
    mJournal.clear();
    mModal->SetDefaultFocus(mDeep);
    EXPECT_EQ(mManager.GetFocusWindow(), mDeep);
    EXPECT_THAT(mJournal, ElementsAre("deep.focus(from modal)"));
    mJournal.clear();
    EXPECT_FALSE(Point(kEventLeftDown, 50, 50));
    EXPECT_EQ(mManager.GetFocusWindow(), mDeep);
    EXPECT_THAT(mJournal, ElementsAre("back.down(50,50)", "modal.focus", "deep.focus(from modal)"));
}

TEST_F(WindowInputTest, KeysAndCharactersAsTheWindowsSeeThem) {
    struct Case {
        TPlatformEvent event;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {Event(kEventKeyDown, kKeyLeft, 0, 0, kKeyModShift), {"deep.keydown(130,1)"}},
        {Event(kEventKeyUp, kKeyLeft), {"deep.keyup(130)"}},
        {Event(kEventKeyDown, kKeyUp), {"deep.keydown(128,0)"}},
        {Event(kEventKeyDown, kKeyPageDown), {"deep.keydown(134,0)"}},
        {Event(kEventKeyDown, kKeyDelete), {"deep.keydown(255,0)"}},
        {Event(kEventKeyDown, 'A', 0, 0, kKeyModCtrl), {"deep.keydown(65,2)"}},
        {Event(kEventChar, 0xE9), {"deep.char(233)"}},
        {Event(kEventUnicodeChar, 'z'), {"deep.text(z)"}},
        {Event(kEventUnicodeChar, 0xE9), {"deep.text(\xC3\xA9)"}},
        {Event(kEventUnicodeChar, 0x20AC), {"deep.text(\xE2\x82\xAC)"}},
        {Event(kEventMouseHover, 0, 3, 4), {}},
        {Event(kEventPaint), {}},
    };
    mDeep->takes = {"key", "char", "text"};
    for (const Case& c : cases) {
        mJournal.clear();
        bool handled = mDeep->HandleEvent(c.event, false);
        EXPECT_EQ(mJournal, c.calls) << c.event.type << " " << c.event.value;
        EXPECT_EQ(handled, !c.calls.empty()) << c.event.type << " " << c.event.value;
    }
    // A declined text falls back to the character only when it is one byte long.
    mDeep->takes = {"char"};
    mJournal.clear();
    EXPECT_TRUE(mDeep->HandleEvent(Event(kEventUnicodeChar, 'q'), false));
    EXPECT_THAT(mJournal, ElementsAre("deep.text(q)", "deep.char(113)"));
}

// Answers the hover events it is asked about.
class HoverHandler : public TWindowHoverHandler {
public:
    bool HandleHover(TWindow* window, const TPoint& point) override {
        asked.push_back(std::string(window->GetName().c_str()) + "(" + std::to_string(point.x) +
                        "," + std::to_string(point.y) + ")");
        return true;
    }
    std::vector<std::string> asked;
};

TEST_F(WindowInputTest, HoverGoesToTheHoverHandler) {
    EXPECT_FALSE(Point(kEventMouseHover, 150, 150));
    HoverHandler handler;
    mManager.SetHoverHandler(&handler);
    EXPECT_TRUE(Point(kEventMouseHover, 150, 150));
    EXPECT_THAT(handler.asked, ElementsAre("deep(40,40)"));
    mManager.SetHoverHandler(nullptr);
}

TEST_F(WindowInputTest, TheModalRootPostsWhatNobodyTook) {
    struct Case {
        const char* what;
        TPlatformEvent event;
        bool overlayMouse;
        std::vector<std::string> posted;
    };
    const Case cases[] = {
        {"an unhandled key", Event(kEventKeyDown, 'A'), false, {"4:raw:A"}},
        {"an unhandled arrow", Event(kEventKeyDown, kKeyRight), false, {"4:raw:\x83"}},
        {"an unhandled release", Event(kEventLeftUp, 0, 150, 150), false, {"4:mouse:up"}},
        {"a key with overlaymouse", Event(kEventKeyDown, 'A'), true, {}},
        {"a release with overlaymouse", Event(kEventLeftUp, 0, 150, 150), true, {}},
        {"a key-up", Event(kEventKeyUp, 'A'), false, {}},
        {"a press", Event(kEventLeftDown, 0, 150, 150), false, {}},
        {"a character", Event(kEventChar, 'A'), false, {}},
    };
    for (const Case& c : cases) {
        TPlatform::SetConfig(settingkey::kOverlayMouse, c.overlayMouse ? "1" : "0");
        while (TMessage* message = mManager.TakePostedMessage())
            delete message;
        TPoint local{c.event.x, c.event.y};
        TWindow* target = mModal->FindDeepestAt(local, TWindow::kAnyDepth, &local);
        TPlatformEvent event = c.event;
        if (event.type == kEventLeftUp || event.type == kEventLeftDown) {
            event.x = local.x;
            event.y = local.y;
        } else {
            target = mDeep;  // the focus window
        }
        EXPECT_FALSE(target->HandleEvent(event, false)) << c.what;
        EXPECT_EQ(Posted(), c.posted) << c.what;
    }

    // A key that is taken posts nothing.
    TPlatform::SetConfig(settingkey::kOverlayMouse, "0");
    while (TMessage* message = mManager.TakePostedMessage())
        delete message;
    mFront->takes = {"key"};
    EXPECT_TRUE(mDeep->HandleEvent(Event(kEventKeyDown, 'A'), false));
    EXPECT_THAT(Posted(), IsEmpty());
}

}  // namespace
