// The event pump's mouse translation: positions, buttons and their codes, the wheel, the extra
// buttons, the focus click, the input lock, capture, hover and leave, and the relative mouse
// mode with its centre.
#include "platform/display/dxcontext.h"
#include "port/window/input.h"
#include "port/system/lasterror.h"
#include "port/window/vkeys.h"
#include "pumpfixture.h"

namespace {

using port::MouseButton;
using port::control::InjectButton;
using port::control::InjectMouseMoveClient;
using pump_testing::Describe;
using pump_testing::PumpTest;

class MouseTest : public PumpTest {
protected:
    void StartAt(int x, int y) {
        Start();
        InjectMouseMoveClient(mWindow, x, y);
        Settle();
    }

    // Presses and releases the button and answers the events until the queue is dry.
    std::vector<TPlatformEvent> Click(MouseButton button) {
        InjectButton(button, true);
        InjectButton(button, false);
        return Settle();
    }
};

TEST_F(MouseTest, MovesCarryThePosition) {
    StartAt(0, 0);
    InjectMouseMoveClient(mWindow, 30, 40);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventMouseMove) << Describe(event);
    EXPECT_EQ(event.x, 30);
    EXPECT_EQ(event.y, 40);
    EXPECT_EQ(event.value, 0);
    EXPECT_EQ(event.extra, 0);
    // Through the display, in game coordinates.
    MakeDisplay();
    mPlatform->SetScale(2.0f, 2.0f);
    InjectMouseMoveClient(mWindow, 100, 61);
    event = Turn();
    EXPECT_EQ(event.type, kEventMouseMove);
    EXPECT_EQ(event.x, 50);
    EXPECT_EQ(event.y, 30);
}

TEST_F(MouseTest, ButtonCodesAndModifiers) {
    StartAt(12, 34);
    port::control::InjectKey(VK_SHIFT, true);
    Settle();
    struct {
        MouseButton button;
        bool down;
        int type;
        int value;
        int extra;
    } cases[] = {
        {MouseButton::Left, true, kEventLeftDown, 0, kMouseShift},
        {MouseButton::Left, false, kEventLeftUp, 0, 0},
        {MouseButton::Right, true, kEventButton, kButtonRightDown, kMouseShift},
        {MouseButton::Right, false, kEventButton, kButtonRightUp, 0},
        {MouseButton::Middle, true, kEventButton, kButtonMiddleDown, kMouseShift},
        {MouseButton::Middle, false, kEventButton, kButtonMiddleUp, 0},
        {MouseButton::X1, true, kEventButton, kButtonExtra1Down, 0},
        {MouseButton::X2, true, kEventButton, kButtonExtra2Down, 0},
    };
    // The extra buttons are told apart by the buttons held: one at a time.
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.button) << c.down);
        InjectButton(c.button, c.down);
        TPlatformEvent event = Turn();
        EXPECT_EQ(event.type, c.type) << Describe(event);
        EXPECT_EQ(event.value, c.value);
        EXPECT_EQ(event.extra, c.extra);
        EXPECT_EQ(event.x, 12);
        EXPECT_EQ(event.y, 34);
        if (c.button == MouseButton::X1 || c.button == MouseButton::X2) {
            InjectButton(c.button, false);
        }
        Settle();
    }
}

TEST_F(MouseTest, ExtraButtonsHaveNoUpEvents) {
    StartAt(5, 5);
    for (MouseButton button : {MouseButton::X1, MouseButton::X2}) {
        std::vector<TPlatformEvent> events = Click(button);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events[0].type, kEventButton);
        for (size_t i = 1; i < events.size(); ++i) {
            EXPECT_NE(events[i].type, kEventButton) << Describe(events[i]);
            EXPECT_NE(events[i].type, kEventLeftUp);
        }
    }
}

TEST_F(MouseTest, WheelSign) {
    StartAt(5, 6);
    struct {
        int delta;
        int code;
    } cases[] = {{120, kButtonWheelAway}, {-120, kButtonWheelToward}, {240, kButtonWheelAway}};
    for (const auto& c : cases) {
        port::control::InjectWheel(c.delta);
        TPlatformEvent event = Turn();
        EXPECT_EQ(event.type, kEventButton) << Describe(event);
        EXPECT_EQ(event.value, c.code) << c.delta;
        EXPECT_EQ(event.x, 5);
        EXPECT_EQ(event.y, 6);
    }
    // The wheel carries the modifiers too.
    port::control::InjectKey(VK_CONTROL, true);
    Settle();
    port::control::InjectWheel(-120);
    EXPECT_EQ(Turn().extra, kMouseCtrl);
}

