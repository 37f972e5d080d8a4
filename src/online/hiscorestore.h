// THiscoreStore: the hiscore client's local records (hiscorerecords.h) and the file that keeps
// them between runs, "user:hiscore.dat".
//
// The file is a plain XML text, enciphered with the client's TCrypt (keyed with the setting
// "encryptionkey"; no base64) together with its closing NUL, followed by a checksum over the
// enciphered bytes, enciphered the same way: one 8-byte block. The text is the declaration line,
// then, with no common root, one "user" element per login, one "score" element with its "row"s
// per local table and one "medals" element with its "medal"s per medal record, in key order.
//
// The file is untrusted: whatever does not pass the checksum, does not decipher to a whole,
// padded text ending in a NUL, or is not plain XML loads nothing. Saving replaces the file safely
// (safefile.h), so a crash or a full disk keeps the old one.
//
// The saved passwords are only enciphered, with a key every copy of the program holds: anyone
// who can read the file can recover them.
//
// The store belongs to the client and, like it, to the main thread. The cipher is the client's,
// lent to each load and save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/str.h"
#include "online/hiscorerecords.h"

class TCrypt;

class THiscoreStore {
public:
    // With saving off, Save writes nothing.
    explicit THiscoreStore(bool saving) : mSaving(saving) {}

    // Reads "user:hiscore.dat". A missing file loads nothing, silently.
    void Load(TCrypt& crypt);
    // Writes every record to "user:hiscore.dat" when saving is on. A failed write leaves the old
    // file and logs one line.
    void Save(TCrypt& crypt) const;

    // The file's bytes in place of the records held: 8 bytes or fewer give nothing; a file that
    // fails its checksum, or does not decipher to a padded text with a NUL, gives nothing and logs
    // the checksum line.
    void ReadFile(TCrypt& crypt, const char* data, size_t size);
    std::string MakeFile(TCrypt& crypt) const;
    // The plain text, parsed up to length (a text beginning "ZXML" is not read): later records
    // under a key replace earlier ones, and are added to those held.
    void ReadText(const char* text, size_t length);
    std::string MakeText() const;

    // The local table of a game mode, or null; never makes one.
    THiscoreTable* FindLocalTable(const char* mode);

    THiscoreTables& Tables() { return mTables; }
    THiscoreMedalRecords& Medals() { return mMedals; }
    THiscoreLogins& Logins() { return mLogins; }
    const THiscoreTables& Tables() const { return mTables; }
    const THiscoreMedalRecords& Medals() const { return mMedals; }
    const THiscoreLogins& Logins() const { return mLogins; }

    void Clear();

private:
    THiscoreTables mTables;
    THiscoreMedalRecords mMedals;
    THiscoreLogins mLogins;
    bool mSaving;
};

// A file holding text: the text and a NUL enciphered, then the checksum block. Reading stops at
// the text's first NUL.
std::string SealHiscoreFile(TCrypt& crypt, const std::string& text);

// The file's checksum: byte i of data XORed into byte i mod 4 of a 32-bit word, least
// significant first.
uint32_t HiscoreChecksum(const char* data, size_t size);
