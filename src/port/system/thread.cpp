#include "port/system/thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "port/failinjection.h"
#include "port/system/handles.h"
#include "port/system/lasterror.h"
#include "port/system/mutexobject.h"

namespace port {
namespace {

std::atomic<DWORD> gNextThreadId{1};

class ThreadObject : public KernelObject {
public:
    DWORD Wait(DWORD timeoutMs) override {
        std::unique_lock<std::mutex> lock(mLock);
        auto ended = [this] { return mEnded; };
        if (timeoutMs == INFINITE) {
            mEndedSignal.wait(lock, ended);
            return WAIT_OBJECT_0;
        }
        return mEndedSignal.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended)
                   ? WAIT_OBJECT_0
                   : WAIT_TIMEOUT;
    }

    void End(DWORD exitCode) {
        std::lock_guard<std::mutex> lock(mLock);
        mExitCode = exitCode;
        mEnded = true;
        mEndedSignal.notify_all();
    }

    DWORD ExitCode() {
        std::lock_guard<std::mutex> lock(mLock);
        return mEnded ? mExitCode : STILL_ACTIVE;
    }

private:
    std::mutex mLock;
    std::condition_variable mEndedSignal;
    bool mEnded = false;
    DWORD mExitCode = 0;
};

thread_local DWORD tThreadId = 0;

}  // namespace
}  // namespace port

using port::ThreadObject;

HANDLE CreateThread(void*, size_t, LPTHREAD_START_ROUTINE start, void* parameter, DWORD,
                    DWORD* threadId) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (port::ShouldFail("CreateThread")) return nullptr;
    auto object = std::make_shared<ThreadObject>();
    DWORD id = port::gNextThreadId.fetch_add(1);
    try {
        std::thread([object, start, parameter, id] {
            port::tThreadId = id;
            DWORD code = start(parameter);
            // Mutexes still held are abandoned before a waiter can see the thread as ended.
            port::AbandonHeldMutexes();
            object->End(code);
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) *threadId = id;
    return port::AddHandle(object);
}

BOOL SetThreadPriority(HANDLE thread, int) {
    if (!std::dynamic_pointer_cast<ThreadObject>(port::LookupHandle(thread))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    auto object = std::dynamic_pointer_cast<ThreadObject>(port::LookupHandle(thread));
    if (!object || exitCode == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->ExitCode();
    return TRUE;
}

DWORD GetCurrentThreadId() {
    if (port::tThreadId == 0) port::tThreadId = port::gNextThreadId.fetch_add(1);
    return port::tThreadId;
}
