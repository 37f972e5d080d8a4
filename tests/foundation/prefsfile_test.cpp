// The preference file's record layout, read and written in memory.
#include "foundation/prefs/prefsfile.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/prefs/crypt.h"
#include "prefsfixture.h"
#include "support/printers.h"

namespace {

using prefs_testing::FileBuilder;
using prefs_testing::kKey;
using prefs_testing::LittleEndian16;
using prefs_testing::LittleEndian32;

TPrefsReadOutcome Read(const std::string& bytes, TPrefsInstalls& installs, const char* key = kKey) {
    TCrypt crypt(key);
    return ReadPrefsRecords(bytes.data(), bytes.size(), crypt, installs);
}

std::string Write(const str& current, const TPrefsInstalls& installs) {
    TCrypt crypt(kKey);
    std::string out;
    std::string problem;
    EXPECT_TRUE(WritePrefsRecords(crypt, current, installs, out, problem)) << problem;
    return out;
}

TEST(PrefsFileTest, WriterOrderIsCurrentKeyThenEveryInstallationInKeyOrder) {
    TPrefsInstalls installs;
    installs["zeta"] = {{{"b", std::string("2\0", 2)}, {"a", std::string("1\0", 2)}}};
    installs["alpha"] = {{}, {{"name", std::string("Kit\0", 4)}}};
    installs["empty"];
    const std::string expected = FileBuilder()
                                     .Install("zeta")
                                     .Install("alpha")
                                     .User(0)
                                     .User(1)
                                     .Pair("name", "Kit")
                                     .Install("empty")
                                     .Install("zeta")
                                     .User(0)
                                     .Pair("a", "1")
                                     .Pair("b", "2")
                                     .Get();
    EXPECT_EQ(Write("zeta", installs), expected);
}

TEST(PrefsFileTest, ReadingGivesBackWhatWasWritten) {
    TPrefsInstalls installs;
    installs["one"] = {
        {{"k", std::string("v\0", 2)}}, {}, {{"raw", std::string("\x01\x00\x02", 3)}}};
    installs["two"] = {{{"empty", std::string()}}};
    TPrefsInstalls back;
    const TPrefsReadOutcome outcome = Read(Write("two", installs), back);
    EXPECT_FALSE(outcome.damaged) << outcome.problem;
    EXPECT_TRUE(outcome.haveFirstKey);
    EXPECT_EQ(outcome.firstKey, str("two"));
    EXPECT_EQ(back, installs);
}

TEST(PrefsFileTest, KeysAndTextsStopAtTheirFirstNul) {
    // A key length that covers bytes past the key's NUL, and an installation key without a NUL.
    const std::string bytes =
        FileBuilder()
            .Sealed("IKEY", "MixedCase")
            .User(0)
            .Sealed("KVPR", LittleEndian16(6) + std::string("ab\0cd\0", 6) + "v")
            .Get();
    TPrefsInstalls installs;
    const TPrefsReadOutcome outcome = Read(bytes, installs);
    ASSERT_FALSE(outcome.damaged) << outcome.problem;
    EXPECT_EQ(outcome.firstKey, str("mixedcase"));
    ASSERT_EQ(installs.count("mixedcase"), 1u);
    EXPECT_EQ(installs["mixedcase"][0].begin()->first, str("ab"));
    EXPECT_EQ(installs["mixedcase"][0].begin()->second, "v");
}

TEST(PrefsFileTest, RecordSizeLimits) {
    // A size field above 64 MiB is refused before anything is read; one within the limit but
    // beyond the data is a record cut short.
    struct Case {
        uint32_t size;
        const char* problem;
    };
    const Case cases[] = {{0, "size out of range"},
                          {prefsfile::kLargestRecord + 1, "size out of range"},
                          {0xFFFFFFFFu, "size out of range"},
                          {prefsfile::kLargestRecord, "record cut short"},
                          {4194305, "record cut short"}};
    for (const Case& c : cases) {
        const std::string bytes = FileBuilder().Install("k").User(0).Header("KVPR", c.size).Get();
        TPrefsInstalls installs;
        const TPrefsReadOutcome outcome = Read(bytes, installs);
        EXPECT_TRUE(outcome.damaged) << c.size;
        EXPECT_STREQ(outcome.problem, c.problem) << c.size;
        EXPECT_EQ(outcome.problemOffset, 26u) << c.size;
        EXPECT_EQ(installs["k"].size(), 1u) << c.size;
    }
}

TEST(PrefsFileTest, DamageStopsReadingAndKeepsWhatCameBefore) {
    const std::string start = FileBuilder().Install("k").User(0).Pair("kept", "yes").Get();
    // Records that would be read after the damage, where the damage leaves room for them.
    const std::string after = FileBuilder().User(0).Pair("after", "lost").Get();
    struct Case {
        const char* name;
        std::string tail;
        const char* problem;
        // Where the damaged record begins within the tail.
        size_t at = 0;
    };
    const Case cases[] = {
        {"header cut short", "KVPR\x10", "record header cut short"},
        {"payload cut short", std::string("KVPR") + LittleEndian32(16) + "abc", "record cut short"},
        {"not whole blocks", FileBuilder().Raw("KVPR", "12345").Get(),
         "payload is not whole blocks"},
        {"other key", FileBuilder("AnotherKey99").Pair("lost", "x").Get(),
         "payload does not decipher"},
        {"slot 1025", FileBuilder().User(1025).Get(), "slot number out of range"},
        {"short slot", FileBuilder().Raw("USER", "\x01").Get(), "slot record too short"},
        {"pair before slot", FileBuilder().Install("other").Pair("lost", "x").Get(),
         "pair before any slot", 16},
        {"key length 0", FileBuilder().Sealed("KVPR", LittleEndian16(0)).Get(),
         "pair with a bad key length"},
        {"key past payload", FileBuilder().Sealed("KVPR", LittleEndian16(9) + "ab").Get(),
         "pair with a bad key length"},
        {"pair too short", FileBuilder().Sealed("KVPR", "\x01").Get(),
         "pair with a bad key length"},
        {"unknown tag", FileBuilder().Sealed("XTRA", "data").Get(), "unknown record"},
    };
    for (const Case& c : cases) {
        TPrefsInstalls installs;
        const bool truncated = std::string(c.name).find("cut short") != std::string::npos;
        const TPrefsReadOutcome outcome =
            Read(start + c.tail + (truncated ? std::string() : after), installs);
        EXPECT_TRUE(outcome.damaged) << c.name;
        EXPECT_STREQ(outcome.problem, c.problem) << c.name;
        EXPECT_EQ(outcome.problemOffset, start.size() + c.at) << c.name;
        ASSERT_EQ(installs["k"].size(), 1u) << c.name;
        EXPECT_EQ(installs["k"][0].count("kept"), 1u) << c.name;
        EXPECT_EQ(installs["k"][0].count("after"), 0u) << c.name;
    }
}

TEST(PrefsFileTest, FirstRecordDecidesWhetherAnythingIsRead) {
    TPrefsInstalls installs;
    EXPECT_FALSE(Read("", installs).damaged);
    EXPECT_FALSE(Read("", installs).haveFirstKey);

    const TPrefsReadOutcome notKey = Read(FileBuilder().User(0).Pair("a", "b").Get(), installs);
    EXPECT_TRUE(notKey.damaged);
    EXPECT_FALSE(notKey.haveFirstKey);
    EXPECT_TRUE(installs.empty());

    const TPrefsReadOutcome otherKey =
        Read(FileBuilder().Install("k").User(0).Get(), installs, "DifferentKey");
    EXPECT_TRUE(otherKey.damaged);
    EXPECT_STREQ(otherKey.problem, "payload does not decipher");
}

TEST(PrefsFileTest, SlotsUpTo1024AreRead) {
    TPrefsInstalls installs;
    const TPrefsReadOutcome outcome =
        Read(FileBuilder().Install("k").User(1024).Pair("last", "1").User(3).Get(), installs);
    EXPECT_FALSE(outcome.damaged) << outcome.problem;
    ASSERT_EQ(installs["k"].size(), 1025u);
    EXPECT_EQ(installs["k"][1024].count("last"), 1u);
}

TEST(PrefsFileTest, WriterRefusesWhatTheReaderWouldRefuse) {
    TCrypt crypt(kKey);
    std::string out;
    std::string problem;

    TPrefsInstalls tooManySlots;
    tooManySlots["k"].resize(1026);
    EXPECT_FALSE(WritePrefsRecords(crypt, "k", tooManySlots, out, problem));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(problem.empty());

    TPrefsInstalls longKey;
    longKey["k"] = {{{str(std::string(prefsfile::kLongestKey + 1, 'k').c_str()), std::string()}}};
    EXPECT_FALSE(WritePrefsRecords(crypt, "k", longKey, out, problem));

    TPrefsInstalls largest;
    largest["k"].resize(1025);
    largest["k"][0][str(std::string(prefsfile::kLongestKey, 'k').c_str())] = std::string();
    EXPECT_TRUE(WritePrefsRecords(crypt, "k", largest, out, problem)) << problem;
    TPrefsInstalls back;
    EXPECT_FALSE(Read(out, back).damaged);
    EXPECT_EQ(back, largest);

    // Key length field, "k", NUL and the value: the plain payload must stay below 64 MiB.
    EXPECT_TRUE(prefsfile::PairFits("k", prefsfile::kLargestRecord - 5));
    EXPECT_FALSE(prefsfile::PairFits("k", prefsfile::kLargestRecord - 4));
    EXPECT_FALSE(prefsfile::PairFits("k", static_cast<size_t>(-1)));
}

}  // namespace
