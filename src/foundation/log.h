// The program's log: one plain-text file, "logfile.txt" in a folder chosen at start-up. Every
// failure the program survives is written there as one time-stamped line:
//   "<ctime without its newline>: <message>\n"
// The file has a ceiling: once the write position passes 102,400 bytes, writing starts again at
// byte 51,200 behind a wrap banner, so the start-up lines are always kept and the rest is a
// rolling tail. Lines end in LF; positions count the bytes actually written.
//
// The file is opened and closed for every line. Any thread may log: writers are serialised.
#pragma once

#include <cstdarg>

#include "foundation/str.h"

// Where the log lives. Null turns logging off. A text beginning with "__MEMORYMAX__" leaves the
// log untouched. Otherwise the folder is created when missing (one level), the log path becomes
// folder + "/logfile.txt", an older log there is deleted and writing starts at 0.
void SetLogFile(const char* folder);

// Formats one line printf-style and writes it; without a log path the line is dropped.
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogVPrintf(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// The current log path; empty when logging is off.
str GetLogPath();

// The offset at which the next line goes.
int GetLogWritePosition();

namespace logfile {
constexpr int kCeiling = 102400;
constexpr int kWrapPosition = 51200;
extern const char* const kWrapBanner;
}  // namespace logfile
