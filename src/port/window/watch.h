// Internal: how the display hears of the changes of the window model that concern DirectDraw:
// a new foreground window (an exclusive display loses its surfaces when its window loses it) and
// a new display mode (every display loses its surfaces). One watcher of each kind; the display
// installs its watchers when it makes its first DirectDraw object, and nothing removes them.
//
// The window model calls the watchers on the thread that runs the windows, with none of its locks
// held, after the change and before the program's windows hear of it (WM_ACTIVATEAPP,
// WM_DISPLAYCHANGE), so that a window procedure asking DirectDraw sees the new state.
#pragma once

#include "port/win32types.h"

namespace port {

using ForegroundWatcher = void (*)(HWND foreground);
using DisplayModeWatcher = void (*)();

void WatchForeground(ForegroundWatcher watcher);
void WatchDisplayMode(DisplayModeWatcher watcher);

// For the window model: the foreground window changed (null: another program's), the display
// mode changed.
void NotifyForeground(HWND foreground);
void NotifyDisplayMode();

}  // namespace port
