#include "platform/draw/spancache.h"

#include <cstddef>
#include <cstring>

namespace {

uint32_t Fnv(uint32_t hash, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ p[i]) * 16777619u;
    return hash;
}

// The key's fields without padding, for hashing and comparing.
size_t KeyBytes(const TSpanKey& key, uint8_t* out) {
    size_t n = offsetof(TSpanKey, slant);
    std::memcpy(out, &key, n);
    out[n] = key.slant;
    return n + 1;
}

}  // namespace

TSpanCache::TSpanCache() = default;

TSpanCache::~TSpanCache() {
    Clear();
}

uint32_t TSpanCache::Hash(const TSpanKey& key, const uint8_t* bytes, size_t size) {
    uint8_t raw[sizeof(TSpanKey)];
    uint32_t hash = Fnv(2166136261u, raw, KeyBytes(key, raw));
    if (key.fontSerial == 0 && bytes != nullptr) hash = Fnv(hash, bytes, size);
    return hash % kBuckets;
}

bool TSpanCache::KeyEquals(const Record& record, const TSpanKey& key, const uint8_t* bytes,
                           size_t size) {
    uint8_t a[sizeof(TSpanKey)];
    uint8_t b[sizeof(TSpanKey)];
    size_t n = KeyBytes(record.key, a);
    KeyBytes(key, b);
    if (std::memcmp(a, b, n) != 0) return false;
    if (key.fontSerial != 0) return true;
    return record.bytes.size() == size &&
           (size == 0 || std::memcmp(record.bytes.data(), bytes, size) == 0);
}

int64_t TSpanCache::Find(const TSpanKey& key, const uint8_t* bytes, size_t size) const {
    for (Record* r = mBuckets[Hash(key, bytes, size)]; r != nullptr; r = r->next) {
        if (r != mOpen && KeyEquals(*r, key, bytes, size)) return r->start;
    }
    return -1;
}

size_t TSpanCache::GetMemory() const {
    return mBlocks.size() * kBlockBytes + mRecordCount * sizeof(Record);
}

void TSpanCache::BeginRecord(const TSpanKey& key, const uint8_t* bytes, size_t size) {
    if (mOpen != nullptr) EndRecord();
    if (mFull || GetMemory() + sizeof(Record) + size > kMemoryCap) Clear();
    Record* record = new Record{key, {}, mWrite, nullptr};
    if (key.fontSerial == 0 && bytes != nullptr) record->bytes.assign(bytes, bytes + size);
    uint32_t bucket = Hash(key, bytes, size);
    record->next = mBuckets[bucket];
    mBuckets[bucket] = record;
    ++mRecordCount;
    mOpen = record;
}

bool TSpanCache::Append(const TSpanRecord& span) {
    size_t block = static_cast<size_t>(mWrite / kSpansPerBlock);
    if (block == mBlocks.size()) {
        if (GetMemory() + kBlockBytes > kMemoryCap) return false;
        mBlocks.push_back(std::make_unique<TSpanRecord[]>(kSpansPerBlock));
    }
    mBlocks[block][static_cast<size_t>(mWrite % kSpansPerBlock)] = span;
    ++mWrite;
    return true;
}

bool TSpanCache::Add(const TSpanRecord& span) {
    if (mOpen == nullptr) return false;
    if (Append(span)) return true;
    // Too large to keep: the glyph is still drawn, just not remembered, and the next record
    // starts an empty cache.
    Unlink(mOpen);
    mOpen = nullptr;
    mFull = true;
    return false;
}

void TSpanCache::EndRecord() {
    if (mOpen == nullptr) return;
    if (!Append(TSpanRecord{0, 0, 0, 0xFF, 0})) {
        Unlink(mOpen);
        mFull = true;
    }
    mOpen = nullptr;
}

void TSpanCache::Unlink(Record* record) {
    for (Record** link = &mBuckets[Hash(record->key, record->bytes.data(), record->bytes.size())];
         *link != nullptr; link = &(*link)->next) {
        if (*link == record) {
            *link = record->next;
            delete record;
            --mRecordCount;
            return;
        }
    }
}

void TSpanCache::DropFont(uint32_t serial) {
    if (serial == 0) return;
    for (Record*& head : mBuckets) {
        for (Record** link = &head; *link != nullptr;) {
            Record* record = *link;
            if (record->key.fontSerial == serial) {
                if (record == mOpen) mOpen = nullptr;
                *link = record->next;
                delete record;
                --mRecordCount;
            } else {
                link = &record->next;
            }
        }
    }
    // The spans of dropped records stay in their blocks until nothing refers to the blocks.
    if (mRecordCount == 0) Clear();
}

void TSpanCache::Clear() {
    for (Record*& head : mBuckets) {
        while (head != nullptr) {
            Record* next = head->next;
            delete head;
            head = next;
        }
    }
    mRecordCount = 0;
    mOpen = nullptr;
    mBlocks.clear();
    mWrite = 0;
    mFull = false;
}
