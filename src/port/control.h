// The control plane: what tests (and the program's start-up) use to set up and observe the port
// layer. Production code outside start-up never calls it. The window system's part is in
// controldesktop.h (backend, desktop, monitors, metrics), controlinput.h (injected input) and
// controlwindows.h (foreign windows, message boxes, clipboard), included at the end.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "port/win32types.h"

namespace port::control {

// Clock. With the fake clock on, timeGetTime answers the value set here and moves only when
// AdvanceTime (or, when asked, Sleep) moves it; the value wraps at 2^32 like the real counter.
void UseFakeClock(bool on);
bool IsFakeClock();
void SetTime(DWORD now);
void AdvanceTime(DWORD milliseconds);
// Sleep(ms) on the fake clock advances it by ms and returns at once.
void SetSleepAdvancesClock(bool on);

// Failure injection: the next count calls of the named operation (its Windows name, e.g.
// "CreateMutexA") fail with error as their last error; a negative count fails every call until
// cleared; count 0 disarms.
void InjectFailure(const char* operation, DWORD error, int count);
void ClearFailures();

// GetVersion's answer (major in the low byte, minor in the second byte, build in the high word).
void SetOsVersion(int major, int minor, int build);

// Special folders by their folder id (0x1A per-user application data, 0x23 shared application
// data, 0x00 and 0x10 the desktop); an empty path removes the override. Without an override the
// folders come from UMBRAVA_USER_DATA_DIR, UMBRAVA_COMMON_DATA_DIR and UMBRAVA_DESKTOP_DIR, then
// from the XDG folders.
void SetSpecialFolder(int folderId, const std::string& path);
void ClearSpecialFolders();

// GetModuleFileNameA's answer for the program; empty restores the real one.
void SetModulePath(const std::string& path);

// Where the single-instance lock files live; empty restores $XDG_RUNTIME_DIR or a private folder
// in the temporary folder.
void SetInstanceLockFolder(const std::string& path);

// Hides the program's version data, as for a program file without a version block.
void SetVersionInfoHidden(bool hidden);

// Receives what ExitProcess was asked. The handler must not return (a test throws); when it does,
// the process exits.
void SetExitHandler(std::function<void(int)> handler);

// Receives the argument vector of every link opening instead of starting it; an empty function
// restores the real launcher.
void SetLinkLauncher(std::function<bool(const std::vector<std::string>&)> launcher);

// Receives the lines the port layer logs; null drops them.
using LogSink = void (*)(const char* line);
void SetLogSink(LogSink sink);

}  // namespace port::control

#include "port/controldesktop.h"
#include "port/controlinput.h"
#include "port/controlwindows.h"
