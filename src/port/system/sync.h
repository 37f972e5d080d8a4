// Kernel objects and waits: mutexes (named or not), waits on mutexes and threads, and closing
// handles.
//
// Mutexes are recursive on the owning thread. A mutex whose owner thread ends while holding it is
// abandoned: the next wait takes it and answers WAIT_ABANDONED. Names are local to the process;
// creating a name that exists opens the same mutex and leaves ERROR_ALREADY_EXISTS. Waits with a
// timeout count real time (they synchronise real threads), even when the fake clock is on.
//
// Not modelled: security attributes, events, semaphores, waits on several objects.
#pragma once

#include "port/win32types.h"

HANDLE CreateMutexA(void* security, BOOL initialOwner, const char* name);
BOOL ReleaseMutex(HANDLE mutex);
DWORD WaitForSingleObject(HANDLE object, DWORD timeoutMs);
// Closing a running thread's handle detaches it; the thread goes on.
BOOL CloseHandle(HANDLE object);
