#include "foundation/xml/xmlarena.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#ifdef XML_ARENA_ASAN
#include <sanitizer/asan_interface.h>
// Memory handed back to the arena is poisoned, so that a node used after its removal is caught
// under AddressSanitizer as it would be on the heap.
#define XML_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define XML_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define XML_POISON(address, size) ((void)(address), (void)(size))
#define XML_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

// The name table's slots: a document of a few names never clears more than the first size, one
// of many grows it to the largest, which is emptied when half full.
constexpr size_t kFirstNameTableSize = 64;
constexpr size_t kLargestNameTableSize = 1024;

uint64_t Load64(const char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

uint32_t HashName(uint64_t first, uint64_t last, const char* bytes, size_t length) {
    uint64_t hash = (first * 0x9E3779B97F4A7C15u) ^ (last * 0xC2B2AE3D27D4EB4Fu) ^ length;
    if (length > 16) hash ^= Load64(bytes + length / 2 - 4) * 0x165667B19E3779F9u;
    hash ^= hash >> 29;
    hash *= 0xBF58476D1CE4E5B9u;
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

}  // namespace

TXmlArena::TXmlArena() {
    XML_POISON(mFirstBlock, sizeof mFirstBlock);
}

TXmlArena::~TXmlArena() {
    while (mNames != nullptr) {
        TXmlName* next = mNames->mNext;
        mNames->~TXmlName();
        mNames = next;
    }
    while (mLarge != nullptr) {
        Large* next = mLarge->next;
        ::operator delete(mLarge);
        mLarge = next;
    }
    while (mBlocks != nullptr) {
        Block* previous = mBlocks->previous;
        ::operator delete(mBlocks);
        mBlocks = previous;
    }
    // The arena itself may live anywhere, the stack included: its own block is left unmarked.
    XML_UNPOISON(mFirstBlock, sizeof mFirstBlock);
}

int TXmlArena::ClassOf(size_t bytes) {
    if (bytes <= kLargestSmall) return SmallClass(bytes);
    int sizeClass = kSmallClasses;
    for (size_t size = 2 * kLargestSmall; size < bytes; size *= 2)
        ++sizeClass;
    return sizeClass;
}

void* TXmlArena::CarveFromNewBlock(size_t bytes) {
    // The rest of the old block is given up: less than the largest pooled size.
    const size_t size = mNextBlock;
    Block* block = static_cast<Block*>(::operator new(offsetof(Block, data) + size));
    block->previous = mBlocks;
    mBlocks = block;
    mCursor = block->data;
    mLimit = mCursor + size;
    mNextBlock = std::min(mNextBlock * 2, kLargestBlock);
    XML_POISON(mCursor, size);
    return Carve(bytes);
}

#ifdef XML_ARENA_ASAN
void TXmlArena::Unpoison(void* memory, size_t bytes) {
    XML_UNPOISON(memory, bytes);
}
#endif

void* TXmlArena::AllocatePooled(size_t bytes) {
    if (bytes > kLargestPooled) return AllocateLarge(bytes);
    const int sizeClass = ClassOf(bytes);
    if (mFree[sizeClass] == nullptr) return Carve(ClassSize(sizeClass));
    return Reuse(sizeClass);
}

void* TXmlArena::Reuse(int sizeClass) {
    Chunk* chunk = mFree[sizeClass];
    XML_UNPOISON(chunk, ClassSize(sizeClass));
    mFree[sizeClass] = chunk->next;
    return chunk;
}

void TXmlArena::FreeChunk(void* memory, size_t bytes) {
    if (bytes > kLargestPooled) {
        FreeLarge(memory);
        return;
    }
    const int sizeClass = ClassOf(bytes);
    Chunk* chunk = static_cast<Chunk*>(memory);
    chunk->next = mFree[sizeClass];
    mFree[sizeClass] = chunk;
    XML_POISON(reinterpret_cast<unsigned char*>(chunk) + sizeof(Chunk),
               ClassSize(sizeClass) - sizeof(Chunk));
}

void* TXmlArena::AllocateLarge(size_t bytes) {
    if (bytes > SIZE_MAX - sizeof(Large)) throw std::bad_alloc();
    Large* large = static_cast<Large*>(::operator new(offsetof(Large, data) + bytes));
    large->previous = nullptr;
    large->next = mLarge;
    large->bytes = bytes;
    if (mLarge != nullptr) mLarge->previous = large;
    mLarge = large;
    return large->data;
}

void TXmlArena::FreeLarge(void* memory) {
    Large* large =
        reinterpret_cast<Large*>(static_cast<unsigned char*>(memory) - offsetof(Large, data));
    if (large->previous != nullptr) {
        large->previous->next = large->next;
    } else {
        mLarge = large->next;
    }
    if (large->next != nullptr) large->next->previous = large->previous;
    ::operator delete(large);
}

char* TXmlArena::Keep(std::unique_ptr<char[]> buffer) {
    char* bytes = buffer.get();
    if (mKept == nullptr) {
        mKept = std::move(buffer);
    } else {
        mMoreKept.push_back(std::move(buffer));
    }
    return bytes;
}

void TXmlArena::NewNameTable(size_t slots) {
    // The entries are written before they are read: only the bits telling which hold a name
    // start cleared.
    mNameTable = static_cast<NameEntry*>(Allocate(slots * sizeof(NameEntry)));
    mNameUsed = static_cast<uint64_t*>(Allocate(UsedWords(slots) * sizeof(uint64_t)));
    std::fill_n(mNameUsed, UsedWords(slots), 0);
    mNameSlots = slots;
}

size_t TXmlArena::FreeSlot(uint32_t hash) const {
    const size_t mask = mNameSlots - 1;
    size_t slot = hash & mask;
    while (SlotUsed(slot))
        slot = (slot + 1) & mask;
    return slot;
}

const TXmlName* TXmlArena::LookUp(const char* bytes, size_t length, uint64_t first, uint64_t last) {
    if (mNameSlots == 0) NewNameTable(kFirstNameTableSize);
    const uint32_t hash = HashName(first, last, bytes, length);
    const size_t mask = mNameSlots - 1;
    size_t slot = hash & mask;
    for (; SlotUsed(slot); slot = (slot + 1) & mask) {
        const NameEntry& entry = mNameTable[slot];
        if (entry.hash == hash && entry.length == length && entry.first == first &&
            entry.last == last &&
            (length <= 16 || std::memcmp(entry.name->Bytes(), bytes, length) == 0))
            return entry.name;
    }
    if (mNameCount >= mNameSlots / 2) {
        if (mNameSlots < kLargestNameTableSize) {
            // Half full: twice the slots, the entries moved over.
            NameEntry* old = mNameTable;
            uint64_t* oldUsed = mNameUsed;
            const size_t oldSlots = mNameSlots;
            NewNameTable(2 * oldSlots);
            for (size_t i = 0; i < oldSlots; ++i) {
                if ((oldUsed[i / 64] >> (i % 64) & 1) == 0) continue;
                const size_t free = FreeSlot(old[i].hash);
                mNameTable[free] = old[i];
                UseSlot(free);
            }
            Free(old, oldSlots * sizeof(NameEntry));
            Free(oldUsed, UsedWords(oldSlots) * sizeof(uint64_t));
        } else {
            // Full: start again. The names already given out stay where they are.
            std::fill_n(mNameUsed, UsedWords(mNameSlots), 0);
            mNameCount = 0;
        }
        slot = FreeSlot(hash);
    }
    // A name is never longer than the document that holds it, which is below 2 GiB.
    const uint32_t kept = static_cast<uint32_t>(std::min<size_t>(length, INT32_MAX - 1));
    // The name's bytes follow it in one allocation.
    void* memory = Allocate(sizeof(TXmlName) + kept);
    char* copy = static_cast<char*>(memory) + sizeof(TXmlName);
    if (kept != 0) std::memcpy(copy, bytes, kept);
    TXmlName* name = new (memory) TXmlName(copy, kept);
    name->mNext = mNames;
    mNames = name;
    mNameTable[slot] = NameEntry{hash, static_cast<uint32_t>(length), first, last, name};
    UseSlot(slot);
    ++mNameCount;
    return name;
}
