// Kernel objects and waits: mutexes (named or not), events, waits on mutexes, events and threads,
// and closing handles.
//
// Mutexes are recursive on the owning thread. A mutex whose owner thread ends while holding it is
// abandoned: the next wait takes it and answers WAIT_ABANDONED. Names are local to the process;
// creating a name that exists opens the same mutex and leaves ERROR_ALREADY_EXISTS. Waits with a
// timeout count real time (they synchronise real threads), even when the fake clock is on.
//
// Events are set by SetEvent (the sound device sets those it was given as the play cursor passes
// their positions). A wait on a set event returns at once; a manual-reset event stays set, an
// auto-reset event wakes one waiter and is reset by it. Events have no names here: the program
// makes unnamed ones, and a name answers null with ERROR_INVALID_PARAMETER.
//
// Not modelled: security attributes, named events, ResetEvent and PulseEvent, semaphores, waits
// on several objects.
#pragma once

#include "port/win32types.h"

HANDLE CreateMutexA(void* security, BOOL initialOwner, const char* name);
BOOL ReleaseMutex(HANDLE mutex);
HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE object, DWORD timeoutMs);
// Closing a running thread's handle detaches it; the thread goes on.
BOOL CloseHandle(HANDLE object);
