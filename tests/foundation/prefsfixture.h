// What the preference tests share: a builder that writes preference files record by record (by
// hand, beside the program's writer, so the tests see the layout itself), a reader that lists a
// file's records, and a fixture with a user data folder, the settings the store reads and an
// installation file in the asset folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "filefixture.h"
#include "foundation/prefs/crypt.h"
#include "foundation/file/fileindex.h"
#include "foundation/prefs/prefsfile.h"

namespace prefs_testing {

constexpr const char kKey[] = "Umbrava12Key";

inline std::string LittleEndian32(uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
    return out;
}

inline std::string LittleEndian16(int value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

// A preference file made record by record.
class FileBuilder {
public:
    explicit FileBuilder(const char* key = kKey) : mCrypt(key) {}

    // A record with its payload enciphered.
    FileBuilder& Sealed(const char* tag, const std::string& plain) {
        int needed =
            mCrypt.Encrypt(plain.data(), static_cast<int>(plain.size()), nullptr, 0, false);
        std::string sealed(static_cast<size_t>(needed), '\0');
        mCrypt.Encrypt(plain.data(), static_cast<int>(plain.size()), sealed.data(), needed, false);
        return Raw(tag, sealed);
    }
    // A record whose payload is taken as it is.
    FileBuilder& Raw(const char* tag, const std::string& payload) {
        return Header(tag, static_cast<uint32_t>(payload.size())).Bytes(payload);
    }
    FileBuilder& Header(const char* tag, uint32_t size) {
        mBytes.append(tag, 4);
        mBytes += LittleEndian32(size);
        return *this;
    }
    FileBuilder& Bytes(const std::string& bytes) {
        mBytes += bytes;
        return *this;
    }
    FileBuilder& Install(const std::string& key) { return Sealed("IKEY", key + '\0'); }
    FileBuilder& User(int slot) { return Raw("USER", LittleEndian16(slot)); }
    // A pair as the program stores it: the value's text and its NUL.
    FileBuilder& Pair(const std::string& key, const std::string& value) {
        return PairBytes(key, value + '\0');
    }
    FileBuilder& PairBytes(const std::string& key, const std::string& valueBytes) {
        return Sealed("KVPR",
                      LittleEndian16(static_cast<int>(key.size()) + 1) + key + '\0' + valueBytes);
    }

    const std::string& Get() const { return mBytes; }

private:
    TCrypt mCrypt;
    std::string mBytes;
};

struct Record {
    std::string tag;
    std::string payload;
    uint32_t size;
};

// Every record of a file, in order; the read must end cleanly.
inline std::vector<Record> ListRecords(const std::string& bytes, const char* key = kKey) {
    TCrypt crypt(key);
    TPrefsRecordReader reader(bytes.data(), bytes.size(), crypt);
    std::vector<Record> records;
    TPrefsRecord record;
    TPrefsRecordReader::Result result;
    while ((result = reader.Next(record)) == TPrefsRecordReader::kRecord)
        records.push_back(Record{std::string(record.tag, 4), record.payload, record.size});
    EXPECT_EQ(result, TPrefsRecordReader::kEnd) << reader.Problem();
    return records;
}

class PrefsTest : public FileLayerTest {
protected:
    void SetUp() override {
        FileLayerTest::SetUp();
        SetUserDataRoot(mDir.File("user").c_str());
        TSettingsMap::GetInstance().Set("encryptionkey", kKey);
        TSettingsMap::GetInstance().Set("installkey", "Test-Install");
    }

    void PutPrefs(const std::string& bytes) { Put("user/prefs.dat", bytes); }
    std::string GetPrefs() const { return Get("user/prefs.dat"); }
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(mDir.File(relative));
    }
    // The installation file, found through the asset folder as the program finds it.
    void PutInstallFile(const std::string& text) {
        Put("assets/install.txt", text);
        ScanAssetFolder("", "assets");
    }
    // The names in the user folder, in order.
    std::vector<std::string> UserFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mDir.File("user")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace prefs_testing
