#include "foundation/prefs/prefsfile.h"

#include <cstring>

#include "foundation/prefs/crypt.h"

namespace {

constexpr size_t kHeader = 8;
constexpr size_t kBlock = 8;

uint32_t LittleEndian32(const char* data) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

int LittleEndian16(const char* data) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    return bytes[0] | bytes[1] << 8;
}

void AppendLittleEndian32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

void AppendLittleEndian16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

bool PayloadFits(size_t plain) {
    return plain < prefsfile::kLargestRecord &&
           prefsfile::SealedSize(plain) <= prefsfile::kLargestRecord;
}

// Appends one enciphered record.
void AppendSealed(TCrypt& crypt, std::string& out, const char* tag, const std::string& plain) {
    const size_t sealed = prefsfile::SealedSize(plain.size());
    out.append(tag, 4);
    AppendLittleEndian32(out, static_cast<uint32_t>(sealed));
    const size_t at = out.size();
    out.resize(at + sealed);
    crypt.Encrypt(plain.data(), static_cast<int>(plain.size()), out.data() + at,
                  static_cast<int>(sealed), false);
}

std::string KeyPayload(const str& key) {
    return std::string(key.c_str(), key.Length() + 1);
}

str Lowered(str text) {
    text.ToLower();
    return text;
}

}  // namespace

bool prefsfile::PairFits(const str& key, size_t valueBytes) {
    const size_t keyBytes = key.Length() + 1;
    return key.Length() <= kLongestKey && valueBytes < kLargestRecord &&
           PayloadFits(2 + keyBytes + valueBytes);
}

TPrefsRecordReader::TPrefsRecordReader(const char* data, size_t size, TCrypt& crypt)
    : mData(data), mSize(data != nullptr ? size : 0), mCrypt(crypt) {}

TPrefsRecordReader::Result TPrefsRecordReader::Damaged(const char* problem, size_t offset) {
    mProblem = problem;
    mProblemOffset = offset;
    // Nothing after damage is read.
    mPosition = mSize;
    return kDamaged;
}

TPrefsRecordReader::Result TPrefsRecordReader::Next(TPrefsRecord& record) {
    const size_t start = mPosition;
    if (start == mSize) return kEnd;
    if (mSize - start < kHeader) return Damaged("record header cut short", start);
    std::memcpy(record.tag, mData + start, 4);
    const uint32_t size = LittleEndian32(mData + start + 4);
    if (size == 0 || size > prefsfile::kLargestRecord) return Damaged("size out of range", start);
    if (mSize - start - kHeader < size) return Damaged("record cut short", start);
    const char* payload = mData + start + kHeader;
    record.offset = start;
    record.size = size;
    if (record.tag[0] == 'U') {
        record.payload.assign(payload, size);
    } else {
        if (size % kBlock != 0) return Damaged("payload is not whole blocks", start);
        record.payload.resize(size);
        const int status = mCrypt.Decrypt(payload, static_cast<int>(size), record.payload.data(),
                                          static_cast<int>(size), false);
        const size_t plain = status == 0 ? static_cast<size_t>(mCrypt.LastLength()) : 0;
        if (plain == 0 || prefsfile::SealedSize(plain) != size)
            return Damaged("payload does not decipher", start);
        record.payload.resize(plain);
        // The pad bytes must be what the cipher writes: enciphering the last block's plain part
        // again gives the stored block only under the same key.
        const size_t tail = plain / kBlock * kBlock;
        char block[kBlock];
        mCrypt.Encrypt(record.payload.data() + tail, static_cast<int>(plain - tail), block,
                       sizeof block, false);
        if (std::memcmp(block, payload + size - kBlock, kBlock) != 0)
            return Damaged("payload does not decipher", start);
    }
    mPosition = start + kHeader + size;
    return kRecord;
}

bool ReadPrefsSlot(const std::string& payload, int& slot) {
    if (payload.size() < 2) return false;
    slot = LittleEndian16(payload.data());
    return true;
}

