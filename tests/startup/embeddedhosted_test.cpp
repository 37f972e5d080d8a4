// The two hosting settings end to end, one block per effect: embedded in a host window ("-wnd=",
// or "--axtest" with the program's own window as host) and hosted under a portal page ("-pq=").
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "mainwindowfixture.h"
#include "online/portal.h"
#include "platform/platformdata.h"
#include "platform/platformevent.h"
#include "platform/win32platform.h"
#include "port/window/activation.h"
#include "port/window/input.h"
#include "port/window/vkeys.h"
#include "port/window/messages.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "support/tempdir.h"

namespace startup_test {
namespace {

std::string Folder(const str& folder) {
    return folder.c_str();
}

// The event types of the pump's turns up to the first idle one.
std::vector<int> Settle(TPlatform* platform) {
    std::vector<int> types;
    for (int i = 0; i < 200; ++i) {
        TPlatformEvent event;
        platform->GetEvent(event);
        if (event.type == kEventIdle) return types;
        types.push_back(event.type);
    }
    ADD_FAILURE() << "the queue never ran dry";
    return types;
}

// Alt+Enter through the pump; the events it gave.
std::vector<int> PressAltEnter(TPlatform* platform) {
    SetFocus(platform->GetPlatform()->GetMainWindow());
    Settle(platform);
    port::control::InjectKey(VK_MENU, true);
    Settle(platform);
    port::control::InjectKey(VK_RETURN, true);
    std::vector<int> events = Settle(platform);
    port::control::InjectKey(VK_RETURN, false);
    port::control::InjectKey(VK_MENU, false);
    Settle(platform);
    return events;
}

bool Contains(const std::vector<int>& types, int type) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

TEST_F(MainWindowTest, EmbeddedModeEffects) {
    // The desktop holds the host's client area (the display set-up ends a game whose scaled
    // window would not fit).
    port::control::SetDesktop(2560, 1600, 32);
    HWND host = MakeForeign(1200, 900);
    HWND window = nullptr;
    RunWith(HostLine(host, "-host=/usr/bin/viewer"), [&](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        window = shell->GetMainWindow();
        // A child of the host, and "activex" = "1".
        EXPECT_EQ(GetParent(window), host);
        EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_CHILD, 0);
        EXPECT_EQ(std::string(TPlatform::GetConfig("activex", "").c_str()), "1");
        // The display scale is the host's client width over the game's, in a window.
        platform->SetupScreen(600, 450, true);
        float scale = 0.0f;
        EXPECT_TRUE(shell->GetEmbeddedScale(&scale));
        EXPECT_FLOAT_EQ(scale, 2.0f);
        EXPECT_FALSE(shell->GetPlatformData()->IsFullscreen());
        // Links open through the "-host=" program.
        platform->OpenURL("https://example.com/");
        // Without "-pq=": no log file, and the data folders are the program folder.
        EXPECT_FALSE(shell->IsHostedMode());
        std::string programFolder = mProgramFolder.substr(0, mProgramFolder.size() - 1);
        EXPECT_EQ(Folder(shell->GetUserDataFolder()), programFolder);
        EXPECT_EQ(Folder(shell->GetCommonDataFolder()), programFolder);
        // Full screen is the display's, not a wish.
        EXPECT_FALSE(platform->IsFullscreen());
        // Alt+Enter is ignored.
        EXPECT_FALSE(Contains(PressAltEnter(platform), kEventFullscreenSwitch));
        EXPECT_FALSE(shell->GetPlatformData()->IsFullscreen());
        // A mouse press gives the main window the focus first, and a click that activates the
        // window is not swallowed as a focus click.
        port::control::InjectFocus(nullptr);
        Settle(platform);
        port::control::InjectMouseMoveClient(window, 20, 20);
        port::control::InjectButton(port::MouseButton::Left, true);
        EXPECT_TRUE(Contains(Settle(platform), kEventLeftDown));
        EXPECT_EQ(GetFocus(), window);
        port::control::InjectButton(port::MouseButton::Left, false);
        Settle(platform);
        // The window's size is not held fixed.
        SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right - client.left, 300);
        EXPECT_EQ(client.bottom - client.top, 200);
    });
    std::vector<std::vector<std::string>> expected{{"/usr/bin/viewer", "https://example.com/"}};
    EXPECT_EQ(mLaunched, expected);
    EXPECT_FALSE(std::filesystem::exists(UserFolder() + "/logfile.txt"));
    // The teardown destroys the program's own child window, not the host.
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindow(host));
}

TEST_F(MainWindowTest, AxTestTeardownKeepsTheWindowThatIsTheHost) {
    HWND window = nullptr;
    RunWith("--axtest", [&](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        window = shell->GetMainWindow();
        EXPECT_TRUE(shell->IsEmbedded());
        EXPECT_EQ(shell->GetHostWindow(), window);
        platform->SetupScreen(240, 180, true);
        float scale = 0.0f;
        EXPECT_TRUE(shell->GetEmbeddedScale(&scale));
        EXPECT_FLOAT_EQ(scale, 2.0f);  // the own client area is 480 wide
        EXPECT_FALSE(shell->GetPlatformData()->IsFullscreen());
    });
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, HostedModeEffects) {
    HWND frame = MakeForeign(1280, 1024);
    HWND host = MakeForeign(800, 600, frame);
    RunWith(HostLine(host, "-pq=session"), [&](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        // The window manager's frame pacing reads these two.
        EXPECT_TRUE(shell->IsHostedMode());
        float scale = 0.0f;
        EXPECT_TRUE(shell->GetEmbeddedScale(&scale));
        // The first portal mode is on.
        EXPECT_TRUE(IsMsnMode());
        // The active test accepts an ancestor in front.
        port::control::InjectFocus(frame);
        EXPECT_TRUE(platform->IsActive());
        // The full-screen wish replaces full screen; the display stays windowed.
        platform->SetupScreen(800, 600, true);
        EXPECT_TRUE(platform->IsFullscreen());
        EXPECT_FALSE(shell->GetPlatformData()->IsFullscreen());
        // Alt+Enter switches the wish, not the display.
        EXPECT_TRUE(Contains(PressAltEnter(platform), kEventFullscreenSwitch));
        EXPECT_FALSE(platform->IsFullscreen());
        EXPECT_FALSE(shell->GetPlatformData()->IsFullscreen());
        EXPECT_TRUE(platform->SetFullscreen(true));
        // Links minimise the host's top window while the wish is set.
        platform->OpenURL("https://example.com/");
        EXPECT_TRUE(IsIconic(frame));
        // The log file and the special data folders are used though embedded.
        EXPECT_NE(Folder(shell->GetUserDataFolder()) + "/", mProgramFolder);
        // The pump ends the loop when the host window disappears.
        port::control::DestroyForeignWindow(frame);
        TPlatformEvent event;
        platform->GetEvent(event);
        EXPECT_EQ(event.type, kEventQuit);
    });
    EXPECT_TRUE(std::filesystem::exists(UserFolder() + "/logfile.txt"));
    bool toldFullscreen = false;
    for (const auto& message : port::control::ForeignMessages(host)) {
        toldFullscreen |= message.message == WM_USER && message.wParam == 1;
    }
    EXPECT_TRUE(toldFullscreen);
}

}  // namespace
}  // namespace startup_test
