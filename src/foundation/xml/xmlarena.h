// TXmlArena: the memory of one parsed XML document. The reader builds a tree of thousands of
// small nodes, attribute lists and texts; taking each from the heap made parsing and freeing a
// tree mostly malloc and free. Here they come from blocks of up to 64 KiB, and a size freed inside
// the document (a node removed, a list grown) is kept on a free list for the next of that size, so
// a tree that lives long and changes often does not grow its arena without end.
//
// The arena also keeps the document's text: the reader decodes it in place and nodes read their
// attribute values and texts from it. And it interns the element and attribute names, so that all
// nodes of one name share one TXmlName (xmlname.h).
//
// Owned by the node the document was read into (TXmlNode); every node placed in it is a
// descendant of that node and is destroyed before it. One thread at a time, as the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/xml/xmlname.h"

// Under AddressSanitizer the arena marks the memory it holds but has not handed out.
#if defined(__SANITIZE_ADDRESS__)
#define XML_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XML_ARENA_ASAN 1
#endif
#endif

class TXmlArena {
public:
    TXmlArena();
    ~TXmlArena();
    TXmlArena(const TXmlArena&) = delete;
    TXmlArena& operator=(const TXmlArena&) = delete;

    // At least bytes, aligned for pointers. Throws std::bad_alloc as new does.
    void* Allocate(size_t bytes) {
        if (bytes > kLargestSmall) return AllocatePooled(bytes);
        const int sizeClass = SmallClass(bytes);
        if (mFree[sizeClass] == nullptr) return Carve(ClassSize(sizeClass));
        return Reuse(sizeClass);
    }
    // Gives back what Allocate(bytes) answered, with the same bytes.
    void Free(void* memory, size_t bytes) {
        if (memory == nullptr || mClosing) return;
        FreeChunk(memory, bytes);
    }
    // The owner is going: what is freed from now on need not be kept for reuse, as everything
    // goes at once with the arena.
    void Close() { mClosing = true; }

    // A node placed here took memory of its own outside the arena (a name or an attribute name
    // as a str of its own): its tree must then be taken apart node by node when it goes. Without
    // one, the placed nodes need not be visited at all: all they hold goes with the arena.
    void NoteOutsideMemory() { mOutsideMemory = true; }
    bool HoldsOutsideMemory() const { return mOutsideMemory; }

    // Keeps the buffer until the arena is destroyed; answers its bytes.
    char* Keep(std::unique_ptr<char[]> buffer);

    // The one name of this arena with these bytes (a name with a NUL byte reads as the text
    // before it, as str does, but is looked up whole). Valid as long as the arena.
    const TXmlName* InternName(const char* bytes, size_t length) {
        // A document repeats a handful of names: the last one seen of each length and first and
        // last byte answers most lookups without hashing.
        if (length - 1 < 16) {
            uint64_t first;
            uint64_t last;
            NameWords(bytes, length, first, last);
            const size_t slot = (static_cast<unsigned char>(bytes[0]) +
                                 5u * static_cast<unsigned char>(bytes[length - 1]) + 3u * length) %
                                kRecent;
            Recent& recent = mRecent[slot];
            const uint64_t bit = uint64_t{1} << slot;
            if ((mRecentSet & bit) != 0 && recent.length == length && recent.first == first &&
                recent.last == last)
                return recent.name;
            const TXmlName* name = LookUp(bytes, length, first, last);
            recent = Recent{length, first, last, name};
            mRecentSet |= bit;
            return name;
        }
        uint64_t first;
        uint64_t last;
        NameWords(bytes, length, first, last);
        return LookUp(bytes, length, first, last);
    }

private:
    // Sizes up to kLargestSmall are kept in classes of 8 bytes; larger ones up to kLargestPooled
    // in classes of powers of two; larger still come from the heap one by one.
    static constexpr size_t kLargestSmall = 256;
    static constexpr size_t kLargestPooled = 4096;
    static constexpr int kSmallClasses = static_cast<int>(kLargestSmall / 8);
    static constexpr int kClasses = kSmallClasses + 4;  // 512, 1024, 2048, 4096
    static constexpr size_t kFirstBlock = 4096;
    static constexpr size_t kLargestBlock = 64 * 1024;

    struct Chunk {
        Chunk* next;
    };
    // A heap allocation too large for the blocks, linked so that the arena frees what is left.
    struct Large {
        Large* previous;
        Large* next;
        size_t bytes;
        alignas(16) unsigned char data[1];
    };
    struct NameEntry {
        uint32_t hash;
        uint32_t length;
        uint64_t first;  // a short name's bytes (see NameWords)
        uint64_t last;
        const TXmlName* name;
    };

