#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "foundation/log.h"
#include "platform/platform.h"
#include "platform/win32platform.h"
#include "port/system/process.h"
#include "port/system/sync.h"
#include "port/window/control.h"
#include "port/window/menu.h"
#include "port/window/metrics.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "startupfixture.h"
#include "support/printers.h"
#include "support/tempdir.h"

namespace startup_test {
namespace {

using testing_support::ReadFileBytes;

// The lock name a copy of the program at this path takes.
std::string LockName(const std::string& programPath) {
    std::string name;
    for (char c : programPath) {
        if (c != '/' && c != ':') name += static_cast<char>(std::toupper(c));
    }
    return name + "_MUTEX";
}

HWND MakeHost() {
    port::control::ForeignWindowSpec spec;
    spec.rect = RECT{0, 0, 800, 600};
    return port::control::CreateForeignWindow(spec);
}

// What the game main function sees of the main window.
struct WindowView {
    HWND window = nullptr;
    LONG_PTR style = 0;
    LONG_PTR exStyle = 0;
    LONG_PTR data = 0;
    TPlatform* platform = nullptr;
    std::string title;
    std::string hwnd;
    std::string activex;
    RECT rect{};
    RECT client{};
    HWND parent = nullptr;
    HWND host = nullptr;
    DWORD classStyle = 0;
    DWORD windowBytes = 0;
    bool menuGreyed = true;
};

void Look(WindowView& view, TPlatform* platform) {
    TWin32Platform* shell = platform->GetPlatform();
    HWND window = shell->GetMainWindow();
    view.window = window;
    view.platform = platform;
    view.style = GetWindowLongA(window, GWL_STYLE);
    view.exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    view.data = GetWindowLongA(window, 0);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    view.title = title;
    view.hwnd = TPlatform::GetConfig("hwnd", "").c_str();
    view.activex = TPlatform::GetConfig("activex", "").c_str();
    GetWindowRect(window, &view.rect);
    GetClientRect(window, &view.client);
    view.parent = GetParent(window);
    view.host = shell->GetHostWindow();
    view.classStyle = GetClassLongA(window, GCL_STYLE);
    view.windowBytes = GetClassLongA(window, GCL_CBWNDEXTRA);
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu != nullptr) {
        for (UINT position = 0; position < 4; ++position) {
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_STATE;
            GetMenuItemInfoA(menu, position, TRUE, &item);
            view.menuGreyed = view.menuGreyed && (item.fState & MFS_GRAYED) == MFS_GRAYED;
        }
    }
}

TEST_F(StartupTest, SecondInstanceExitsWithoutAWindow) {
    HANDLE held = CreateInstanceMutexA(LockName(mProgramFolder + "umbrava").c_str());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(Run("", false), 0);
    EXPECT_EQ(gGameMainCalls, 0);
    EXPECT_EQ(FindWindowA(TWin32Platform::GetClassName().c_str(), nullptr), nullptr);

    // Several instances allowed: by the caller, "--multiple" (anywhere) and "-wnd=".
    EXPECT_EQ(Run("", true), kReturned);
    EXPECT_EQ(Run("x--multiplex", false), kReturned);
    HWND host = MakeHost();
    char line[64];
    std::snprintf(line, sizeof line, "-wnd=%x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(host)));
    EXPECT_EQ(Run(line, false), kReturned);
    EXPECT_EQ(gGameMainCalls, 3);
    CloseHandle(held);

    // The lock is free again: a single start runs.
    EXPECT_EQ(Run("", false), kReturned);
}

TEST_F(StartupTest, BadHostWindowsExitWithMinusOne) {
    HWND gone = MakeHost();
    port::control::DestroyForeignWindow(gone);
    char line[64];
    std::snprintf(line, sizeof line, "-wnd=%x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(gone)));
    for (const char* commandLine : {"-wnd=0", "-wnd=", static_cast<const char*>(line)}) {
        EXPECT_EQ(Run(commandLine), -1) << commandLine;
    }
    EXPECT_EQ(gGameMainCalls, 0);
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
}

TEST_F(StartupTest, HostLostBeforeTheWindowIsMade) {
    testing_support::TempDir logFolder;
    SetLogFile(logFolder.Path().c_str());
    HWND host = MakeHost();
    TPlatform application;
    application.GetPlatform()->SetHostWindow(host);
    port::control::DestroyForeignWindow(host);
    int code = 0;
    try {
        application.CreateMainWindow();
    } catch (const ExitCalled& exit) {
        code = exit.code;
    }
    EXPECT_EQ(code, -1);
    EXPECT_EQ(application.GetPlatform()->GetMainWindow(), nullptr);
    std::string log = ReadFileBytes(logFolder.File("logfile.txt"));
    EXPECT_NE(log.find("Error: mExternalWindowParent is lost, exiting!"), std::string::npos);
    SetLogFile(nullptr);
}

TEST_F(StartupTest, TopLevelWindow) {
    WindowView view;
    gGameBody = [&](TPlatform* platform, const char*) { Look(view, platform); };
    Run("");
    ASSERT_NE(view.window, nullptr);
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(view.style & ~static_cast<LONG_PTR>(WS_VISIBLE | WS_CLIPSIBLINGS),
              static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX));
    EXPECT_EQ(view.exStyle & WS_EX_APPWINDOW, static_cast<LONG_PTR>(WS_EX_APPWINDOW));
    EXPECT_EQ(view.title, "Brisvel");
    EXPECT_EQ(view.rect.left, 0);
    EXPECT_EQ(view.rect.top, 0);
    EXPECT_EQ(view.rect.right - view.rect.left, 480);
    EXPECT_EQ(view.rect.bottom - view.rect.top, 360);
    EXPECT_EQ(view.classStyle, static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(view.windowBytes, 4u);
    EXPECT_EQ(view.data, reinterpret_cast<LONG_PTR>(view.platform));
    EXPECT_EQ(view.hwnd, std::to_string(static_cast<int>(reinterpret_cast<intptr_t>(view.window))));
    EXPECT_EQ(view.parent, nullptr);
    EXPECT_TRUE(view.menuGreyed);
    EXPECT_EQ(view.activex, "");
    // Destroyed by the teardown.
    EXPECT_FALSE(IsWindow(view.window));
}

TEST_F(StartupTest, EmbeddedWindowIsAChildOfTheHost) {
    HWND host = MakeHost();
    char line[64];
    std::snprintf(line, sizeof line, "-wnd=%x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(host)));
    WindowView view;
    gGameBody = [&](TPlatform* platform, const char*) { Look(view, platform); };
    EXPECT_EQ(Run(line), kReturned);
    EXPECT_EQ(view.style, static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(view.exStyle, 0);
    EXPECT_EQ(view.parent, host);
    EXPECT_EQ(view.activex, "1");
    EXPECT_TRUE(IsWindow(host));
}

TEST_F(StartupTest, AxTestMakesTheClientExactlyTheGameSize) {
    for (int caption : {19, 40}) {  // whatever the frame
        port::control::SetSystemMetric(SM_CYCAPTION, caption);
        WindowView view;
        gGameBody = [&](TPlatform* platform, const char*) { Look(view, platform); };
        EXPECT_EQ(Run("--axtest"), kReturned);
        EXPECT_EQ(view.client.right - view.client.left, 480) << caption;
        EXPECT_EQ(view.client.bottom - view.client.top, 360) << caption;
        EXPECT_EQ(view.activex, "1");
        EXPECT_EQ(view.host, view.window);  // its own window plays the host
        EXPECT_NE(view.style & WS_VISIBLE, 0);
        // The teardown leaves a window that is the host alone.
        EXPECT_TRUE(IsWindow(view.window));
        DestroyWindow(view.window);
    }
}

}  // namespace
}  // namespace startup_test
