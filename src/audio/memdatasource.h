// TMemDataSource: a sound decoded whole into memory, so that replaying it costs no decoding. It
// is made from another source, read once from its start: a source that delivers less than it
// declared leaves silence in the rest, and sizes and length stay as declared.
//
// Held through shared references; reads take the sound lock.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/sounddatasource.h"

class TMemDataSource : public TSoundDataSource {
public:
    // The most PCM a memory source holds: a declared size beyond it is a damaged header.
    static constexpr uint64_t kLargestDecoded = 256ull << 20;

    // The whole of the source decoded; empty when it declares more than kLargestDecoded bytes
    // or the memory cannot be had.
    static std::shared_ptr<TMemDataSource> Decode(const std::shared_ptr<TSoundDataSource>& source);

    // Copies what lies between the offset and the size; 0 at or past the size.
    uint32_t Read(uint8_t* destination, uint32_t offset, uint32_t count) override;
    uint64_t GetTotalBytes() const override { return mSize; }
    uint32_t GetSampleRate() const override { return mSampleRate; }
    uint32_t GetChannels() const override { return mChannels; }
    double GetLength() const override { return mLength; }

private:
    TMemDataSource() = default;

    std::unique_ptr<uint8_t[]> mBlock;
    uint32_t mSize = 0;
    uint32_t mChannels = 0;
    uint32_t mSampleRate = 0;
    double mLength = 0.0;
};