bool ReadPrefsPair(const std::string& payload, str& key, std::string& value) {
    if (payload.size() < 2) return false;
    const size_t keyLength = static_cast<size_t>(LittleEndian16(payload.data()));
    if (keyLength == 0 || keyLength + 2 > payload.size()) return false;
    key = str(payload.data() + 2, static_cast<int>(keyLength));
    value.assign(payload, 2 + keyLength, std::string::npos);
    return true;
}

str ReadPrefsKeyText(const std::string& payload) {
    return str(payload.data(), static_cast<int>(payload.size()));
}

TPrefsReadOutcome ReadPrefsRecords(const char* data, size_t size, TCrypt& crypt,
                                   TPrefsInstalls& installs) {
    TPrefsReadOutcome outcome;
    TPrefsRecordReader reader(data, size, crypt);
    auto damaged = [&](const char* problem, size_t offset) {
        outcome.damaged = true;
        outcome.problem = problem;
        outcome.problemOffset = offset;
        return outcome;
    };

    TPrefsRecord record;
    TPrefsRecordReader::Result result = reader.Next(record);
    if (result == TPrefsRecordReader::kEnd) return outcome;
    if (result == TPrefsRecordReader::kDamaged)
        return damaged(reader.Problem(), reader.ProblemOffset());
    if (record.tag[0] != 'I') return damaged("first record is not an installation key", 0);
    str install = Lowered(ReadPrefsKeyText(record.payload));
    outcome.haveFirstKey = true;
    outcome.firstKey = install;

    TPrefsValues* slot = nullptr;
    while ((result = reader.Next(record)) == TPrefsRecordReader::kRecord) {
        switch (record.tag[0]) {
            case 'I':
                install = Lowered(ReadPrefsKeyText(record.payload));
                slot = nullptr;
                break;
            case 'U': {
                int number;
                if (!ReadPrefsSlot(record.payload, number))
                    return damaged("slot record too short", record.offset);
                if (number > prefsfile::kLargestSlot)
                    return damaged("slot number out of range", record.offset);
                TPrefsSlots& slots = installs[install];
                if (slots.size() <= static_cast<size_t>(number))
                    slots.resize(static_cast<size_t>(number) + 1);
                slot = &slots[static_cast<size_t>(number)];
                break;
            }
            case 'K': {
                if (slot == nullptr) return damaged("pair before any slot", record.offset);
                str key;
                std::string value;
                if (!ReadPrefsPair(record.payload, key, value))
                    return damaged("pair with a bad key length", record.offset);
                (*slot)[key] = std::move(value);
                break;
            }
            default:
                return damaged("unknown record", record.offset);
        }
    }
    if (result == TPrefsRecordReader::kDamaged)
        return damaged(reader.Problem(), reader.ProblemOffset());
    return outcome;
}

bool WritePrefsRecords(TCrypt& crypt, const str& currentKey, const TPrefsInstalls& installs,
                       std::string& out, std::string& problem) {
    out.clear();
    problem.clear();
    auto refuse = [&](const std::string& why) {
        out.clear();
        problem = why;
        return false;
    };

    if (!PayloadFits(currentKey.Length() + 1)) return refuse("installation key too long");
    AppendSealed(crypt, out, "IKEY", KeyPayload(currentKey));
    std::string plain;
    for (const auto& [install, slots] : installs) {
        if (!PayloadFits(install.Length() + 1)) return refuse("installation key too long");
        if (slots.size() > static_cast<size_t>(prefsfile::kLargestSlot) + 1)
            return refuse("more slots than the file can hold");
        AppendSealed(crypt, out, "IKEY", KeyPayload(install));
        for (size_t j = 0; j < slots.size(); ++j) {
            out.append("USER", 4);
            AppendLittleEndian32(out, 2);
            AppendLittleEndian16(out, static_cast<int>(j));
            for (const auto& [key, value] : slots[j]) {
                if (!prefsfile::PairFits(key, value.size()))
                    return refuse("value too large: " + std::string(key.c_str()));
                plain.clear();
                AppendLittleEndian16(plain, static_cast<int>(key.Length() + 1));
                plain.append(key.c_str(), key.Length() + 1);
                plain.append(value);
                AppendSealed(crypt, out, "KVPR", plain);
            }
        }
    }
    return true;
}
