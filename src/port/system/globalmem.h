// Global memory blocks, as the clipboard exchanges them. A block is a handle to bytes owned by
// the port layer; GlobalLock gives the bytes and counts locks. Movable and fixed blocks behave
// alike here (the bytes never move); a fixed block's handle is not its address.
//
// Any thread may call these.
#pragma once

#include "port/win32types.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Null on failure (ERROR_NOT_ENOUGH_MEMORY). The bytes are zeroed whatever the flags.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The bytes, or null for a handle that is not a live block.
void* GlobalLock(HGLOBAL block);
// TRUE while the block is still locked; FALSE when this was the last lock (last error 0) or the
// block was not locked (ERROR_NOT_LOCKED).
BOOL GlobalUnlock(HGLOBAL block);
// Null on success, the handle when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);

constexpr DWORD ERROR_NOT_LOCKED = 158;
