// Code pages, global memory, the clipboard (on both backends) and message boxes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "port/control.h"
#include "port/system/codepage.h"
#include "port/system/globalmem.h"
#include "port/system/lasterror.h"
#include "port/window/clipboard.h"
#include "port/window/messagebox.h"
#include "windowfixture.h"

namespace {

using window_testing::BothBackendsTest;

// What the program does to put text on the clipboard.
bool Put(const std::string& bytes) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (block == nullptr) {
        CloseClipboard();
        return false;
    }
    std::memcpy(GlobalLock(block), bytes.c_str(), bytes.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return true;
}

// What the program does to read it back, in either mode.
std::string Get(bool unicode) {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr)) return "";
    std::string text;
    if (unicode && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        auto* wide = static_cast<const WCHAR*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
        int units = static_cast<int>(std::char_traits<char16_t>::length(wide));
        std::string buffer(static_cast<size_t>(4 * units + 1), '\0');
        int length = WideCharToMultiByte(CP_UTF8, 0, wide, units, buffer.data(), 4 * units + 1,
                                         nullptr, nullptr);
        text = buffer.substr(0, static_cast<size_t>(length));
    } else {
        text = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
    }
    CloseClipboard();
    return text;
}

TEST_P(BothBackendsTest, ClipboardRoundTripInBothViews) {
    const std::string text = "Tribe \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80";
    ASSERT_TRUE(Put(text));
    EXPECT_EQ(Get(true), text);
    EXPECT_EQ(Get(false), text);
    std::string outside;
    ASSERT_TRUE(OutsideClipboard(&outside));
    EXPECT_EQ(outside, text);

    // 8-bit text of an ANSI program comes back as it was, and reads as Windows-1252.
    ASSERT_TRUE(Put("caf\xE9"));
    EXPECT_EQ(Get(false), "caf\xE9");
    EXPECT_EQ(Get(true), "caf\xC3\xA9");

    // Text another program put there.
    PutOutside("\xE2\x82\xAC 5");
    EXPECT_EQ(Get(true), "\xE2\x82\xAC 5");
}

TEST_P(BothBackendsTest, ClipboardNothingWithoutText) {
    // A desktop's clipboard outlasts the programs that filled it: emptied first.
    ClearOutside();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(Get(true), "");
    ASSERT_TRUE(Put("x"));
    ClearOutside();
    EXPECT_EQ(Get(false), "");
    EXPECT_FALSE(OutsideClipboard(nullptr));
}

TEST_P(BothBackendsTest, ClipboardOneOpenerAndInjectedFailures) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);

    port::control::InjectFailure("OpenClipboard", ERROR_ACCESS_DENIED, 1);
    EXPECT_FALSE(Put("a"));
    port::control::InjectFailure("GlobalAlloc", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_FALSE(Put("b"));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    // The failed attempt left the clipboard closed.
    EXPECT_TRUE(Put("c"));
    EXPECT_EQ(Get(false), "c");
}

TEST_P(BothBackendsTest, ClipboardUnicodeTextPutDirectly) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const char16_t wide[] = u"\u00e9\U0001F600";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof wide);
    std::memcpy(GlobalLock(block), wide, sizeof wide);
    GlobalUnlock(block);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
    CloseClipboard();
    EXPECT_EQ(Get(false), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(GlobalMemoryTest, LocksAndSizes) {
    HGLOBAL block = GlobalAlloc(GHND, 10);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 10u);
    char* bytes = static_cast<char*>(GlobalLock(block));
    EXPECT_EQ(bytes[9], 0);
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalLock(block), nullptr);

    // A size that cannot be had fails as Windows does, with no block and the memory error.
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST(CodePageTest, Conversions) {
    WCHAR wide[16];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9\xF0\x9F\x98\x80", -1, wide, 16), 4);
    EXPECT_EQ(wide[0], 0xE9);
    EXPECT_EQ(wide[1], 0xD83D);
    EXPECT_EQ(wide[2], 0xDE00);
    EXPECT_EQ(wide[3], 0);
    // Size queries and a short buffer.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    // Malformed UTF-8.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xFF", 2, wide, 16), 2);
    EXPECT_EQ(wide[1], 0xFFFD);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, wide, 16), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    // The ANSI code page is Windows-1252.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x80\x9F\xFF", 3, wide, 16), 3);
    EXPECT_EQ(wide[0], 0x20AC);
    EXPECT_EQ(wide[1], 0x0178);
    EXPECT_EQ(wide[2], 0x00FF);

    char bytes[16];
    const WCHAR text[] = u"\u20ac\u00e9\U0001F600";
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, 16, nullptr, &usedDefault), 4);
    EXPECT_STREQ(bytes, "\x80\xE9?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), 10);
    const WCHAR lone[] = {0xD800, 'a', 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, -1, bytes, 16, nullptr, nullptr), 5);
    EXPECT_STREQ(bytes,
                 "\xEF\xBF\xBD"
                 "a");
    EXPECT_EQ(WideCharToMultiByte(437, 0, text, -1, bytes, 16, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(MessageBoxTest, RecordedAndNeverBlock) {
    EXPECT_EQ(MessageBoxA(nullptr, "Failed to initialize window.", "Error", MB_OK | MB_ICONERROR),
              IDOK);
    HWND owner = reinterpret_cast<HWND>(0x10010);
    EXPECT_EQ(MessageBoxA(owner, "Question?", "Reconfiguring", MB_YESNO | MB_ICONEXCLAMATION),
              IDYES);
    port::control::SetMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Again?", "Q", MB_YESNO), IDNO);
    std::vector<port::MessageBoxRecord> boxes = port::control::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Failed to initialize window.");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[1].owner, owner);
    EXPECT_EQ(boxes[1].flags, MB_YESNO | MB_ICONEXCLAMATION);
    port::control::ClearMessageBoxes();
    EXPECT_TRUE(port::control::MessageBoxes().empty());
}

}  // namespace
