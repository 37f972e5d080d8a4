// What the sound engine asks of the application object, which sits above it: the sound manager
// (the sound lock of the data sources' reads, the sounds' plays), the main window (the sound
// device's cooperative level) and the report of a failed DirectSound call (the display's
// out-of-video-memory handling before the log line). The application object installs them when
// it is made and removes them in its teardown. Without them there is no manager and no window,
// and a failure is reported by the plain log line.
//
// Installed on the main thread; read from any thread (the worker reports its failures and takes
// the sound lock through them).
#pragma once

#include "port/win32types.h"

class TSoundManager;

namespace soundhooks {

struct THooks {
    TSoundManager* (*getSoundManager)() = nullptr;
    HWND (*getMainWindow)() = nullptr;
    void (*reportDXError)(HRESULT result, const char* file, int line) = nullptr;
};

// A null member keeps that answer's default.
void Install(const THooks& hooks);

TSoundManager* SoundManager();
HWND MainWindow();
// "DX Error: <empty> (0x<result>), File <file>, Line <line>", through the hook when there is one.
void ReportDXError(HRESULT result, const char* file, int line);

}  // namespace soundhooks

// Reports a failed DirectSound result with the calling source file's name and line.
#define REPORT_SOUND_ERROR(result) soundhooks::ReportDXError((result), __FILE_NAME__, __LINE__)
