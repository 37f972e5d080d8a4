// The preference file's layout: a sequence of records with no header, each a four-letter tag, a
// payload size (uint32 little-endian) and the payload:
//   "IKEY"  an installation key, its text and a NUL, enciphered; starts one installation's records;
//   "USER"  a slot number (uint16 little-endian, slot 0 = the global values, slot u+1 = user u),
//           not enciphered, size 2; starts one slot's pairs;
//   "KVPR"  one pair of the current slot, enciphered: the key's length with its NUL (uint16
//           little-endian), the key and its NUL, then the value's bytes.
// Enciphered payloads are the cipher's padded blocks: n plain bytes take n rounded down to a
// multiple of 8, plus 8. The file begins with the current installation's "IKEY"; then comes every
// installation in key order, its slots from 0 up, each slot's pairs in key order.
//
// The reader and the writer here work on bytes in memory; TPrefs (prefs.h) does the file
// handling. The writer never produces a record that the reader refuses. Callers own the cipher
// and use one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/str.h"

class TCrypt;

// One slot's values: key → value bytes (the text and its NUL as the program stores it, or exactly
// the bytes a file held).
using TPrefsValues = std::map<str, std::string>;
// One installation's slots: slot 0 the global values, slot u+1 user u.
using TPrefsSlots = std::vector<TPrefsValues>;
// Installation key → its slots.
using TPrefsInstalls = std::map<str, TPrefsSlots>;

namespace prefsfile {
// The largest payload the reader takes. Files written with the original 4 MiB limit read the
// same; a large saved world above it is still read whole.
constexpr uint32_t kLargestRecord = 64u * 1024u * 1024u;
// The highest slot number, so at most 1025 slots (the global one and 1024 users).
constexpr int kLargestSlot = 1024;
// The longest key text: its length with the NUL must fit the 16-bit field.
constexpr size_t kLongestKey = 65534;

// The payload size of n plain bytes once enciphered.
inline size_t SealedSize(size_t plain) {
    return plain / 8 * 8 + 8;
}
// Whether a pair with this key and this many value bytes can be written.
bool PairFits(const str& key, size_t valueBytes);
}  // namespace prefsfile

struct TPrefsRecord {
    char tag[4];
    // Where the record begins in the data, and its payload size field.
    size_t offset;
    uint32_t size;
    // The plain payload: deciphered, except for "USER".
    std::string payload;
};

// Reads records one at a time from bytes in memory.
class TPrefsRecordReader {
public:
    // data must outlive the reader.
    TPrefsRecordReader(const char* data, size_t size, TCrypt& crypt);

    enum Result { kRecord, kEnd, kDamaged };
    // The next record; kEnd only when the data ends exactly where a record would begin. A size of
    // 0 or above kLargestRecord, a record cut short, and a payload that does not decipher (not a
    // whole number of blocks, or its pad bytes wrong, as a different key gives) are damage.
    Result Next(TPrefsRecord& record);
    // After kDamaged: what was wrong, and where the record begins.
    const char* Problem() const { return mProblem; }
    size_t ProblemOffset() const { return mProblemOffset; }

private:
    Result Damaged(const char* problem, size_t offset);

    const char* mData;
    size_t mSize;
    size_t mPosition = 0;
    TCrypt& mCrypt;
    const char* mProblem = "";
    size_t mProblemOffset = 0;
};

// A "USER" payload's slot number; false when it holds fewer than 2 bytes.
bool ReadPrefsSlot(const std::string& payload, int& slot);
// A "KVPR" payload's key (up to its first NUL) and value bytes; false when the payload is shorter
// than its key length field, the key length is 0, or the key runs past the payload.
bool ReadPrefsPair(const std::string& payload, str& key, std::string& value);
// An "IKEY" payload's text, up to its first NUL or its end.
str ReadPrefsKeyText(const std::string& payload);

struct TPrefsReadOutcome {
    // Reading stopped anywhere but at a clean end.
    bool damaged = false;
    const char* problem = "";
    size_t problemOffset = 0;
    // Whether the data began with an installation key, and that key (lower-cased).
    bool haveFirstKey = false;
    str firstKey;
};

// Reads records into installs, adding to what is there: every "IKEY" makes its key (lower-cased)
// the current installation, every "USER" the current slot (growing that installation's list to
// hold it), every "KVPR" stores its pair in the current slot, replacing. Reading stops at the
// first damaged record, and also (counted as damage) at a first record that is not an "IKEY", a
// slot above kLargestSlot, a "KVPR" before any "USER" of its installation, and an unknown tag;
// what was read before stays. Empty data reads as nothing, undamaged.
TPrefsReadOutcome ReadPrefsRecords(const char* data, size_t size, TCrypt& crypt,
                                   TPrefsInstalls& installs);

// The whole file for the current installation key and every installation. False, with out empty
// and problem telling why, when a record would not fit the layout (a slot above kLargestSlot, a
// key too long, a payload above kLargestRecord).
bool WritePrefsRecords(TCrypt& crypt, const str& currentKey, const TPrefsInstalls& installs,
                       std::string& out, std::string& problem);
