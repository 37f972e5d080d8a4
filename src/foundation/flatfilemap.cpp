#include "foundation/flatfilemap.h"

#include <cstdlib>
#include <cstring>

#include "foundation/filemaphandler.h"
#include "foundation/log.h"

bool TFlatFileMap::Open(const str& member, int mode) {
    Close();
    const char* text = member.c_str();
    if (*text != '@') return false;
    char* end = nullptr;
    const uint64_t number = std::strtoull(text + 1, &end, 10);
    if (number > UINT32_MAX) return false;
    std::shared_ptr<TFileMapData> mapping =
        TFileMapHandler::GetArchiveMapping(static_cast<uint32_t>(number));
    if (mapping == nullptr) return false;
    if (mapping->GetView() == nullptr) {
        LogPrintf("error reading %s from flat file", text);
        return false;
    }
    const char* colon = std::strchr(end, ':');
    const char* comma = colon != nullptr ? std::strchr(colon + 1, ',') : nullptr;
    if (comma == nullptr) {
        Close();
        return false;
    }
    const uint64_t offset = std::strtoull(colon + 1, nullptr, 10);
    const uint64_t size = std::strtoull(comma + 1, nullptr, 10);
    // Mounting passes over members outside their archive; this keeps any other name honest.
    if (offset > mapping->GetSize() || size > mapping->GetSize() - offset || size > UINT32_MAX) {
        LogPrintf("error reading %s from flat file", text);
        return false;
    }
    mMapping = std::move(mapping);
    mData = mMapping->GetView() + offset;
    mSize = static_cast<uint32_t>(size);
    mPosition = 0;
    mEnd = false;
    mMode = mode;
    return true;
}

void TFlatFileMap::Close() {
    mMapping.reset();
    mData = nullptr;
    mSize = 0;
    mPosition = 0;
    mEnd = true;
}

void TFlatFileMap::UngetChar() {
    Seek(-1, kSeekCurrent);
    mEnd = false;
}

void TFlatFileMap::Seek(long offset, int origin) {
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
    if (position <= mSize) {
        mPosition = position;
        mEnd = false;
    } else {
        mPosition = mSize;
    }
}

int TFlatFileMap::GetSize() {
    return static_cast<int>(mSize);
}

int TFlatFileMap::Tell() {
    return static_cast<int>(mPosition);
}

int TFlatFileMap::Read(void* buffer, int count) {
    if (mData == nullptr || buffer == nullptr || count <= 0) return 0;
    const uint32_t left = mSize - mPosition;
    int want = count;
    if (static_cast<uint32_t>(count) > left) {
        want = static_cast<int>(left);
        mEnd = true;
    }
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

int TFlatFileMap::Write(const void*, int) {
    return 0;
}

bool TFlatFileMap::IsEof() {
    return mEnd;
}
