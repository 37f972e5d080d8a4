#include "foundation/file/fileindex.h"

#include <cstdlib>
#include <cstring>

#include "foundation/file/diskpath.h"

namespace {

bool StartsWith(const str& text, const char* prefix, unsigned int length) {
    return std::strncmp(text.c_str(), prefix, length) == 0;
}

bool StartsWith(const str& text, const str& prefix) {
    return StartsWith(text, prefix.c_str(), prefix.Length());
}

// The path on disk of a "::" name, given lower-cased.
str RealPathOf(const str& key) {
    return MatchDiskCase(str(), WithForwardSlashes(key.Substring(2)));
}

// The handle of a memory name "&handle,size"; 0 when the text is not one.
uint64_t MemoryHandleOf(const str& location) {
    if (location.GetAt(0) != '&') return 0;
    return std::strtoull(location.c_str() + 1, nullptr, 10);
}

}  // namespace

TFileIndex& TFileIndex::GetInstance() {
    static TFileIndex* index = new TFileIndex;  // files may still be opened by global destructors
    return *index;
}

void TFileIndex::ForgetBlockLocked(const str& location) {
    uint64_t handle = MemoryHandleOf(location);
    if (handle != 0) mBlocks.erase(handle);
}

void TFileIndex::Set(const str& key, const str& location) {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mEntries.find(key);
    if (it == mEntries.end()) {
        mEntries.emplace(key, location);
        return;
    }
    ForgetBlockLocked(it->second);
    it->second = location;
}

void TFileIndex::Remove(const str& key) {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mEntries.find(key);
    if (it == mEntries.end()) return;
    ForgetBlockLocked(it->second);
    mEntries.erase(it);
}

str TFileIndex::Get(const str& key) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mEntries.find(key);
    return it == mEntries.end() ? str() : it->second;
}

void TFileIndex::Clear() {
    std::lock_guard<std::mutex> lock(mMutex);
    mEntries.clear();
    mBlocks.clear();
}

bool TFileIndex::FindNext(const str& prefix, str& name, bool includeSubfolders) const {
    str lowered = prefix;
    lowered.ToLower();
    const unsigned int length = lowered.Length();

    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mEntries.lower_bound(name.Length() > 0 ? name : lowered);
    if (it != mEntries.end() && it->first == name) ++it;
    if (!includeSubfolders) {
        // An entry is in a subfolder when a "/" follows the character after the prefix.
        while (it != mEntries.end() && StartsWith(it->first, lowered) &&
               it->first.Length() > length + 1 &&
               std::strchr(it->first.c_str() + length + 1, '/') != nullptr) {
            ++it;
        }
    }
    if (it == mEntries.end() || !StartsWith(it->first, lowered)) return false;
    name = it->first;
    return true;
}

void TFileIndex::SetMemoryBlock(const str& key, const void* address, uint32_t size) {
    if (address == nullptr) {
        Remove(key);
        return;
    }
    std::lock_guard<std::mutex> lock(mMutex);
    uint64_t handle = mNextHandle++;
    mBlocks[handle] = Block{static_cast<const char*>(address), size};
    // The text carries a handle, never the address: it is only ever read back by TMemoryFile.
    str location = str::Format("&%lu,%lu", static_cast<unsigned long>(handle),
                               static_cast<unsigned long>(size));
    auto it = mEntries.find(key);
    if (it == mEntries.end()) {
        mEntries.emplace(key, location);
    } else {
        ForgetBlockLocked(it->second);
        it->second = location;
    }
}

bool TFileIndex::FindMemoryBlock(uint64_t handle, const char** address, uint32_t* size) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mBlocks.find(handle);
    if (it == mBlocks.end()) return false;
    *address = it->second.address;
    *size = it->second.size;
    return true;
}

void TFileIndex::Hide(const str& key) {
    std::lock_guard<std::mutex> lock(mMutex);
    mHidden.insert(key);
}

