// TPrefs: the store's values, its file on disk, the installation key and the safety of saving.
#include "foundation/prefs/prefs.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/prefs/base64.h"
#include "foundation/prefs/blowfish.h"
#include "foundation/prefs/crypt.h"
#include "prefsfixture.h"
#include "support/printers.h"

namespace {

using prefs_testing::FileBuilder;
using prefs_testing::kKey;
using prefs_testing::ListRecords;
using prefs_testing::Record;
using PrefsTest = prefs_testing::PrefsTest;

std::string Hex(const std::string& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        out += digits;
    }
    return out;
}

// The small store of the byte-level check: the global current user and two users, one of whose
// pairs is exactly two blocks of plain bytes.
constexpr const char kTwoUserStore[] =
    "494b455910000000048e3310c9d43af9cc83996a9a457204494b455910000000048e3310c9d43af9cc83996a"
    "9a457204555345520200000000004b5650521000000032ed8a53732136913193fadd9ed1e6ba555345520200"
    "000001004b56505218000000f19285e079cae4dcf20bc4ba7d0bc91be8846c3f8b8761af5553455202000000"
    "02004b56505210000000b0d4b871d25d363069c11bf86c33409d4b56505218000000aae48fd032f2a5298995"
    "77869c4b219ce8846c3f8b8761af";

TEST_F(PrefsTest, TwoUserStoreIsWrittenByteForByte) {
    {
        TPrefs prefs(true);
        prefs.SetInt("curuser", 1, -1, false);
        prefs.SetString("name", "Adelheid", 0, false);
        prefs.SetString("name", "Bo", 1, false);
        prefs.SetString("soundlevel", "80", 1, false);
    }
    // The first record names the current installation; then every installation (one here), its
    // slots from 0 up, each slot's pairs in key order.
    const std::string expected = FileBuilder()
                                     .Install("test-install")
                                     .Install("test-install")
                                     .User(0)
                                     .Pair("curuser", "1")
                                     .User(1)
                                     .Pair("name", "Adelheid")
                                     .User(2)
                                     .Pair("name", "Bo")
                                     .Pair("soundlevel", "80")
                                     .Get();
    const std::string written = GetPrefs();
    EXPECT_EQ(Hex(written), Hex(expected));
    EXPECT_EQ(Hex(written), kTwoUserStore);

    std::vector<uint32_t> sizes;
    for (const Record& record : ListRecords(written))
        sizes.push_back(record.size);
    // "name" = "Adelheid" is 2 + 5 + 9 = 16 plain bytes: a whole block of pad follows.
    EXPECT_EQ(sizes, (std::vector<uint32_t>{16, 16, 2, 16, 2, 24, 2, 16, 24}));
    const size_t padBlock = 8 + 16 + 8 + 16 + 8 + 2 + 8 + 16 + 8 + 2 + 8 + 16;
    uint8_t keyBytes[9];
    Base64Decode(keyBytes, TCrypt::PrepareKey(kKey).c_str(), 12);
    TBlowfish cipher;
    cipher.SetKey(keyBytes, 9);
    auto word = [&](size_t at) {
        const auto* b = reinterpret_cast<const unsigned char*>(written.data() + at);
        return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
               static_cast<uint32_t>(b[2]) << 8 | b[3];
    };
    uint32_t left = word(padBlock);
    uint32_t right = word(padBlock + 4);
    cipher.DecryptBlock(left, right);
    EXPECT_EQ(left, 0x08080808u);
    EXPECT_EQ(right, 0x08080808u);
}

