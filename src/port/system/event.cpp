#include <chrono>

#include "port/failinjection.h"
#include "port/system/eventobject.h"
#include "port/system/lasterror.h"
#include "port/system/sync.h"

namespace port {

DWORD EventObject::Wait(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(mLock);
    auto isSet = [this] { return mSet; };
    if (timeoutMs == INFINITE) {
        mSignalled.wait(lock, isSet);
    } else if (!mSignalled.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet)) {
        return WAIT_TIMEOUT;
    }
    if (!mManual) mSet = false;
    return WAIT_OBJECT_0;
}

void EventObject::Set() {
    {
        std::lock_guard<std::mutex> lock(mLock);
        mSet = true;
    }
    // An auto-reset event lets one waiter through; the first to wake resets it.
    if (mManual) {
        mSignalled.notify_all();
    } else {
        mSignalled.notify_one();
    }
}

std::shared_ptr<EventObject> LookupEvent(HANDLE handle) {
    return std::dynamic_pointer_cast<EventObject>(LookupHandle(handle));
}

}  // namespace port

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, const char* name) {
    if (port::ShouldFail("CreateEventA")) return nullptr;
    if (name != nullptr && *name != '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HANDLE handle = port::AddHandle(
        std::make_shared<port::EventObject>(manualReset != FALSE, initialState != FALSE));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL SetEvent(HANDLE handle) {
    std::shared_ptr<port::EventObject> event = port::LookupEvent(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    event->Set();
    return TRUE;
}
