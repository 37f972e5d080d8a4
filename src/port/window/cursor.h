// The mouse cursor: which image shows over the program's client areas, and whether it shows.
//
// Cursors are handles in the port layer's table: the standard ones (LoadCursorA with a null
// instance), the program's icon (LoadIconA), and images made by the display code. The cursor
// shows when ShowCursor's count is at least 0 and the current cursor (SetCursor) is not null;
// the backend is told (the sdl backend shows or hides the system pointer). DefWindowProc's
// WM_SETCURSOR sets the class cursor over the client area.
#pragma once

#include "port/win32types.h"

// Standard cursors and icons for LoadCursorA and LoadIconA with a null instance.
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);
inline const char* const IDC_IBEAM = reinterpret_cast<const char*>(32513);
inline const char* const IDC_WAIT = reinterpret_cast<const char*>(32514);
inline const char* const IDC_CROSS = reinterpret_cast<const char*>(32515);
inline const char* const IDC_SIZEALL = reinterpret_cast<const char*>(32646);
inline const char* const IDC_HAND = reinterpret_cast<const char*>(32649);
inline const char* const IDI_APPLICATION = reinterpret_cast<const char*>(32512);

// A standard cursor (null instance), null for an unknown one.
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
// The program's icon for any resource of an instance; the standard application icon for a null
// instance.
HICON LoadIconA(HINSTANCE instance, const char* name);
// Answers the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Answers the new display count.
int ShowCursor(BOOL show);
// Standard cursors and icons are shared and stay.
BOOL DestroyCursor(HCURSOR cursor);
BOOL DestroyIcon(HICON icon);
