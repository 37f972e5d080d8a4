// What the hiscore tests share: the key, a maker of "user:hiscore.dat" files written by hand from
// the layout (beside the store's own writer, so the tests see the layout itself), and a fixture
// with a user data folder and the log captured.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/file/fileindex.h"
#include "foundation/prefs/crypt.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "support/tempdir.h"

namespace hiscore_testing {

constexpr const char kKey[] = "Umbrava12Key";
constexpr const char kChecksumLine[] =
    "HiScores: Checksum did not match! Ignoring saved score data.\n";

inline std::string Encrypt(TCrypt& crypt, const std::string& plain) {
    const int length = static_cast<int>(plain.size());
    std::string out(static_cast<size_t>(crypt.Encrypt(plain.data(), length, nullptr, 0, false)),
                    '\0');
    crypt.Encrypt(plain.data(), length, out.data(), static_cast<int>(out.size()), false);
    return out;
}

// Whole blocks enciphered as they are, without the pad block Encrypt adds after them.
inline std::string EncryptBlocks(TCrypt& crypt, const std::string& blocks) {
    std::string out = Encrypt(crypt, blocks);
    out.resize(blocks.size());
    return out;
}

// body followed by its checksum, enciphered.
inline std::string WithTrailer(TCrypt& crypt, const std::string& body) {
    uint32_t sum = 0;
    for (size_t i = 0; i < body.size(); ++i)
        sum ^= static_cast<uint32_t>(static_cast<unsigned char>(body[i])) << (8 * (i % 4));
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>(sum >> (8 * i) & 0xFF);
    return body + Encrypt(crypt, bytes);
}

// A file as the store writes one, holding text.
inline std::string FileOf(TCrypt& crypt, const std::string& text) {
    return WithTrailer(crypt, Encrypt(crypt, text + '\0'));
}

class HiscoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataRoot(mDir.File("user").c_str()); }

    std::string StorePath() const { return mDir.File("user/hiscore.dat"); }
    void PutStore(const std::string& bytes) {
        std::filesystem::create_directories(mDir.File("user"));
        ASSERT_TRUE(testing_support::WriteFileBytes(StorePath(), bytes));
    }
    std::string GetStore() const { return testing_support::ReadFileBytes(StorePath()); }

    int CountLog(const std::string& message) const {
        const std::vector<std::string> messages = mLog.Messages();
        return static_cast<int>(std::count(messages.begin(), messages.end(), message));
    }

    testing_support::TempDir mDir;
    testing_support::LogCapture mLog;
    TCrypt mCrypt{kKey};
};

}  // namespace hiscore_testing
