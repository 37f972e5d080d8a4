// The Windows types, handles and constants the program is written against, with the values it
// relies on. Our own definitions: nothing here comes from a platform header.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using UINT = uint32_t;
using BOOL = int;
using HRESULT = int32_t;
using SHORT = int16_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
// Windows' wide characters are UTF-16 units.
using WCHAR = char16_t;

// Handles are opaque: each kind is a pointer to a type of its own that is never defined, so that
// one kind cannot pass for another (a window for a device context, a memory block for a kernel
// object) and callers cannot dereference them. The port layer's tables give them out as small
// numbers and look them up again.
//
// Where Windows itself makes two kinds one, they are one here too: a module is its instance
// (HMODULE is HINSTANCE) and a cursor is an icon (HCURSOR is HICON, so CreateIconIndirect makes
// either). Every other crossing between kinds is written out, as the program's code writes it on
// Windows: GetStockObject's HGDIOBJ cast to the brush it is, a colour index + 1 cast to a class's
// background brush, the special HWND_ values, a handle carried in a message parameter.
#define UMBRAVA_DECLARE_HANDLE(name) \
    struct name##__;                 \
    using name = name##__*

// Kernel objects: mutexes, threads, the single-instance lock (port/system/handles.h).
UMBRAVA_DECLARE_HANDLE(HANDLE);
// Modules and the program's instance (port/system/module.h).
UMBRAVA_DECLARE_HANDLE(HINSTANCE);
using HMODULE = HINSTANCE;
// Global memory blocks (port/system/globalmem.h), which also carry the clipboard's data.
UMBRAVA_DECLARE_HANDLE(HGLOBAL);
// Window-system and GDI handles (port/window/: window.h, cursor.h, gdi.h, menu.h, metrics.h).
UMBRAVA_DECLARE_HANDLE(HWND);
UMBRAVA_DECLARE_HANDLE(HICON);
using HCURSOR = HICON;
UMBRAVA_DECLARE_HANDLE(HMENU);
UMBRAVA_DECLARE_HANDLE(HDC);
UMBRAVA_DECLARE_HANDLE(HGDIOBJ);
UMBRAVA_DECLARE_HANDLE(HBRUSH);
UMBRAVA_DECLARE_HANDLE(HBITMAP);
UMBRAVA_DECLARE_HANDLE(HMONITOR);
// Internet sessions, connections and requests, one kind for all three (port/http/wininet.h).
UMBRAVA_DECLARE_HANDLE(HINTERNET);

#undef UMBRAVA_DECLARE_HANDLE

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAX_PATH = 260;
constexpr DWORD INFINITE = 0xFFFFFFFFu;

// Wait results.
constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
constexpr DWORD WAIT_ABANDONED = 0x00000080u;
constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

constexpr DWORD STILL_ACTIVE = 259;

// Error codes (GetLastError).
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_NOT_OWNER = 288;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_INVALID_CURSOR_HANDLE = 1402;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

// HRESULTs.
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline bool FAILED(HRESULT hr) {
    return hr < 0;
}

// Points and rectangles: right and bottom are exclusive.
struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// Packing of message parameters.
constexpr WORD LOWORD(uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr LONG MAKELONG(WORD low, WORD high) {
    return static_cast<LONG>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(low), static_cast<WORD>(high))));
}
constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(low), static_cast<WORD>(high))));
}
// Signed coordinates packed in an LPARAM, 16 bits each.
constexpr int GET_X_LPARAM(LPARAM value) {
    return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(value)));
}
constexpr int GET_Y_LPARAM(LPARAM value) {
    return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(value)));
}
