#include "port/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace port {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 0x100;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // outlives threads still closing handles at exit
    return *table;
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

bool RemoveHandle(HANDLE handle) {
    std::shared_ptr<KernelObject> dropped;  // destroyed outside the lock
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end()) return false;
    dropped = std::move(it->second);
    table.objects.erase(it);
    return true;
}

}  // namespace port
