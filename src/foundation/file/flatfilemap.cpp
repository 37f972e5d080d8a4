#include "foundation/file/flatfilemap.h"

#include <cstdlib>
#include <cstring>

#include "foundation/file/filemaphandler.h"
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
    mWindow.data = mMapping->GetView() + offset;
    mWindow.size = static_cast<uint32_t>(size);
    mWindow.position = 0;
    mEnd = false;
    mMode = mode;
    return true;
}

void TFlatFileMap::Close() {
    mMapping.reset();
    mWindow = TByteWindow();
    mEnd = true;
}

void TFlatFileMap::UngetChar() {
    Seek(-1, kSeekCurrent);
    mEnd = false;
}

void TFlatFileMap::Seek(long offset, int origin) {
    uint32_t target;
    if (!mWindow.SeekTarget(offset, origin, &target)) return;
    if (target <= mWindow.size) {
        mWindow.position = target;
        mEnd = false;
    } else {
        mWindow.position = mWindow.size;
    }
}

int TFlatFileMap::GetSize() {
    return static_cast<int>(mWindow.size);
}

int TFlatFileMap::Tell() {
    return static_cast<int>(mWindow.position);
}

int TFlatFileMap::Read(void* buffer, int count) {
    if (mWindow.data == nullptr || buffer == nullptr || count <= 0) return 0;
    // As with stdio, only a read cut short by the end raises the end flag.
    if (static_cast<uint32_t>(count) > mWindow.size - mWindow.position) mEnd = true;
    return mWindow.Read(buffer, count, mMode == kFileReadText);
}

int TFlatFileMap::Write(const void*, int) {
    return 0;
}

bool TFlatFileMap::IsEof() {
    return mEnd;
}
