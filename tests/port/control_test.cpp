// control::Reset puts back every setting of the control plane, so that no test can leave one for
// the next.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "port/control.h"
#include "port/startup.h"
#include "port/system/clock.h"
#include "port/system/lasterror.h"
#include "port/system/process.h"
#include "port/system/shell.h"
#include "port/system/sync.h"
#include "port/system/version.h"
#include "port/window/clipboard.h"
#include "port/window/messagebox.h"
#include "port/window/metrics.h"
#include "port/window/window.h"
#include "support/tempdir.h"

namespace {

std::string ModulePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string FolderPath(int folder) {
    char path[MAX_PATH] = {};
    return SHGetFolderPathA(nullptr, folder, nullptr, 0, path) == S_OK ? path : "<none>";
}

TEST(ControlResetTest, PutsEveryOverrideBack) {
    testing_support::TempDir dir;
    const std::string realModule = ModulePath();
    const std::string realDesktop = FolderPath(CSIDL_DESKTOP);
    const DWORD realVersion = GetVersion();
    DWORD handle = 0;
    const DWORD versionSize = GetFileVersionInfoSizeA("/proc/self/exe", &handle);
    ASSERT_NE(versionSize, 0u);

    port::control::UseFakeClock(true);
    port::control::SetTime(1234);
    port::control::SetSleepAdvancesClock(true);
    port::control::InjectFailure("CreateMutexA", ERROR_ACCESS_DENIED, -1);
    port::control::SetOsVersion(10, 0, 19041);
    port::control::SetSpecialFolder(CSIDL_DESKTOP, dir.Path());
    port::control::SetModulePath(dir.File("other.exe"));
    port::control::SetVersionInfoHidden(true);
    port::control::SetDesktop(640, 480, 8);
    port::control::SetSystemMetric(SM_CYCAPTION, 40);
    port::control::SetClipboardText("left behind");
    MessageBoxA(nullptr, "text", "caption", MB_OK);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "LeftBehind";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    ASSERT_NE(CreateWindowExA(0, "LeftBehind", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);

    port::control::Reset();

    EXPECT_FALSE(port::control::IsFakeClock());
    port::control::UseFakeClock(true);
    EXPECT_EQ(timeGetTime(), 0u);
    Sleep(5);
    EXPECT_EQ(timeGetTime(), 0u) << "Sleep still moves the fake clock";
    port::control::UseFakeClock(false);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);
    EXPECT_EQ(GetVersion(), realVersion);
    EXPECT_EQ(FolderPath(CSIDL_DESKTOP), realDesktop);
    EXPECT_EQ(ModulePath(), realModule);
    EXPECT_EQ(GetFileVersionInfoSizeA("/proc/self/exe", &handle), versionSize);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
    std::string text;
    EXPECT_FALSE(port::control::ClipboardText(&text)) << text;
    EXPECT_TRUE(port::control::MessageBoxes().empty());
    EXPECT_EQ(FindWindowA("LeftBehind", nullptr), nullptr);
    EXPECT_STREQ(port::WindowBackendName(), "headless");
}

}  // namespace
