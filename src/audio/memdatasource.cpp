#include "audio/memdatasource.h"

#include <cstring>
#include <new>

#include "audio/soundlock.h"

std::shared_ptr<TMemDataSource> TMemDataSource::Decode(
    const std::shared_ptr<TSoundDataSource>& source) {
    uint64_t total = source->GetTotalBytes();
    if (total > kLargestDecoded) return nullptr;
    std::shared_ptr<TMemDataSource> decoded(new TMemDataSource);
    decoded->mSize = static_cast<uint32_t>(total);
    decoded->mBlock.reset(new (std::nothrow) uint8_t[total > 0 ? total : 1]);
    if (decoded->mBlock == nullptr) return nullptr;
    decoded->mChannels = source->GetChannels();
    decoded->mSampleRate = source->GetSampleRate();
    decoded->mLength = source->GetLength();
    uint32_t got = source->Read(decoded->mBlock.get(), 0, decoded->mSize);
    if (got < decoded->mSize) std::memset(decoded->mBlock.get() + got, 0, decoded->mSize - got);
    return decoded;
}

uint32_t TMemDataSource::Read(uint8_t* destination, uint32_t offset, uint32_t count) {
    TSoundLock lock;
    if (offset >= mSize) return 0;
    if (count > mSize - offset) count = mSize - offset;
    std::memcpy(destination, mBlock.get() + offset, count);
    return count;
}
