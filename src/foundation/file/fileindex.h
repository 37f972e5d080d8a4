// The file index: the one process-wide ordered map from virtual file names (lower-cased) to where
// their bytes are: a real path, a memory name ("&" handle "," size, for a block registered with
// RegisterMemoryFile) or an archive member name ("@" archive ":" offset "," size). Beside it live
// the manifest set (names hidden from the asset scan and from reading), the registered memory
// blocks, and the three data folders behind the "user:", "common:" and "desktop:" prefixes.
//
// Filled on the main thread at start-up (asset scan, archives, roots), but files are also opened
// and "user:" names resolved (which adds them to the index) on worker threads, so every access
// takes the index's own lock.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>

#include "foundation/str.h"

class TFileIndex {
public:
    static TFileIndex& GetInstance();

    TFileIndex() = default;
    TFileIndex(const TFileIndex&) = delete;
    TFileIndex& operator=(const TFileIndex&) = delete;

    // Enters key (already lower-cased) → location, replacing an earlier entry.
    void Set(const str& key, const str& location);
    void Remove(const str& key);
    // The location of key; empty when it is not indexed.
    str Get(const str& key) const;
    // Empties the index (and forgets the memory blocks it named).
    void Clear();
    // The enumeration behind FindIndexedFile.
    bool FindNext(const str& prefix, str& name, bool includeSubfolders) const;

    // Enters key → a memory name for the block; a null address takes key out of the index.
    void SetMemoryBlock(const str& key, const void* address, uint32_t size);
    // The block behind a memory name's handle; false for a handle no entry holds.
    bool FindMemoryBlock(uint64_t handle, const char** address, uint32_t* size) const;

    void Hide(const str& key);
    bool IsHidden(const str& key) const;
    void ClearHidden();

    // Data folders; stored without a trailing separator, empty when not set.
    void SetRoot(int which, const str& folder);
    str GetRoot(int which) const;
    enum : int { kUserRoot = 0, kCommonRoot = 1, kDesktopRoot = 2 };

private:
    struct Block {
        const char* address;
        uint32_t size;
    };
    void ForgetBlockLocked(const str& location);

    mutable std::mutex mMutex;
    std::map<str, str> mEntries;
    std::set<str> mHidden;
    std::map<uint64_t, Block> mBlocks;
    uint64_t mNextHandle = 1;
    str mRoots[3];
};

// Where a virtual name is, or the empty text when nowhere. The name is lower-cased, then:
//   1. an indexed name gives its location;
//   2. "::" followed by a path gives that real path when it can be read;
//   3. with mustExist, a hidden name gives nothing;
//   4. "user:", "common:" and "desktop:" give the path below their root (with mustExist only when
//      it can be read and written), which is then indexed under the name;
//   5. "assets/" or "assets\" in front is dropped and the rest resolved without mustExist;
//   6. anything else gives nothing.
// Real paths are built with "/" for every backslash and matched against the disk's case.
str ResolvePath(const str& name, bool mustExist);

// The path on disk that a name stands for, whether or not it may be read: ResolvePath without its
// tests, so a "::" name gives its path even when it cannot be read. Empty for archive members,
// memory blocks and names that resolve nowhere.
str DiskPathOf(const str& name);

// Indexes a block of memory under a name so that FileOpen reads it (modes 0 and 1 only). The
// caller keeps the block alive while the name is registered and while files opened on it are
// open. A null address takes the name out of the index.
void RegisterMemoryFile(const str& name, const void* address, uint32_t size);

// Enumerates the index entries under prefix in key order: give an empty name to start, then the
// previous result. Without includeSubfolders, names in folders below the prefix are passed over.
// False at the end.
bool FindIndexedFile(const str& prefix, str& name, bool includeSubfolders);

void ClearFileIndex();

// The data folders behind "user:", "common:" and "desktop:", set by the application at start-up.
// A trailing separator is dropped. Names under a root that is not set do not resolve.
void SetUserDataRoot(const str& folder);
void SetCommonDataRoot(const str& folder);
void SetDesktopRoot(const str& folder);
str GetUserDataRoot();
str GetCommonDataRoot();
str GetDesktopRoot();