TEST_F(MouseTest, TheActivatingClickIsSwallowed) {
    StartAt(50, 50);
    port::control::InjectFocus(nullptr);  // another program comes to the front
    Settle();
    ASSERT_NE(GetForegroundWindow(), mWindow);

    std::vector<TPlatformEvent> first = Click(MouseButton::Left);
    EXPECT_TRUE(OfType(first, kEventLeftDown).empty());
    EXPECT_TRUE(OfType(first, kEventLeftUp).empty());
    EXPECT_EQ(GetForegroundWindow(), mWindow);

    // A second click within the 400 ms passes: the release ended the focus click.
    port::control::AdvanceTime(100);
    std::vector<TPlatformEvent> second = Click(MouseButton::Left);
    EXPECT_EQ(OfType(second, kEventLeftDown).size(), 1u);
    EXPECT_EQ(OfType(second, kEventLeftUp).size(), 1u);
}

TEST_F(MouseTest, AClickAfterTheFocusTimePasses) {
    StartAt(50, 50);
    port::control::InjectFocus(nullptr);
    Settle();
    InjectButton(MouseButton::Left, true);
    std::vector<TPlatformEvent> press = Settle();
    EXPECT_TRUE(OfType(press, kEventLeftDown).empty());
    port::control::AdvanceTime(400);
    InjectButton(MouseButton::Left, false);
    EXPECT_EQ(OfType(Settle(), kEventLeftUp).size(), 1u);
}

TEST_F(MouseTest, TheInputLockDropsPressesAndReleases) {
    StartAt(20, 20);
    pump_testing::gSystem.inputLocked = true;
    for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle}) {
        InjectButton(button, true);
        EXPECT_EQ(Turn().type, kEventNothing);
        InjectButton(button, false);
        EXPECT_EQ(Turn().type, kEventNothing);
        Settle();
    }
    port::control::InjectWheel(120);
    EXPECT_EQ(Turn().type, kEventNothing);
    EXPECT_EQ(GetCapture(), nullptr);  // nothing was captured either
}

TEST_F(MouseTest, PressesCaptureAndReleasesLoseTheCapture) {
    StartAt(20, 20);
    InjectButton(MouseButton::Left, true);
    EXPECT_EQ(Turn().type, kEventLeftDown);
    EXPECT_EQ(GetCapture(), mWindow);
    // The capture moving to the main window itself gives nothing.
    Settle();
    InjectButton(MouseButton::Left, false);
    EXPECT_EQ(Turn().type, kEventLeftUp);
    EXPECT_EQ(GetCapture(), nullptr);
    // Released: the capture went to no window, which is another than the main window.
    std::vector<TPlatformEvent> after = Settle();
    std::vector<TPlatformEvent> lost = OfType(after, kEventMouseLeft);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].x, 0);
    EXPECT_EQ(lost[0].y, 0);
}

TEST_F(MouseTest, CaptureChangedToAnotherWindow) {
    StartAt(20, 20);
    HWND other = port::control::CreateForeignWindow({});
    PostMessageA(mWindow, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(other));
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventMouseLeft) << Describe(event);
    EXPECT_EQ(event.x, 0);
    EXPECT_EQ(event.y, 0);
    PostMessageA(mWindow, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(mWindow));
    EXPECT_EQ(Turn().type, kEventNothing);
}

TEST_F(MouseTest, HoverAfterTheHoverTime) {
    StartAt(10, 10);
    InjectMouseMoveClient(mWindow, 70, 80);
    DWORD moved = TPlatform::GetTimer();
    EXPECT_EQ(Turn().type, kEventMouseMove);
    EXPECT_TRUE(Pump().hoverArmed);
    EXPECT_TRUE(Pump().leaveArmed);
    // Idle turns wait 1 ms each: the hover comes on the turn after 400 ms.
    TPlatformEvent event;
    for (int turn = 0; turn < 1000; ++turn) {
        event = Turn();
        if (event.type == kEventMouseHover) break;
    }
    ASSERT_EQ(event.type, kEventMouseHover);
    DWORD waited = TPlatform::GetTimer() - moved;
    EXPECT_GE(waited, 400u);
    EXPECT_LE(waited, 402u);
    EXPECT_EQ(event.x, 70);
    EXPECT_EQ(event.y, 80);
}

