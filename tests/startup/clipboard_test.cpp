#include <gtest/gtest.h>

#include <string>

#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "port/system/globalmem.h"
#include "port/window/clipboard.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace startup_test {
namespace {

constexpr const char* kClipText = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // "é€😀"

// The CF_TEXT bytes on the clipboard, as a program would read them.
std::string ClipboardAnsiBytes() {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return "<not opened>";
    if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        bytes = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return bytes;
}

TEST_F(MainWindowTest, ClipboardRoundTripInUnicodeMode) {
    UseUnicodeMode();
    RunWith("", [](TPlatform* platform) {
        EXPECT_TRUE(platform->StringToClipboard(kClipText));
        EXPECT_EQ(std::string(platform->GetClipboardText().c_str()), kClipText);
        // Stored as CF_TEXT with its bytes as they are; other programs read the text right.
        EXPECT_EQ(ClipboardAnsiBytes(), kClipText);
        std::string seen;
        ASSERT_TRUE(port::control::ClipboardText(&seen));
        EXPECT_EQ(seen, kClipText);

        port::control::SetClipboardText("\xC3\xB1" "and\xC3\xBA \xF0\x9F\x98\x80");  // "ñandú 😀"
        EXPECT_EQ(std::string(platform->GetClipboardText().c_str()),
                  "\xC3\xB1" "and\xC3\xBA \xF0\x9F\x98\x80");
    });
}

TEST_F(MainWindowTest, ClipboardRoundTripInAnsiModeKeepsTheBytes) {
    RunWith("", [](TPlatform* platform) {
        const char* latin = "caf\xE9";  // Windows-1252 bytes, not UTF-8
        for (const char* text : {latin, kClipText, ""}) {
            EXPECT_TRUE(platform->StringToClipboard(text)) << text;
            EXPECT_EQ(ClipboardAnsiBytes(), text);
            EXPECT_EQ(std::string(platform->GetClipboardText().c_str()), text);
        }
    });
}

TEST_F(MainWindowTest, ClipboardFailuresAnswerFalseOrEmpty) {
    RunWith("", [](TPlatform* platform) {
        ASSERT_TRUE(platform->StringToClipboard("kept"));
        // Each failing step answers false and leaves the clipboard closed.
        for (const char* operation : {"OpenClipboard", "GlobalAlloc", "GlobalLock",
                                      "SetClipboardData"}) {
            port::control::InjectFailure(operation, ERROR_ACCESS_DENIED, 1);
            EXPECT_FALSE(platform->StringToClipboard("lost")) << operation;
            port::control::ClearFailures();
            ASSERT_TRUE(OpenClipboard(nullptr)) << operation << " left the clipboard open";
            CloseClipboard();
        }
        EXPECT_EQ(std::string(platform->GetClipboardText().c_str()), "");  // emptied by the attempt

        ASSERT_TRUE(platform->StringToClipboard("kept"));
        port::control::InjectFailure("OpenClipboard", ERROR_ACCESS_DENIED, 1);
        EXPECT_EQ(std::string(platform->GetClipboardText().c_str()), "");
        port::control::ClearFailures();
        EXPECT_EQ(std::string(platform->GetClipboardText().c_str()), "kept");

        port::control::ClearClipboard();
        EXPECT_EQ(std::string(platform->GetClipboardText().c_str()), "");
    });
}

TEST_F(MainWindowTest, ScriptStringToClipboardPutsItsText) {
    RunWith("", [](TPlatform*) {
        TWindowScript* script = TWindowManager::Get()->GetScript();
        ASSERT_NE(script, nullptr);
        script->DoLuaString("copied = StringToClipboard('from a script')");
        std::string seen;
        ASSERT_TRUE(port::control::ClipboardText(&seen));
        EXPECT_EQ(seen, "from a script");
    });
}

}  // namespace
}  // namespace startup_test