bool TFileIndex::IsHidden(const str& key) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mHidden.count(key) != 0;
}

void TFileIndex::ClearHidden() {
    std::lock_guard<std::mutex> lock(mMutex);
    mHidden.clear();
}

void TFileIndex::SetRoot(int which, const str& folder) {
    if (which < 0 || which > 2) return;
    str path = WithForwardSlashes(folder);
    while (path.Length() > 1 && path.GetAt(path.Length() - 1) == '/')
        path.Erase(path.Length() - 1);
    std::lock_guard<std::mutex> lock(mMutex);
    mRoots[which] = path;
}

str TFileIndex::GetRoot(int which) const {
    if (which < 0 || which > 2) return str();
    std::lock_guard<std::mutex> lock(mMutex);
    return mRoots[which];
}

str ResolvePath(const str& name, bool mustExist) {
    TFileIndex& index = TFileIndex::GetInstance();
    str key = name;
    key.ToLower();

    str indexed = index.Get(key);
    if (indexed.Length() > 0) return indexed;

    // "::" names a real path and bypasses the index and the manifest.
    if (StartsWith(key, "::", 2)) {
        str path = RealPathOf(key);
        return CanAccess(path, false) ? path : str();
    }

    if (mustExist && index.IsHidden(key)) return str();

    static const struct {
        const char* prefix;
        unsigned int length;
        int root;
    } kRoots[] = {
        {"user:", 5, TFileIndex::kUserRoot},
        {"common:", 7, TFileIndex::kCommonRoot},
        {"desktop:", 8, TFileIndex::kDesktopRoot},
    };
    for (const auto& entry : kRoots) {
        if (!StartsWith(key, entry.prefix, entry.length)) continue;
        str root = index.GetRoot(entry.root);
        if (root.Length() == 0) return str();
        str path = MatchDiskCase(root, WithForwardSlashes(key.Substring(entry.length)));
        if (mustExist && !CanAccess(path, true)) return str();
        index.Set(key, path);
        return path;
    }

    if (StartsWith(key, "assets", 6) && (key.GetAt(6) == '/' || key.GetAt(6) == '\\')) {
        return ResolvePath(key.Substring(7), false);
    }
    return str();
}

str DiskPathOf(const str& name) {
    const str location = ResolvePath(name, false);
    if (location.Length() > 0) {
        const char kind = location.GetAt(0);
        return kind == '@' || kind == '&' ? str() : location;
    }
    str key = name;
    key.ToLower();
    return StartsWith(key, "::", 2) ? RealPathOf(key) : str();
}

void RegisterMemoryFile(const str& name, const void* address, uint32_t size) {
    str key = name;
    key.ToLower();
    TFileIndex::GetInstance().SetMemoryBlock(key, address, size);
}

bool FindIndexedFile(const str& prefix, str& name, bool includeSubfolders) {
    return TFileIndex::GetInstance().FindNext(prefix, name, includeSubfolders);
}

void ClearFileIndex() {
    TFileIndex::GetInstance().Clear();
}

void SetUserDataRoot(const str& folder) {
    TFileIndex::GetInstance().SetRoot(TFileIndex::kUserRoot, folder);
}
void SetCommonDataRoot(const str& folder) {
    TFileIndex::GetInstance().SetRoot(TFileIndex::kCommonRoot, folder);
}
void SetDesktopRoot(const str& folder) {
    TFileIndex::GetInstance().SetRoot(TFileIndex::kDesktopRoot, folder);
}
str GetUserDataRoot() {
    return TFileIndex::GetInstance().GetRoot(TFileIndex::kUserRoot);
}
str GetCommonDataRoot() {
    return TFileIndex::GetInstance().GetRoot(TFileIndex::kCommonRoot);
}
str GetDesktopRoot() {
    return TFileIndex::GetInstance().GetRoot(TFileIndex::kDesktopRoot);
}
