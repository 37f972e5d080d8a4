#include "port/system/globalmem.h"

#include <exception>
#include <map>
#include <mutex>
#include <vector>

#include "port/failinjection.h"
#include "port/system/lasterror.h"

namespace {

struct Block {
    std::vector<char> bytes;
    size_t size = 0;
    int locks = 0;
};

struct BlockTable {
    std::mutex mutex;
    std::map<uintptr_t, Block> blocks;
    uintptr_t next = 0x00200000;
};

BlockTable& Table() {
    static BlockTable* table = new BlockTable;
    return *table;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    if (port::ShouldFail("GlobalAlloc")) return nullptr;
    // A block of 0 bytes still has an address to hand out. A size that cannot be had fails
    // with the memory error, as on Windows.
    Block block;
    try {
        block.bytes.assign(bytes == 0 ? 1 : bytes, 0);
    } catch (const std::exception&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    block.size = bytes;
    BlockTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    uintptr_t handle = table.next;
    table.next += 8;
    table.blocks[handle] = std::move(block);
    return reinterpret_cast<HGLOBAL>(handle);
}

void* GlobalLock(HGLOBAL block) {
    if (port::ShouldFail("GlobalLock")) return nullptr;
    BlockTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++it->second.locks;
    return it->second.bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
    BlockTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (it->second.locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--it->second.locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    BlockTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.blocks.erase(reinterpret_cast<uintptr_t>(block)) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return block;
    }
    return nullptr;
}

size_t GlobalSize(HGLOBAL block) {
    BlockTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.blocks.find(reinterpret_cast<uintptr_t>(block));
    return it == table.blocks.end() ? 0 : it->second.size;
}
