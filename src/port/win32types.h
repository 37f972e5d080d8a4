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

// Handles are opaque: kernel objects, modules and instances are looked up in the port layer's own
// tables and never dereferenced by callers.
using HANDLE = void*;
using HMODULE = void*;
using HINSTANCE = void*;
using HWND = void*;

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

// HRESULTs.
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline bool FAILED(HRESULT hr) {
    return hr < 0;
}
