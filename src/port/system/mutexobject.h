// Internal: the mutex kernel object behind CreateMutexA.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "port/system/handles.h"

namespace port {

class MutexObject : public KernelObject, public std::enable_shared_from_this<MutexObject> {
public:
    explicit MutexObject(std::string name) : mName(std::move(name)) {}
    ~MutexObject() override;

    DWORD Wait(DWORD timeoutMs) override;
    // False when the calling thread does not own it.
    bool Release();
    // Called when the owner thread ends while holding it.
    void Abandon();

private:
    std::string mName;
    std::mutex mLock;
    std::condition_variable mFreed;
    std::thread::id mOwner;
    int mCount = 0;
    bool mAbandoned = false;
};

// Abandons every mutex the calling thread still owns; a thread that ends does this by itself.
void AbandonHeldMutexes();

}  // namespace port
