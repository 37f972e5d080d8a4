#include "foundation/memoryfile.h"

#include <cstdlib>
#include <cstring>

#include "foundation/fileindex.h"

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
    mData = data;
    mSize = size < registered ? static_cast<uint32_t>(size) : registered;
    mPosition = 0;
    return true;
}

void TMemoryFile::Close() {
    mData = nullptr;
    mPosition = 0;
    mSize = 0;
}

void TMemoryFile::UngetChar() {
    Seek(-1, kSeekCurrent);
}

void TMemoryFile::Seek(long offset, int origin) {
    uint32_t position;
    switch (origin) {
        case kSeekCurrent:
            position = mPosition + static_cast<uint32_t>(offset);
            break;
        case kSeekStart:
            position = static_cast<uint32_t>(offset);
            break;
        case kSeekEnd:
            position = mSize + static_cast<uint32_t>(offset);
            break;
        default:
            return;
    }
    mPosition = position > mSize ? mSize : position;
}

int TMemoryFile::GetSize() {
    return static_cast<int>(mSize);
}

int TMemoryFile::Tell() {
    return static_cast<int>(mPosition);
}

int TMemoryFile::Read(void* buffer, int count) {
    if (mData == nullptr || buffer == nullptr || count <= 0) return 0;
    const uint32_t left = mSize - mPosition;
    const int want = static_cast<uint32_t>(count) > left ? static_cast<int>(left) : count;
    if (mMode == kFileReadText) {
        int used;
        const int available = left > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(left);
        int stored = CopyWithoutCarriageReturns(static_cast<char*>(buffer), want, mData + mPosition,
                                                available, &used);
        mPosition += static_cast<uint32_t>(used);
        return stored;
    }
    std::memcpy(buffer, mData + mPosition, static_cast<size_t>(want));
    mPosition += static_cast<uint32_t>(want);
    return want;
}

int TMemoryFile::Write(const void*, int) {
    return 0;
}

bool TMemoryFile::IsEof() {
    return mPosition == mSize;
}