TEST_F(PrefsTest, ValuesSurviveARestart) {
    {
        TPrefs prefs(true);
        prefs.SetInt("curuser", 2, -1, true);
        prefs.SetString("name", "Ünal", 2, false);
        prefs.SetString("empty", "", 0, false);
        prefs.SetInt("negative", -17, 1, false);
    }
    TPrefs prefs(true);
    EXPECT_EQ(prefs.GetInt("curuser", 0, -1), 2);
    EXPECT_EQ(prefs.GetString("name", "", 2), str("Ünal"));
    EXPECT_EQ(prefs.GetString("empty", "default", 0), str(""));
    EXPECT_EQ(prefs.GetInt("negative", 0, 1), -17);
    EXPECT_EQ(prefs.GetUserCount(), 3);
    EXPECT_EQ(prefs.GetString("missing", "fallback", 0), str("fallback"));
    EXPECT_EQ(prefs.GetInt("name", 5, 2), 0);  // not a number
}

TEST_F(PrefsTest, SaveOnlyWhenEnabled) {
    {
        TPrefs prefs(false);
        prefs.SetString("a", "1", -1, true);
        prefs.Save();
    }
    EXPECT_FALSE(Exists("user/prefs.dat"));
    {
        // The destructor writes what was set without saving.
        TPrefs prefs(true);
        prefs.SetString("a", "2", -1, false);
        EXPECT_FALSE(Exists("user/prefs.dat"));
    }
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetString("a", "", -1), str("2"));
}

TEST_F(PrefsTest, SlotsGrowOnlyWhenSet) {
    TPrefs prefs(false);
    prefs.SetString("name", "a", 0, false);
    prefs.SetString("name", "b", 1, false);
    EXPECT_EQ(prefs.GetString("name", "none", 5), str("none"));
    EXPECT_EQ(prefs.GetUserCount(), 2);
    prefs.SetString("name", "f", 5, false);
    EXPECT_EQ(prefs.GetUserCount(), 6);  // seven slots with the global one
    EXPECT_EQ(prefs.GetString("name", "none", 3), str("none"));
    EXPECT_EQ(prefs.GetString("name", "none", 5), str("f"));
}

TEST_F(PrefsTest, UsersOutOfRange) {
    TPrefs prefs(false);
    prefs.SetString("k", "v", -2, false);
    prefs.SetString("k", "v", 1024, false);
    EXPECT_EQ(prefs.GetUserCount(), 0);
    EXPECT_EQ(prefs.GetString("k", "none", -2), str("none"));
    EXPECT_EQ(prefs.GetString("k", "none", INT_MAX), str("none"));
    EXPECT_EQ(prefs.GetString("k", "none", INT_MIN), str("none"));
    EXPECT_NE(LogText().find("Preference 'k' not set: user -2 out of range"), std::string::npos);
    EXPECT_NE(LogText().find("Preference 'k' not set: user 1024 out of range"), std::string::npos);
    prefs.SetString("k", "v", 1023, false);
    EXPECT_EQ(prefs.GetUserCount(), 1024);
}

TEST_F(PrefsTest, DeleteUserMovesLaterUsersDown) {
    TPrefs prefs(false);
    prefs.SetString("g", "global", -1, false);
    for (int user = 0; user < 3; ++user)
        prefs.SetInt("id", user, user, false);

    prefs.DeleteUser(3);
    prefs.DeleteUser(-1);
    EXPECT_EQ(prefs.GetUserCount(), 3);

    prefs.DeleteUser(0);
    EXPECT_EQ(prefs.GetUserCount(), 2);
    EXPECT_EQ(prefs.GetInt("id", -1, 0), 1);
    EXPECT_EQ(prefs.GetInt("id", -1, 1), 2);
    EXPECT_EQ(prefs.GetString("g", "", -1), str("global"));
}

TEST_F(PrefsTest, ZeroLengthValueReadsAsEmpty) {
    PutPrefs(FileBuilder().Install("test-install").User(0).PairBytes("blank", "").Get());
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetString("blank", "default", -1), str(""));
}

