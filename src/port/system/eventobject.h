// Internal: the event kernel object behind CreateEventA. Other rooms that set events they were
// handed (the sound device's position notifications) hold the object itself, so that setting it
// needs no handle lookup and only ever takes the event's own short lock.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "port/system/handles.h"

namespace port {

class EventObject : public KernelObject {
public:
    EventObject(bool manualReset, bool signalled) : mManual(manualReset), mSet(signalled) {}

    DWORD Wait(DWORD timeoutMs) override;
    // Any thread; never waits for anything but the event's own lock.
    void Set();

private:
    const bool mManual;
    std::mutex mLock;
    std::condition_variable mSignalled;
    bool mSet;
};

// The event a handle names; null for a handle that is not an open event.
std::shared_ptr<EventObject> LookupEvent(HANDLE handle);

}  // namespace port
