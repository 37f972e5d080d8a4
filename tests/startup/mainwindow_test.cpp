#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "mainwindowfixture.h"
#include "platform/display/dxcontext.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/image/pngdecoder.h"
#include "platform/platformdata.h"
#include "platform/systemcursorimage.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/system/globalmem.h"
#include "port/system/textconv.h"
#include "port/window/clipboard.h"
#include "port/window/input.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace startup_test {
namespace {

constexpr const char* kTitle = "\xC3\x9C" "mbrava \xE2\x82\xAC";  // "Ümbrava €"

std::u16string WideTitle(HWND window) {
    WCHAR buffer[64] = {};
    GetWindowTextW(window, buffer, 64);
    return port::WideFrom(buffer);
}

std::string AnsiTitle(HWND window) {
    char buffer[64] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

TEST_F(MainWindowTest, TitleInUnicodeModeIsTheUtf8TextReadAsUtf8) {
    UseUnicodeMode();
    RunWith("", [](TPlatform* platform) {
        ASSERT_TRUE(platform->GetPlatform()->IsUnicodeMode());
        platform->SetWindowTitle(kTitle);
        EXPECT_EQ(WideTitle(platform->GetPlatform()->GetMainWindow()), u"\u00DCmbrava \u20AC");
    });
}

TEST_F(MainWindowTest, TitleInAnsiModeKeepsTheBytesReadAsWindows1252) {
    RunWith("", [](TPlatform* platform) {
        ASSERT_FALSE(platform->GetPlatform()->IsUnicodeMode());
        HWND window = platform->GetPlatform()->GetMainWindow();
        platform->SetWindowTitle(kTitle);
        EXPECT_EQ(AnsiTitle(window), kTitle);
        // The A title holds the UTF-8 bytes, so a Unicode reader sees them as Windows-1252.
        EXPECT_EQ(WideTitle(window), port::Utf8ToUtf16(port::AnsiToUtf8(kTitle)));
        EXPECT_NE(WideTitle(window), u"\u00DCmbrava \u20AC");
    });
}

TEST_F(MainWindowTest, OpenUrlOnItsOwnGivesOnlyLinksToTheSystemOpener) {
    RunWith("", [](TPlatform* platform) {
        platform->OpenURL("https://example.com/umbrava?x=1");
        platform->OpenURL("file:///etc/passwd");
        platform->OpenURL("calc.exe");
        platform->OpenURL("mailto:someone@example.com");
    });
    std::vector<std::vector<std::string>> expected{
        {"xdg-open", "https://example.com/umbrava?x=1"},
        {"xdg-open", "mailto:someone@example.com"}};
    EXPECT_EQ(mLaunched, expected);
}

TEST_F(MainWindowTest, OpenUrlEmbeddedRunsTheHostProgramWithTheLink) {
    HWND host = MakeForeign(800, 600);
    RunWith(HostLine(host, "-host=/opt/portal/browser --kiosk"), [](TPlatform* platform) {
        platform->OpenURL("https://example.com/a");
        platform->OpenURL("file:///etc/passwd");
    });
    std::vector<std::vector<std::string>> expected{{"/opt/portal/browser", "https://example.com/a"}};
    EXPECT_EQ(mLaunched, expected);

    mLaunched.clear();
    RunWith(HostLine(host), [](TPlatform* platform) { platform->OpenURL("https://example.com/b"); });
    expected = {{"xdg-open", "https://example.com/b"}};  // "iexplore.exe": the system's opener
    EXPECT_EQ(mLaunched, expected);
}

TEST_F(MainWindowTest, OpenUrlHostedWithTheWishMinimisesTheHostsTopWindow) {
    HWND frame = MakeForeign(1024, 768);
    HWND host = MakeForeign(800, 600, frame);
    RunWith(HostLine(host, "-pq=portal"), [&](TPlatform* platform) {
        platform->OpenURL("https://example.com/before");
        EXPECT_FALSE(IsIconic(frame));
        EXPECT_TRUE(platform->SetFullscreen(true));
        platform->OpenURL("https://example.com/after");
        EXPECT_TRUE(IsIconic(frame));
    });
    EXPECT_EQ(mLaunched.size(), 2u);
}

TEST_F(MainWindowTest, HostedFullscreenIsAWishToldToTheHost) {
    HWND host = MakeForeign(800, 600);
    RunWith(HostLine(host, "-pq=portal"), [&](TPlatform* platform) {
        platform->SetupScreen(800, 600, false);
        TPlatformData* display = platform->GetPlatform()->GetPlatformData();
        ASSERT_NE(display, nullptr);
        port::control::ClearForeignMessages(host);

        EXPECT_TRUE(platform->SetFullscreen(true));
        EXPECT_TRUE(platform->IsFullscreen());
        EXPECT_FALSE(display->IsFullscreen());
        EXPECT_TRUE(platform->SetFullscreen(false));
        EXPECT_FALSE(platform->IsFullscreen());

        std::vector<std::pair<WPARAM, LPARAM>> told;
        for (const auto& message : port::control::ForeignMessages(host)) {
            if (message.message == WM_USER) told.emplace_back(message.wParam, message.lParam);
        }
        std::vector<std::pair<WPARAM, LPARAM>> expected{{1, 0}, {0, 0}};
        EXPECT_EQ(told, expected);
    });
}

TEST_F(MainWindowTest, NotHostedFullscreenIsTheDisplays) {
    RunWith("", [](TPlatform* platform) {
        EXPECT_FALSE(platform->IsFullscreen());     // no display yet
        EXPECT_FALSE(platform->SetFullscreen(true));
        platform->SetupScreen(800, 600, true);
        EXPECT_TRUE(platform->IsFullscreen());
        EXPECT_TRUE(platform->GetPlatform()->GetPlatformData()->IsFullscreen());
    });
}

TEST_F(MainWindowTest, ActiveWhenTheForegroundIsTheWindowOrHostedAnAncestor) {
    HWND frame = MakeForeign(1024, 768);
    HWND host = MakeForeign(800, 600, frame);
    struct Row {
        const char* extra;
        bool activeWithFrameInFront;
    };
    for (Row row : {Row{"-pq=portal", true}, Row{"", false}}) {
        RunWith(HostLine(host, row.extra), [&](TPlatform* platform) {
            port::control::InjectFocus(frame);
            EXPECT_EQ(platform->IsActive(), row.activeWithFrameInFront) << row.extra;
            port::control::InjectFocus(nullptr);
            EXPECT_FALSE(platform->IsActive()) << row.extra;
        });
    }
    RunWith("", [](TPlatform* platform) {
        HWND window = platform->GetPlatform()->GetMainWindow();
        port::control::InjectFocus(window);
        EXPECT_TRUE(platform->IsActive());
        port::control::InjectFocus(nullptr);
        EXPECT_FALSE(platform->IsActive());
    });
}

}  // namespace
}  // namespace startup_test
