// The main window's procedure: the hit test, the size lock, minimise and restore, close, the
// host messages, the cursor, the display change, activation, a window whose data does not hold
// the application object yet, and the right button of an embedded window.
#include "audio/soundmanager.h"
#include "math/rect.h"
#include "platform/display/dxcontext.h"
#include "platform/draw/renderer.h"
#include "port/system/control.h"
#include "port/window/cursor.h"
#include "port/window/input.h"
#include "port/window/menu.h"
#include "port/window/metrics.h"
#include "pumpfixture.h"

namespace {

using pump_testing::Describe;
using pump_testing::gSystem;
using pump_testing::PumpTest;

using WindowProcTest = PumpTest;

TEST_F(WindowProcTest, NoSizingByTheMouse) {
    Start();
    RECT frame{};
    GetWindowRect(mWindow, &frame);
    POINT client{0, 0};
    ClientToScreen(mWindow, &client);
    struct {
        int x;
        int y;
        LRESULT hit;
    } cases[] = {
        {client.x + 10, client.y + 10, HTCLIENT},
        {frame.left + 1, client.y + 50, HTNOWHERE},       // left border
        {frame.right - 1, frame.bottom - 1, HTNOWHERE},   // bottom-right corner
        {client.x + 50, frame.top + 1, HTNOWHERE},        // top border
        {client.x + 50, client.y - 5, HTCAPTION},         // the caption stays
    };
    for (const auto& c : cases) {
        LRESULT hit = SendMessageA(mWindow, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y));
        EXPECT_EQ(hit, c.hit) << c.x << ", " << c.y;
    }
}

