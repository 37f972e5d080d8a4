#include "port/system/sync.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

#include "port/failinjection.h"
#include "port/system/lasterror.h"
#include "port/system/mutexobject.h"

namespace port {
namespace {

// Named mutexes alive in the process, by name.
struct NameTable {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<MutexObject>> names;
};

NameTable& Names() {
    static NameTable* table = new NameTable;
    return *table;
}

// The mutexes a thread owns, abandoned when it ends.
struct HeldMutexes {
    std::vector<std::weak_ptr<MutexObject>> held;
    void AbandonAll() {
        std::vector<std::weak_ptr<MutexObject>> all;
        all.swap(held);
        for (auto& weak : all) {
            if (auto mutex = weak.lock()) mutex->Abandon();
        }
    }
    ~HeldMutexes() { AbandonAll(); }
};

thread_local HeldMutexes tHeld;

void NoteHeld(const std::shared_ptr<MutexObject>& mutex) {
    tHeld.held.push_back(mutex);
}

void NoteReleased(const MutexObject* mutex) {
    auto& held = tHeld.held;
    held.erase(std::remove_if(held.begin(), held.end(),
                              [mutex](const std::weak_ptr<MutexObject>& w) {
                                  auto locked = w.lock();
                                  return !locked || locked.get() == mutex;
                              }),
               held.end());
}

}  // namespace

void AbandonHeldMutexes() {
    tHeld.AbandonAll();
}

MutexObject::~MutexObject() {
    if (mName.empty()) return;
    NameTable& table = Names();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.names.find(mName);
    if (it != table.names.end() && it->second.expired()) table.names.erase(it);
}

DWORD MutexObject::Wait(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(mLock);
    const auto me = std::this_thread::get_id();
    if (mCount > 0 && mOwner == me) {
        ++mCount;
        return WAIT_OBJECT_0;
    }
    auto isFree = [this] { return mCount == 0; };
    if (timeoutMs == INFINITE) {
        mFreed.wait(lock, isFree);
    } else if (!mFreed.wait_for(lock, std::chrono::milliseconds(timeoutMs), isFree)) {
        return WAIT_TIMEOUT;
    }
    mOwner = me;
    mCount = 1;
    bool wasAbandoned = mAbandoned;
    mAbandoned = false;
    NoteHeld(shared_from_this());
    return wasAbandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

bool MutexObject::Release() {
    std::lock_guard<std::mutex> lock(mLock);
    if (mCount == 0 || mOwner != std::this_thread::get_id()) return false;
    if (--mCount == 0) {
        mOwner = std::thread::id();
        NoteReleased(this);
        mFreed.notify_one();
    }
    return true;
}

void MutexObject::Abandon() {
    std::lock_guard<std::mutex> lock(mLock);
    mCount = 0;
    mOwner = std::thread::id();
    mAbandoned = true;
    mFreed.notify_one();
}

}  // namespace port

using port::MutexObject;

HANDLE CreateMutexA(void*, BOOL initialOwner, const char* name) {
    if (port::ShouldFail("CreateMutexA")) return nullptr;
    std::shared_ptr<MutexObject> mutex;
    DWORD error = ERROR_SUCCESS;
    if (name != nullptr && *name != '\0') {
        port::NameTable& table = port::Names();
        std::lock_guard<std::mutex> lock(table.mutex);
        auto& slot = table.names[name];
        mutex = slot.lock();
        if (mutex) {
            error = ERROR_ALREADY_EXISTS;
            initialOwner = FALSE;  // an existing mutex is opened, not taken
        } else {
            mutex = std::make_shared<MutexObject>(name);
            slot = mutex;
        }
    } else {
        mutex = std::make_shared<MutexObject>(std::string());
    }
    if (initialOwner) mutex->Wait(INFINITE);
    HANDLE handle = port::AddHandle(mutex);
    SetLastError(error);
    return handle;
}

BOOL ReleaseMutex(HANDLE handle) {
    auto mutex = std::dynamic_pointer_cast<MutexObject>(port::LookupHandle(handle));
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!mutex->Release()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs) {
    auto object = port::LookupHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return object->Wait(timeoutMs);
}

BOOL CloseHandle(HANDLE handle) {
    if (!port::RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
