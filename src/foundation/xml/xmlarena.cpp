#include "foundation/xml/xmlarena.h"

#include <algorithm>
#include <cstring>
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

constexpr size_t kNameTableSize = 1024;  // slots; emptied at half full

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

TXmlArena::~TXmlArena() {
    while (mLarge != nullptr) {
        Large* next = mLarge->next;
        ::operator delete(mLarge);
        mLarge = next;
    }
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
    mBlocks.emplace_back(new unsigned char[size]);
    mCursor = mBlocks.back().get();
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
    mKept.push_back(std::move(buffer));
    return mKept.back().get();
}

const str* TXmlArena::LookUp(const char* bytes, size_t length, uint64_t first, uint64_t last) {
    if (mNameTable.empty()) mNameTable.resize(kNameTableSize);
    const uint32_t hash = HashName(first, last, bytes, length);
    size_t slot = hash & (kNameTableSize - 1);
    for (;; slot = (slot + 1) & (kNameTableSize - 1)) {
        const NameEntry& entry = mNameTable[slot];
        if (entry.name == nullptr) break;
        if (entry.hash == hash && entry.length == length && entry.first == first &&
            entry.last == last && (length <= 16 || std::memcmp(entry.key, bytes, length) == 0))
            return entry.name;
    }
    if (mNameCount >= kNameTableSize / 2) {
        // Full: start again. The names already given out stay where they are.
        std::fill(mNameTable.begin(), mNameTable.end(), NameEntry{});
        mNameCount = 0;
        slot = hash & (kNameTableSize - 1);
    }
    mNames.emplace_back(bytes, static_cast<int>(std::min<size_t>(length, INT32_MAX - 1)));
    const char* key = nullptr;
    if (length > 16) {
        char* copy = static_cast<char*>(Allocate(length));
        std::memcpy(copy, bytes, length);
        key = copy;
    }
    mNameTable[slot] =
        NameEntry{hash, static_cast<uint32_t>(length), first, last, key, &mNames.back()};
    ++mNameCount;
    return &mNames.back();
}
