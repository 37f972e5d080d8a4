// The clipboard as the game uses it: text in, text out. The text is stored as CF_TEXT with its
// bytes as they are, in Unicode mode too (where they are UTF-8); reading back in Unicode mode
// takes CF_UNICODETEXT and converts it to UTF-8, so the game's own UTF-8 comes back unchanged
// and text from other programs arrives right.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/win32platform.h"
#include "port/system/codepage.h"
#include "port/system/globalmem.h"
#include "port/window/clipboard.h"

bool TPlatform::StringToClipboard(const str& text) {
    if (!OpenClipboard(mPlatform->GetMainWindow())) return false;
    EmptyClipboard();
    size_t length = std::strlen(text.c_str());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (block == nullptr) {
        CloseClipboard();
        return false;
    }
    void* bytes = GlobalLock(block);
    if (bytes == nullptr) {
        GlobalFree(block);
        CloseClipboard();
        return false;
    }
    std::memcpy(bytes, text.c_str(), length + 1);
    GlobalUnlock(block);
    // The clipboard owns the block only when it took it.
    bool stored = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!stored) GlobalFree(block);
    CloseClipboard();
    return stored;
}

namespace {

// The UTF-16 text of a CF_UNICODETEXT block as UTF-8, read no further than the block.
str UnicodeBlockToUtf8(HGLOBAL block) {
    const auto* wide = static_cast<const WCHAR*>(GlobalLock(block));
    if (wide == nullptr) return str();
    size_t limit = GlobalSize(block) / sizeof(WCHAR);
    size_t units = 0;
    while (units < limit && wide[units] != 0) ++units;
    std::string buffer(4 * units + 1, '\0');
    int written = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), buffer.data(),
                                      static_cast<int>(4 * units), nullptr, nullptr);
    GlobalUnlock(block);
    buffer.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return str(buffer.c_str());
}

// The bytes of a CF_TEXT block up to its terminator, read no further than the block.
str TextBlockBytes(HGLOBAL block) {
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) return str();
    size_t limit = GlobalSize(block);
    size_t length = 0;
    while (length < limit && bytes[length] != '\0') ++length;
    std::string text(bytes, length);
    GlobalUnlock(block);
    return str(text.c_str());
}

}  // namespace

str TPlatform::GetClipboardText() {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return str();
    if (!OpenClipboard(mPlatform->GetMainWindow())) return str();
    str text;
    if (mPlatform->IsUnicodeMode() && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        if (HGLOBAL block = GetClipboardData(CF_UNICODETEXT)) text = UnicodeBlockToUtf8(block);
    } else if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        text = TextBlockBytes(block);
    }
    CloseClipboard();
    return text;
}
