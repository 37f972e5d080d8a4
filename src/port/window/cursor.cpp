#include "port/window/cursor.h"

#include <mutex>

#include "port/handletable.h"
#include "port/system/lasterror.h"
#include "port/window/backend.h"
#include "port/window/cursorimage.h"

namespace port {
namespace {

constexpr int kStandardIds[] = {32512, 32513, 32514, 32515, 32642, 32643,
                                32644, 32645, 32646, 32648, 32649, 32650};
constexpr uintptr_t kStandardBase = 0x00090010;
constexpr uintptr_t kProgramIcon = 0x000A0010;
constexpr uintptr_t kApplicationIcon = 0x000A0020;

struct CursorState {
    std::mutex mutex;
    HandleTable<HCURSOR, const CursorImage> images{0x000B0010, 0x10};
    HCURSOR current = reinterpret_cast<HCURSOR>(kStandardBase);  // the arrow
    int count = 0;
};

CursorState& State() {
    static CursorState* state = new CursorState;
    return *state;
}

bool IsStandard(uintptr_t value) {
    return value >= kStandardBase &&
           value < kStandardBase + sizeof kStandardIds / sizeof(int) * 0x10 &&
           (value - kStandardBase) % 0x10 == 0;
}

void Report() {
    bool shown = false;
    HCURSOR cursor = ShownCursor(&shown);
    Backend().CursorChanged(cursor, shown);
}

}  // namespace

HCURSOR AddCursorImage(CursorImage image) {
    return State().images.Add(std::make_shared<const CursorImage>(std::move(image)));
}

std::shared_ptr<const CursorImage> LookupCursorImage(HCURSOR cursor) {
    return State().images.Lookup(cursor);
}

bool IsCursorHandle(HCURSOR cursor) {
    uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
    return IsStandard(value) || value == kProgramIcon || value == kApplicationIcon ||
           State().images.Lookup(cursor) != nullptr;
}

HCURSOR ShownCursor(bool* shown) {
    CursorState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (shown != nullptr) *shown = state.count >= 0 && state.current != nullptr;
    return state.current;
}

void ResetCursors() {
    {
        CursorState& state = State();
        state.images.Clear();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.current = reinterpret_cast<HCURSOR>(kStandardBase);
        state.count = 0;
    }
    Report();
}

}  // namespace port

HCURSOR LoadCursorA(HINSTANCE instance, const char* name) {
    uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (instance == nullptr) {
        for (size_t i = 0; i < sizeof port::kStandardIds / sizeof(int); ++i) {
            if (static_cast<uintptr_t>(port::kStandardIds[i]) == id) {
                return reinterpret_cast<HCURSOR>(port::kStandardBase + i * 0x10);
            }
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HICON LoadIconA(HINSTANCE instance, const char*) {
    return reinterpret_cast<HICON>(instance != nullptr ? port::kProgramIcon
                                                       : port::kApplicationIcon);
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = nullptr;
    {
        port::CursorState& state = port::State();
        std::lock_guard<std::mutex> lock(state.mutex);
        previous = state.current;
        state.current = cursor;
        if (previous == cursor) return previous;
    }
    port::Report();
    return previous;
}

HCURSOR GetCursor() {
    port::CursorState& state = port::State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.current;
}

int ShowCursor(BOOL show) {
    int count = 0;
    {
        port::CursorState& state = port::State();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.count += show ? 1 : -1;
        count = state.count;
    }
    port::Report();
    return count;
}

BOOL DestroyCursor(HCURSOR cursor) {
    uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
    if (port::IsStandard(value) || value == port::kProgramIcon || value == port::kApplicationIcon) {
        return TRUE;
    }
    port::CursorState& state = port::State();
    if (!state.images.Remove(cursor)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL DestroyIcon(HICON icon) {
    return DestroyCursor(icon);
}
