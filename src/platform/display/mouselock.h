// TMouseLock: the scoped hold of the DirectX context's mouse mutex, a pair {handle, wait
// result}. Asked to block it waits without limit, else at most 5 ms. The mutex is the port's
// named mutex, recursive on its owner thread, so guarded calls nested on one thread go through.
//
// WAIT_OBJECT_0 and WAIT_ABANDONED (the thread that held the mutex ended while holding it) both
// mean the lock is held: it is released at the end of the scope. Any other result (a short wait
// that timed out, a failed wait) holds nothing: the caller must skip the guarded work.
//
// Made and ended on one thread.
#pragma once

#include "port/system/sync.h"
#include "port/win32types.h"

class TMouseLock {
public:
    static constexpr DWORD kShortWait = 5;

    TMouseLock(HANDLE mutex, bool block)
        : mMutex(mutex), mWait(WaitForSingleObject(mutex, block ? INFINITE : kShortWait)) {}
    ~TMouseLock() {
        if (Held()) ReleaseMutex(mMutex);
    }
    TMouseLock(const TMouseLock&) = delete;
    TMouseLock& operator=(const TMouseLock&) = delete;

    bool Held() const { return mWait == WAIT_OBJECT_0 || mWait == WAIT_ABANDONED; }
    DWORD GetWaitResult() const { return mWait; }

private:
    HANDLE mMutex;
    DWORD mWait;
};