class SizeLockTest : public WindowProcTest {
protected:
    // Asks for a 300 x 200 frame; answers the frame's size.
    TRect Resize() {
        SetWindowPos(mWindow, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        RECT frame{};
        GetWindowRect(mWindow, &frame);
        return TRect{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    }
    TRect Locked() const {
        return TRect{0, 0, 640 + 2 * GetSystemMetrics(SM_CXSIZEFRAME),
                    480 + 2 * GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION)};
    }
};

TEST_F(SizeLockTest, FromVersion51TheFrameFollowsTheViewport) {
    port::control::SetOsVersion(5, 1, 2600);
    Start();
    MakeDisplay();
    TRenderer::GetInstance()->PushViewport(TRect{0, 0, 640, 480});
    TRect size = Resize();
    EXPECT_EQ(size.right, Locked().right);
    EXPECT_EQ(size.bottom, Locked().bottom);
}

TEST_F(SizeLockTest, NotBeforeVersion51) {
    port::control::SetOsVersion(5, 0, 2195);
    Start();
    MakeDisplay();
    TRenderer::GetInstance()->PushViewport(TRect{0, 0, 640, 480});
    TRect size = Resize();
    EXPECT_EQ(size.right, 300);
    EXPECT_EQ(size.bottom, 200);
}

TEST_F(SizeLockTest, NotWhenEmbeddedNorFullScreenNorWithoutADisplay) {
    port::control::SetOsVersion(6, 1, 7601);
    Start();
    TRenderer::GetInstance()->PushViewport(TRect{0, 0, 640, 480});
    EXPECT_EQ(Resize().right, 300);  // no display
    TPlatformData* display = MakeDisplay();
    // Only the display's flag, as a full-screen set-up leaves it.
    display->GetRecord()->mFullscreen.store(true);
    EXPECT_EQ(Resize().right, 300);
    display->GetRecord()->mFullscreen.store(false);
    mPlatform->SetEmbedded(true);
    EXPECT_EQ(Resize().right, 300);
    mPlatform->SetEmbedded(false);
    EXPECT_EQ(Resize().right, Locked().right);
}

TEST_F(WindowProcTest, MinimisedTheWindowIsLostInTheBackground) {
    Start();
    port::control::InjectMinimise(mWindow);
    std::vector<TPlatformEvent> events = Settle();
    std::vector<TPlatformEvent> activation = OfType(events, kEventActivation);
    ASSERT_FALSE(activation.empty());
    for (const TPlatformEvent& event : activation) EXPECT_EQ(event.value, 0);
    EXPECT_TRUE(Pump().lostInBackground);
    EXPECT_FALSE(Pump().appActive);
    EXPECT_FALSE(mPlatform->IsActive());

    port::control::InjectRestore(mWindow);
    events = Settle();
    activation = OfType(events, kEventActivation);
    ASSERT_FALSE(activation.empty());
    EXPECT_EQ(activation.back().value, 1);
    EXPECT_FALSE(Pump().lostInBackground);
    EXPECT_TRUE(Pump().appActive);
    EXPECT_TRUE(mPlatform->IsActive());
}

TEST_F(WindowProcTest, MovedFarOffScreenCountsAsMinimised) {
    Start();
    SetWindowPos(mWindow, nullptr, -10001, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Pump().lostInBackground);
    EXPECT_FALSE(Pump().appActive);
    SetWindowPos(mWindow, nullptr, -10000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(Pump().lostInBackground);
    EXPECT_TRUE(Pump().appActive);  // back on screen: active again
}

TEST_F(WindowProcTest, CloseIsReportedAndTheWindowStays) {
    Start();
    port::control::InjectClose(mWindow);
    std::vector<TPlatformEvent> events = Settle();
    EXPECT_EQ(OfType(events, kEventClose).size(), 1u);
    EXPECT_TRUE(IsWindow(mWindow));
    EXPECT_FALSE(Pump().closeRequested);
}

TEST_F(WindowProcTest, HostMessages) {
    Start();
    PostMessageA(mWindow, WM_USER, 42, 0);
    EXPECT_EQ(Turn().type, kEventNothing);
    using Values = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(gSystem.stateInts, (Values{{"windowmessage", 42}}));
    EXPECT_EQ(SendMessageA(mWindow, WM_USER, 1, 0), 1);
    EXPECT_EQ(SendMessageA(mWindow, WM_USER + 100, 0, 0), 1);
    EXPECT_EQ(SendMessageA(mWindow, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(SendMessageA(mWindow, WM_TIMER, 1, 0), 0);
}

TEST_F(WindowProcTest, PassedOnToTheHostParent) {
    HWND host = port::control::CreateForeignWindow({});
    Start("", false, true, host);
    ASSERT_EQ(mPlatform->GetHostParent(), host);
    port::control::ClearForeignMessages(host);
    EXPECT_EQ(SendMessageA(mWindow, WM_USER + 2, 5, 6), 1);
    std::vector<port::control::RecordedMessage> seen = port::control::ForeignMessages(host);
    bool passed = false;
    for (const auto& message : seen) {
        if (message.message == WM_USER + 2 && message.wParam == 5 && message.lParam == 6 &&
            message.sent) {
            passed = true;
        }
    }
    EXPECT_TRUE(passed);
}

TEST_F(WindowProcTest, WithoutTheApplicationObjectInItsDataTheDefaultAnswers) {
    Start();
    LONG_PTR application = SetWindowLongA(mWindow, 0, 0);
    SendMessageA(mWindow, WM_SIZE, SIZE_MINIMIZED, 0);
    SendMessageA(mWindow, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(mWindow, WM_PAINT, 0, 0);
    EXPECT_TRUE(mPlatform->IsActive());
    EXPECT_FALSE(Pump().activationPending);
    EXPECT_TRUE(Pump().appActive);
    EXPECT_FALSE(Pump().paintPending);
    SetWindowLongA(mWindow, 0, application);
}

TEST_F(WindowProcTest, ActivationInFullScreenUnlessForced) {
    Start();
    mApp->CreateSoundManager();
    TSoundManager* sound = mApp->GetSoundManager();
    TPlatformData* display = MakeDisplay();
    Settle();
    display->GetRecord()->mFullscreen.store(true);
    TWin32Platform::SetActive(mWindow, false, false);
    EXPECT_FALSE(sound->IsActive());  // the sound is told all the same
    EXPECT_TRUE(mPlatform->IsActive());
    EXPECT_FALSE(Pump().activationPending);

    TWin32Platform::OnActivateApp(mWindow, false);
    EXPECT_FALSE(mPlatform->IsActive());
    EXPECT_TRUE(Pump().lostInBackground);  // full screen: deactivated means lost
    EXPECT_TRUE(Pump().appActivationChanged);
    TWin32Platform::OnActivateApp(mWindow, true);
    EXPECT_TRUE(sound->IsActive());
    EXPECT_FALSE(Pump().lostInBackground);
}

TEST_F(WindowProcTest, TheDisplaySetsTheCursorInTheClientArea) {
    Start();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    auto setCursor = [&](LRESULT hit) {
        SetCursor(nullptr);
        return SendMessageA(mWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(mWindow),
                            MAKELPARAM(static_cast<int>(hit), WM_MOUSEMOVE));
    };
    // No display: the default puts up the class cursor.
    setCursor(HTCLIENT);
    EXPECT_EQ(GetCursor(), arrow);
    // The display's software cursor: no Windows cursor over the client area.
    MakeDisplay();
    SetCursor(arrow);
    EXPECT_EQ(SendMessageA(mWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(mWindow),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(GetCursor(), nullptr);
    // Elsewhere the default.
    setCursor(HTCAPTION);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(WindowProcTest, DesktopMetricsAreReadAgainWhileInactive) {
    Start();
    TPlatformData* display = MakeDisplay();
    TDXContext* context = display->GetContext();
    port::control::InjectDisplayChange(800, 600, 32);
    Settle();
    EXPECT_NE(context->GetDesktopWidth(), 800);  // active: the display set-up handles it
    mPlatform->SetActive(false);
    port::control::InjectDisplayChange(1280, 1024, 32);
    Settle();
    EXPECT_EQ(context->GetDesktopWidth(), 1280);
    EXPECT_EQ(context->GetDesktopHeight(), 1024);
}

TEST_F(WindowProcTest, TheSystemMenuPopupGreysSize) {
    Start();
    HMENU menu = GetSystemMenu(mWindow, FALSE);
    ASSERT_NE(menu, nullptr);
    GetSystemMenu(mWindow, TRUE);  // the items back as they were
    EXPECT_EQ(SendMessageA(mWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0), 0);
    MENUITEMINFOA item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(SC_SIZE), FALSE, &item));
    EXPECT_EQ(item.fState & MFS_GRAYED, MFS_GRAYED);
}

// Records what reaches the window procedure, then hands it on.
std::vector<UINT> gSeen;
WNDPROC gOriginal = nullptr;
LRESULT Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gSeen.push_back(message);
    return gOriginal(window, message, wParam, lParam);
}

TEST_F(WindowProcTest, EmbeddedRightButtonsReachThePumpOnly) {
    HWND host = port::control::CreateForeignWindow({});
    Start("", false, true, host);
    gSeen.clear();
    gOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(mWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Recording)));
    port::control::InjectMouseMoveClient(mWindow, 40, 30);
    Settle();
    gSeen.clear();
    port::control::InjectButton(port::MouseButton::Right, true);
    port::control::InjectButton(port::MouseButton::Right, false);
    std::vector<TPlatformEvent> buttons = OfType(Settle(), kEventButton);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].value, kButtonRightDown);
    EXPECT_EQ(buttons[1].value, kButtonRightUp);
    for (UINT message : gSeen) {
        EXPECT_NE(message, WM_RBUTTONDOWN);
        EXPECT_NE(message, WM_RBUTTONUP);
    }
    // The left button is dispatched as always.
    port::control::InjectButton(port::MouseButton::Left, true);
    Settle();
    EXPECT_NE(std::find(gSeen.begin(), gSeen.end(), WM_LBUTTONDOWN), gSeen.end());
    SetWindowLongPtrA(mWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOriginal));
}

TEST_F(WindowProcTest, EmbeddedWindowsTakeNoFocusClick) {
    HWND host = port::control::CreateForeignWindow({});
    Start("", false, true, host);
    SendMessageA(mWindow, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_FALSE(Pump().focusClick);
    mPlatform->SetEmbedded(false);
    SendMessageA(mWindow, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_TRUE(Pump().focusClick);
}

TEST_F(WindowProcTest, DestroyingTheWindowQuits) {
    Start();
    mPlatform->SetOwnWindowHost(false);
    DestroyWindow(mWindow);
    std::vector<TPlatformEvent> events = Settle();
    EXPECT_FALSE(OfType(events, kEventQuit).empty());
}

}  // namespace
