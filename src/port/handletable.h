// Internal: shared objects behind small handle numbers, for the port layer's kinds of handles
// (kernel objects, device contexts, cursor images). Handles count up from a first value by a
// step and are never given out twice; a table gives out and takes back one kind of handle only.
// Any thread may use a table.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace port {

template <typename Handle, typename T>
class HandleTable {
public:
    HandleTable(uintptr_t first, uintptr_t step) : mNext(first), mStep(step) {}

    Handle Add(std::shared_ptr<T> object) {
        std::lock_guard<std::mutex> lock(mMutex);
        uintptr_t value = mNext;
        mNext += mStep;
        mObjects.emplace(value, std::move(object));
        return reinterpret_cast<Handle>(value);
    }

    std::shared_ptr<T> Lookup(Handle handle) const {
        std::lock_guard<std::mutex> lock(mMutex);
        auto it = mObjects.find(reinterpret_cast<uintptr_t>(handle));
        return it == mObjects.end() ? nullptr : it->second;
    }

    // False when the handle is not in the table. The object is released outside the lock.
    bool Remove(Handle handle) {
        std::shared_ptr<T> dropped;
        std::lock_guard<std::mutex> lock(mMutex);
        auto it = mObjects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == mObjects.end()) return false;
        dropped = std::move(it->second);
        mObjects.erase(it);
        return true;
    }

    void Clear() {
        std::unordered_map<uintptr_t, std::shared_ptr<T>> dropped;
        std::lock_guard<std::mutex> lock(mMutex);
        dropped.swap(mObjects);
    }

private:
    mutable std::mutex mMutex;
    std::unordered_map<uintptr_t, std::shared_ptr<T>> mObjects;
    uintptr_t mNext;
    uintptr_t mStep;
};

}  // namespace port