TEST_F(MouseTest, TrackingIsRetriedAfterAFailure) {
    StartAt(10, 10);
    Pump().hoverArmed = Pump().leaveArmed = false;
    port::control::InjectFailure("TrackMouseEvent", ERROR_INVALID_PARAMETER, 2);
    InjectMouseMoveClient(mWindow, 11, 11);
    EXPECT_EQ(Turn().type, kEventMouseMove);
    EXPECT_FALSE(Pump().hoverArmed);
    EXPECT_FALSE(Pump().leaveArmed);
    InjectMouseMoveClient(mWindow, 12, 12);
    EXPECT_EQ(Turn().type, kEventMouseMove);
    EXPECT_TRUE(Pump().hoverArmed);
    EXPECT_TRUE(Pump().leaveArmed);
}

TEST_F(MouseTest, LeavingTheWindowHidesTheCursorAndReportsThePosition) {
    StartAt(10, 10);
    TPlatformData* display = MakeDisplay();
    InjectMouseMoveClient(mWindow, 30, 30);
    Settle();
    ASSERT_TRUE(display->GetContext()->IsCursorShown());
    POINT origin{0, 0};
    ClientToScreen(mWindow, &origin);
    port::control::InjectMouseMove(origin.x - 5, origin.y + 20);  // out to the left
    std::vector<TPlatformEvent> events = Settle();
    EXPECT_FALSE(display->GetContext()->IsCursorShown());
    std::vector<TPlatformEvent> left = OfType(events, kEventMouseLeft);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].x, -5);
    EXPECT_EQ(left[0].y, 20);
    EXPECT_FALSE(Pump().hoverArmed);
    EXPECT_FALSE(Pump().leaveArmed);
}

class RelativeMouseTest : public MouseTest {
protected:
    void SetUp() override {
        MouseTest::SetUp();
        pump_testing::gSystem.hasScreen = true;
        pump_testing::gSystem.screen = RECT{0, 0, 800, 600};
        StartAt(10, 10);
        // A window as large as the desktop, so that the centre is inside it.
        SetWindowPos(mWindow, nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
        Settle();
        MakeDisplay();
        mPlatform->SetScale(1.5f, 1.5f);
        ClientToScreen(mWindow, &mOrigin);
    }

    POINT Cursor() {
        POINT cursor{};
        GetCursorPos(&cursor);
        return POINT{cursor.x - mOrigin.x, cursor.y - mOrigin.y};
    }

    POINT mOrigin{0, 0};
};

TEST_F(RelativeMouseTest, TheCentreIsTheRootWindowsMiddleInScreenPixels) {
    mApp->SetMouseMode(1);
    EXPECT_EQ(mApp->GetMouseMode(), 1);
    EXPECT_EQ(Cursor().x, 600);
    EXPECT_EQ(Cursor().y, 450);
    EXPECT_EQ(Pump().centre.x, 400);
    EXPECT_EQ(Pump().centre.y, 300);
}

TEST_F(RelativeMouseTest, MovesGiveTheDeltaAndReturnToTheCentre) {
    mApp->SetMouseMode(1);
    Settle();
    InjectMouseMoveClient(mWindow, 615, 441);  // game (410, 294)
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventMouseMove) << Describe(event);
    EXPECT_EQ(event.x, 10);
    EXPECT_EQ(event.y, -6);
    EXPECT_EQ(Cursor().x, 600);
    EXPECT_EQ(Cursor().y, 450);
    // The move back to the centre gives nothing, and says so.
    std::vector<TPlatformEvent> rest = Settle();
    EXPECT_TRUE(OfType(rest, kEventMouseMove).empty());
    InjectMouseMoveClient(mWindow, 600, 450);
    event = Turn();
    EXPECT_EQ(event.type, kEventNothing) << Describe(event);
    EXPECT_EQ(event.x, 0);
}

TEST_F(RelativeMouseTest, LeavingPutsTheCursorBackByTheDelta) {
    mApp->SetMouseMode(1);
    Settle();
    // The cursor is 20 game pixels right of the centre when the window hears it left.
    SetCursorPos(mOrigin.x + 630, mOrigin.y + 450);
    SendMessageA(mWindow, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Cursor().x, 600);
    EXPECT_EQ(Cursor().y, 450);
    EXPECT_FALSE(Pump().mouseLeft);  // no leave event in relative mode
}

TEST_F(RelativeMouseTest, BackToNormalKeepsTheCursor) {
    mApp->SetMouseMode(1);
    mApp->SetMouseMode(0);
    EXPECT_EQ(mApp->GetMouseMode(), 0);
    Settle();
    InjectMouseMoveClient(mWindow, 90, 60);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventMouseMove);
    EXPECT_EQ(event.x, 60);
    EXPECT_EQ(event.y, 40);
}

}  // namespace
