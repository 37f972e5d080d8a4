#include "port/window/clipboard.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "port/failinjection.h"
#include "port/system/globalmem.h"
#include "port/system/lasterror.h"
#include "port/system/textconv.h"
#include "port/window/backend.h"
#include "port/window/control.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

struct ClipboardState {
    std::mutex mutex;
    bool open = false;
    bool written = false;  // text put since the clipboard was opened
    bool hasText = false;
    std::string text;
    std::map<UINT, HGLOBAL> given;     // blocks the program handed over, by format
    std::map<UINT, HGLOBAL> rendered;  // text blocks made for GetClipboardData
};

ClipboardState& State() {
    static ClipboardState* state = new ClipboardState;
    return *state;
}

void FreeBlocks(std::map<UINT, HGLOBAL>& blocks) {
    for (auto& entry : blocks)
        GlobalFree(entry.second);
    blocks.clear();
}

// Replaces the text; the text blocks held so far are freed, except keep.
void SetTextLocked(ClipboardState& state, bool hasText, const std::string& text,
                   HGLOBAL keep = nullptr) {
    FreeBlocks(state.rendered);
    for (UINT format : {CF_TEXT, CF_UNICODETEXT}) {
        auto it = state.given.find(format);
        if (it == state.given.end()) continue;
        if (it->second != keep) GlobalFree(it->second);
        state.given.erase(it);
    }
    state.hasText = hasText;
    state.text = text;
}

// Takes the outside clipboard's text, when the backend has one.
void RefreshFromBackend() {
    bool hasText = false;
    std::string text;
    if (!Backend().ReadClipboard(&hasText, &text)) return;
    ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.written || (state.hasText == hasText && state.text == text)) return;
    SetTextLocked(state, hasText, text);
}

HGLOBAL MakeBlock(const void* data, size_t bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    GlobalUnlock(block);
    return block;
}

// The text of a block: bytes or units up to the terminator, never past the block's end.
template <typename Char>
std::basic_string<Char> ReadBlock(HGLOBAL block) {
    size_t size = GlobalSize(block) / sizeof(Char);
    const Char* data = static_cast<const Char*>(GlobalLock(block));
    if (data == nullptr) return {};
    size_t length = 0;
    while (length < size && data[length] != 0)
        ++length;
    std::basic_string<Char> text(data, length);
    GlobalUnlock(block);
    return text;
}

}  // namespace

void ResetClipboard() {
    ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    FreeBlocks(state.given);
    FreeBlocks(state.rendered);
    state.open = state.written = state.hasText = false;
    state.text.clear();
}

namespace control {

void SetClipboardText(const std::string& utf8) {
    ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    SetTextLocked(state, true, utf8);
}

void ClearClipboard() {
    ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    FreeBlocks(state.given);
    SetTextLocked(state, false, std::string());
}

bool ClipboardText(std::string* utf8) {
    ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (utf8 != nullptr) *utf8 = state.hasText ? ToUtf8(state.text) : std::string();
    return state.hasText;
}

}  // namespace control
}  // namespace port

using port::State;

BOOL OpenClipboard(HWND owner) {
    if (port::ShouldFail("OpenClipboard")) return FALSE;
    if (owner != nullptr && !port::IsLiveWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    {
        port::ClipboardState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.open) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        state.open = true;
        state.written = false;
    }
    port::RefreshFromBackend();
    return TRUE;
}

BOOL CloseClipboard() {
    std::string written;
    bool notify = false;
    {
        port::ClipboardState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.open) {
            SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
            return FALSE;
        }
        state.open = false;
        notify = state.written;
        state.written = false;
        if (notify) written = state.hasText ? port::ToUtf8(state.text) : std::string();
    }
    if (notify) port::Backend().ClipboardWritten(written);
    return TRUE;
}

BOOL EmptyClipboard() {
    port::ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    port::FreeBlocks(state.given);
    port::SetTextLocked(state, false, std::string());
    state.written = true;
    return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL block) {
    if (port::ShouldFail("SetClipboardData")) return nullptr;
    if (block == nullptr || GlobalSize(block) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string text;
    if (format == CF_TEXT) {
        text = port::ReadBlock<char>(block);
    } else if (format == CF_UNICODETEXT) {
        text = port::Utf16ToUtf8(port::ReadBlock<char16_t>(block));
    }
    port::ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (format == CF_TEXT || format == CF_UNICODETEXT) {
        port::SetTextLocked(state, true, text, block);
        state.written = true;
    }
    auto previous = state.given.find(format);
    if (previous != state.given.end() && previous->second != block) GlobalFree(previous->second);
    state.given[format] = block;
    return block;
}

HGLOBAL GetClipboardData(UINT format) {
    port::ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    auto rendered = state.rendered.find(format);
    if (rendered != state.rendered.end()) return rendered->second;
    HGLOBAL block = nullptr;
    if (format == CF_TEXT && state.hasText) {
        block = port::MakeBlock(state.text.c_str(), state.text.size() + 1);
    } else if (format == CF_UNICODETEXT && state.hasText) {
        std::u16string wide = port::Utf8ToUtf16(state.text, true);
        block = port::MakeBlock(wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
    } else {
        auto given = state.given.find(format);
        return given != state.given.end() ? given->second : nullptr;
    }
    if (block != nullptr) state.rendered[format] = block;
    return block;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    port::RefreshFromBackend();
    port::ClipboardState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (format == CF_TEXT || format == CF_UNICODETEXT) return state.hasText ? TRUE : FALSE;
    return state.given.count(format) != 0 ? TRUE : FALSE;
}
