#include "foundation/file/memoryfile.h"

#include <cstdlib>
#include <cstring>

#include "foundation/file/fileindex.h"

bool TMemoryFile::Open(const str& location, int mode) {
    Close();
    mMode = mode;
    if (mode != kFileReadBinary && mode != kFileReadText) return false;
    const char* text = location.c_str();
    if (*text != '&') return false;
    char* end = nullptr;
    uint64_t handle = std::strtoull(text + 1, &end, 10);
    const char* data = nullptr;
    uint32_t registered = 0;
    if (handle == 0 || !TFileIndex::GetInstance().FindMemoryBlock(handle, &data, &registered)) {
        return false;
    }
    const char* comma = std::strchr(end, ',');
    if (comma == nullptr) {
        Close();
        return false;
    }
    uint64_t size = std::strtoull(comma + 1, nullptr, 10);
    mWindow.data = data;
    mWindow.size = size < registered ? static_cast<uint32_t>(size) : registered;
    mWindow.position = 0;
    return true;
}

void TMemoryFile::Close() {
    mWindow = TByteWindow();
}

void TMemoryFile::UngetChar() {
    Seek(-1, kSeekCurrent);
}

void TMemoryFile::Seek(long offset, int origin) {
    uint32_t target;
    if (mWindow.SeekTarget(offset, origin, &target)) {
        mWindow.position = target > mWindow.size ? mWindow.size : target;
    }
}

int TMemoryFile::GetSize() {
    return static_cast<int>(mWindow.size);
}

int TMemoryFile::Tell() {
    return static_cast<int>(mWindow.position);
}

int TMemoryFile::Read(void* buffer, int count) {
    return mWindow.Read(buffer, count, mMode == kFileReadText);
}

int TMemoryFile::Write(const void*, int) {
    return 0;
}

bool TMemoryFile::IsEof() {
    return mWindow.position == mWindow.size;
}