TEST_F(PrefsTest, LargeSavedWorldIsReadWhole) {
    // Above the old 4 MiB record limit: a large saved world, and a value after it.
    std::string world(4194304 + 1000, 'w');
    world.replace(0, 6, "<World");
    {
        TPrefs prefs(true);
        prefs.SetString("SavedWorld0", world.c_str(), 0, false);
        prefs.SetString("zz", "after", 0, false);
    }
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetString("SavedWorld0", "", 0).Length(), world.size());
    EXPECT_EQ(prefs.GetString("SavedWorld0", "", 0), str(world.c_str()));
    EXPECT_EQ(prefs.GetString("zz", "", 0), str("after"));
    EXPECT_EQ(LogText().find("damaged"), std::string::npos);
}

TEST_F(PrefsTest, EncryptionKeyAndInstallationKeyFromSettings) {
    TSettingsMap::GetInstance().Clear();
    { TPrefs prefs(false); }
    EXPECT_NE(LogText().find("ERROR: No encryption key set before TPrefs construction!"),
              std::string::npos);
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetInstallKey(), str("unknown"));
}

TEST_F(PrefsTest, FreshStartKeepsCapitalsOfTheInstallationFile) {
    PutInstallFile("C:\\Games\\Umbrava");
    {
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetInstallKey(), str("C:\\Games\\Umbrava"));
        prefs.SetString("name", "x", 0, false);
    }
    // The lower-cased key was looked up first, so its (empty) installation is written too.
    const std::vector<Record> records = ListRecords(GetPrefs());
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].payload, std::string("C:\\Games\\Umbrava\0", 17));
    EXPECT_EQ(records[1].payload, std::string("C:\\Games\\Umbrava\0", 17));
    EXPECT_EQ(records[5].tag, "IKEY");
    EXPECT_EQ(records[5].payload, std::string("c:\\games\\umbrava\0", 17));

    // Read back, keys are lower-cased: the values are found under the same installation file.
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetInstallKey(), str("c:\\games\\umbrava"));
    EXPECT_EQ(prefs.GetString("name", "", 0), str("x"));
}

TEST_F(PrefsTest, InstallationFileReadAsText) {
    PutPrefs(FileBuilder().Install("other").Get());
    PutInstallFile("ABC\r\n");
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetInstallKey(), str("abc\n"));
}

TEST_F(PrefsTest, EmptyInstallationFileTakesTheFilesFirstKey) {
    PutPrefs(FileBuilder()
                 .Install("First-Key")
                 .Install("first-key")
                 .User(0)
                 .Pair("v", "1")
                 .Install("second")
                 .User(0)
                 .Pair("v", "2")
                 .Get());
    PutInstallFile("");
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetInstallKey(), str("first-key"));
    EXPECT_EQ(prefs.GetString("v", "", -1), str("1"));
}

TEST_F(PrefsTest, OtherInstallationsAreKeptAside) {
    PutPrefs(FileBuilder()
                 .Install("other")
                 .Install("other")
                 .User(0)
                 .Pair("v", "theirs")
                 .Install("test-install")
                 .User(0)
                 .Pair("v", "ours")
                 .Get());
    {
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetString("v", "", -1), str("ours"));
        prefs.SetString("v", "changed", -1, true);
    }
    const std::string expected = FileBuilder()
                                     .Install("test-install")
                                     .Install("other")
                                     .User(0)
                                     .Pair("v", "theirs")
                                     .Install("test-install")
                                     .User(0)
                                     .Pair("v", "changed")
                                     .Get();
    EXPECT_EQ(Hex(GetPrefs()), Hex(expected));
}

TEST_F(PrefsTest, SlotLimitOnReading) {
    PutPrefs(FileBuilder().Install("test-install").User(1024).Pair("top", "1").Get());
    {
        TPrefs prefs(false);
        EXPECT_EQ(prefs.GetUserCount(), 1024);
        EXPECT_EQ(prefs.GetString("top", "", 1023), str("1"));
    }
    PutPrefs(FileBuilder().Install("test-install").User(0).Pair("kept", "1").User(1025).Get());
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetUserCount(), 0);
    EXPECT_EQ(prefs.GetString("kept", "", -1), str("1"));
}

}  // namespace
