// Threads over std::thread. A thread runs until its function returns; its handle can be waited on
// (signalled when it has ended) and asked for its exit code (STILL_ACTIVE while it runs). Closing
// the handle of a running thread detaches it: nothing ever terminates a thread. Priorities are
// accepted and ignored.
#pragma once

#include "port/win32types.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

HANDLE CreateThread(void* security, size_t stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD creationFlags, DWORD* threadId);
BOOL SetThreadPriority(HANDLE thread, int priority);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetCurrentThreadId();