    // A name's bytes as two words, which is all a lookup of a name of up to 16 bytes compares
    // (the two may overlap); longer names are compared whole.
    static void NameWords(const char* bytes, size_t length, uint64_t& first, uint64_t& last) {
        if (length >= 8) {
            std::memcpy(&first, bytes, 8);
            std::memcpy(&last, bytes + length - 8, 8);
        } else if (length >= 4) {
            uint32_t head;
            uint32_t tail;
            std::memcpy(&head, bytes, 4);
            std::memcpy(&tail, bytes + length - 4, 4);
            first = head;
            last = tail;
        } else {
            first = 0;
            for (size_t i = 0; i < length; ++i)
                first |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
            last = 0;
        }
    }
    const TXmlName* LookUp(const char* bytes, size_t length, uint64_t first, uint64_t last);
    // Makes an empty name table of that many slots (a power of two) the arena's.
    void NewNameTable(size_t slots);
    // The first empty slot of the name table from a hash's own.
    size_t FreeSlot(uint32_t hash) const;
    static size_t UsedWords(size_t slots) { return (slots + 63) / 64; }
    bool SlotUsed(size_t slot) const { return (mNameUsed[slot / 64] >> (slot % 64) & 1) != 0; }
    void UseSlot(size_t slot) { mNameUsed[slot / 64] |= uint64_t{1} << (slot % 64); }

    static int SmallClass(size_t bytes) {
        return bytes == 0 ? 0 : static_cast<int>((bytes + 7) / 8) - 1;
    }
    static int ClassOf(size_t bytes);
    static size_t ClassSize(int sizeClass) {
        if (sizeClass < kSmallClasses) return static_cast<size_t>(sizeClass + 1) * 8;
        return 2 * kLargestSmall << (sizeClass - kSmallClasses);
    }
    void* AllocatePooled(size_t bytes);
    void* Reuse(int sizeClass);
    void FreeChunk(void* memory, size_t bytes);
    // From the current block, or a new one.
    void* Carve(size_t bytes) {
        if (static_cast<size_t>(mLimit - mCursor) < bytes) return CarveFromNewBlock(bytes);
        void* memory = mCursor;
        mCursor += bytes;
        Unpoison(memory, bytes);
        return memory;
    }
    void* CarveFromNewBlock(size_t bytes);
#ifdef XML_ARENA_ASAN
    static void Unpoison(void* memory, size_t bytes);
#else
    static void Unpoison(void*, size_t) {}
#endif
    void* AllocateLarge(size_t bytes);
    void FreeLarge(void* memory);

    // A block of the arena, linked to the one made before it.
    struct Block {
        Block* previous;
        alignas(16) unsigned char data[1];
    };

    // The first block is the arena's own, so that a small document takes no block from the
    // heap; the blocks after it are listed from the newest.
    alignas(16) unsigned char mFirstBlock[kFirstBlock];
    Block* mBlocks = nullptr;
    unsigned char* mCursor = mFirstBlock;
    unsigned char* mLimit = mFirstBlock + kFirstBlock;
    size_t mNextBlock = 2 * kFirstBlock;
    Chunk* mFree[kClasses] = {};
    bool mClosing = false;
    bool mOutsideMemory = false;
    Large* mLarge = nullptr;
    // The texts kept: nearly always one, the document's.
    std::unique_ptr<char[]> mKept;
    std::vector<std::unique_ptr<char[]>> mMoreKept;

    // Interned names: the names themselves, placed in the arena and listed to be destroyed with
    // it, and an open-addressing table over them, also in the arena, that grows to a largest size
    // and is then emptied when it fills, so a document of endless distinct names costs a table of
    // bounded size.
    struct Recent {
        size_t length;
        uint64_t first;
        uint64_t last;
        const TXmlName* name;
    };
    // An entry of the recent names is read only once its bit in mRecentSet is set.
    static constexpr size_t kRecent = 64;  // one bit each in mRecentSet
    Recent mRecent[kRecent];
    uint64_t mRecentSet = 0;
    TXmlName* mNames = nullptr;
    NameEntry* mNameTable = nullptr;
    uint64_t* mNameUsed = nullptr;  // a bit a slot: the entry holds a name
    size_t mNameSlots = 0;
    size_t mNameCount = 0;
};
