// The control plane of the system service, for tests: the fake clock, the process (OS version,
// exit, the single-instance lock folder), the shell (special folders, the program path, link
// opening) and version data. Gathered with the other services' parts in port/control.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "port/win32types.h"

namespace port::control {

// Clock. With the fake clock on, timeGetTime answers the value set here and moves only when
// AdvanceTime (or, when asked, Sleep) moves it; the value wraps at 2^32 like the real counter.
// A move also plays the time that passed on the null sound device (port/sound/control.h) before
// it returns; SetTime jumps and plays nothing.
void UseFakeClock(bool on);
bool IsFakeClock();
void SetTime(DWORD now);
void AdvanceTime(DWORD milliseconds);
// Sleep(ms) on the fake clock advances it by ms and returns at once.
void SetSleepAdvancesClock(bool on);
// The calendar on the fake clock (CalendarTime, in seconds since 1970). AdvanceTime, and Sleep
// when it moves the clock, move it by the same milliseconds; SetTime leaves it. A process starts
// with kDefaultCalendarTime.
constexpr int64_t kDefaultCalendarTime = 1200000000;
void SetCalendarTime(int64_t seconds);

// GetVersion's answer (major in the low byte, minor in the second byte, build in the high word).
// A process starts with Windows XP's.
constexpr int kDefaultOsMajor = 5;
constexpr int kDefaultOsMinor = 1;
constexpr int kDefaultOsBuild = 2600;
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

// Puts all of the above back as a process starts: the real clock at rest, the default calendar,
// the default OS version, no folder, program path or lock folder overrides, version data shown,
// the real exit and link opening.
void ResetSystem();

}  // namespace port::control
