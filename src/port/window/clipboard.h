// The clipboard. It holds one text, kept as UTF-8 (the system's own clipboard text), offered in
// both text views: CF_TEXT gives the bytes as they were put (a UTF-8 program gets its UTF-8
// back), CF_UNICODETEXT their UTF-16 form (bytes that are not UTF-8 are read as Windows-1252).
// Putting either view replaces the text. Other formats are kept as the blocks given.
//
// The clipboard's data are global memory blocks (port/system/globalmem.h), which Windows passes
// as plain HANDLEs; here they keep their own kind. SetClipboardData takes ownership of the
// block; GetClipboardData lends a block that stays valid until the clipboard changes. With the sdl
// backend the text is the desktop's clipboard.
//
// Any thread may call these; one opener at a time, like Windows.
//
// Not modelled: delayed rendering (a null block), clipboard owners and viewers, and formats
// other than text beyond keeping their blocks.
#pragma once

#include "port/win32types.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_UNICODETEXT = 13;

// Fails (ERROR_ACCESS_DENIED) while the clipboard is open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Needs the clipboard open (ERROR_CLIPBOARD_NOT_OPEN).
BOOL EmptyClipboard();
HGLOBAL SetClipboardData(UINT format, HGLOBAL block);
HGLOBAL GetClipboardData(UINT format);
// Needs no opening.
BOOL IsClipboardFormatAvailable(UINT format);
