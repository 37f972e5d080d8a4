#include "port/system/handles.h"

#include "port/handletable.h"

namespace port {
namespace {

HandleTable<HANDLE, KernelObject>& Table() {
    // Outlives threads still closing handles at exit.
    static auto* table = new HandleTable<HANDLE, KernelObject>(0x100, 4);
    return *table;
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    return Table().Add(std::move(object));
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    return Table().Lookup(handle);
}

bool RemoveHandle(HANDLE handle) {
    return Table().Remove(handle);
}

}  // namespace port
