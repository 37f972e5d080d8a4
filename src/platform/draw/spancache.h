// TSpanCache: the glyph drawer's memory of the spans it has computed (bvminivecdraw.h), so that
// text drawn again (every frame) is replayed instead of rasterised. A record holds a key and
// where its spans begin; spans are 8-byte records in 64 KB blocks, a list ending with a
// coverage byte of 0xFF and running on into the next block when one fills.
//
// The key says what was drawn, not where it lies in memory: a font glyph by its font's serial
// number and outline offset, an outline of serial 0 (built by the caller) by its bytes; then the
// quarter phases, scales, rotation, stroke widths and slant. Records of a destroyed font are
// dropped (the drawer calls DropFont). Memory is bounded: when the span blocks and records pass
// 16 MB the cache is emptied before the next record, and a single glyph whose spans would pass
// it stops being recorded (it is still drawn).
//
// Owned by its drawer; main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct TSpanRecord {
    int16_t x0, x1, y;
    uint8_t coverage;  // 1 to 16; 0xFF ends a list
    uint8_t layer;
};
static_assert(sizeof(TSpanRecord) == 8);

struct TSpanKey {
    uint32_t fontSerial;
    uint32_t offset;
    int32_t phaseX, phaseY;
    float scaleX, scaleY;
    float cosine, sine;
    float strokeWidth[2];
    uint8_t slant;
};

class TSpanCache {
public:
    static constexpr int kBuckets = 2039;
    static constexpr int kSpansPerBlock = 8192;
    static constexpr size_t kBlockBytes = kSpansPerBlock * sizeof(TSpanRecord);
    static constexpr size_t kMemoryCap = 16u << 20;

    TSpanCache();
    ~TSpanCache();
    TSpanCache(const TSpanCache&) = delete;
    TSpanCache& operator=(const TSpanCache&) = delete;

    // The position of the record's first span, or -1 when there is no record for the key (the
    // bytes are the outline's for serial 0 and ignored otherwise).
    int64_t Find(const TSpanKey& key, const uint8_t* bytes, size_t size) const;
    // Starts a record for the key at the head of its bucket; spans added go to it until
    // EndRecord. Empties the cache first when it is over its cap.
    void BeginRecord(const TSpanKey& key, const uint8_t* bytes, size_t size);
    // False when the record has been given up (it would pass the cap): stop adding.
    bool Add(const TSpanRecord& span);
    void EndRecord();
    // The span at a position; the position of the next one.
    const TSpanRecord& At(int64_t position) const {
        return mBlocks[static_cast<size_t>(position / kSpansPerBlock)]
                      [static_cast<size_t>(position % kSpansPerBlock)];
    }

    void DropFont(uint32_t serial);
    void Clear();

    size_t GetRecordCount() const { return mRecordCount; }
    size_t GetBlockCount() const { return mBlocks.size(); }
    // The span blocks and records together.
    size_t GetMemory() const;

private:
    struct Record {
        TSpanKey key;
        std::vector<uint8_t> bytes;
        int64_t start;
        Record* next;
    };

    static uint32_t Hash(const TSpanKey& key, const uint8_t* bytes, size_t size);
    static bool KeyEquals(const Record& record, const TSpanKey& key, const uint8_t* bytes,
                          size_t size);
    bool Append(const TSpanRecord& span);
    void Unlink(Record* record);

    Record* mBuckets[kBuckets] = {};
    size_t mRecordCount = 0;
    std::vector<std::unique_ptr<TSpanRecord[]>> mBlocks;
    // Where the next span goes.
    int64_t mWrite = 0;
    Record* mOpen = nullptr;
    // A record was given up at the cap: the next one empties the cache first.
    bool mFull = false;
};
