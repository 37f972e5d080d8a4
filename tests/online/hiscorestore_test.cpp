// THiscoreStore: the records' operations, the plain text, the file's round trip, the files it
// refuses and the odd ones it reads, and saving safely.
#include "online/hiscorestore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "hiscorefixture.h"
#include "online/hiscorerecords.h"
#include "port/control.h"

namespace {

using hiscore_testing::EncryptBlocks;
using hiscore_testing::FileOf;
using hiscore_testing::kChecksumLine;
using hiscore_testing::WithTrailer;
using HiscoreStoreTest = hiscore_testing::HiscoreTest;

// Every kind of byte the records may hold: markup, a line feed, a tab, UTF-8, blanks at the ends.
const char kOddName[] = "Ada \"the\" <first> & co\nline\ttwo, na\xC3\xAFve \xE6\x97\xA5 ";

THiscoreEntry Entry(int rank, int score, const char* name, bool submitted) {
    THiscoreEntry entry;
    entry.rank = rank;
    entry.score = score;
    entry.name = name;
    entry.submitted = submitted;
    return entry;
}

// Two logins, two local tables and two medal records, every field used somewhere.
void FillSample(THiscoreStore& store) {
    store.Logins()["bo"] = THiscoreLogin{"bo", "bo_online", "pa&ss\"word<"};
    store.Logins()[kOddName] = THiscoreLogin{kOddName, kOddName, ""};

    THiscoreTable relaxed{"Relaxed", {}};
    THiscoreEntry full = Entry(3, 12345, kOddName, false);
    full.guid = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    full.gameData = "level=3&mode=\"x\"";
    full.serverData = "<extra rank=\"2\">text &amp; more</extra>";
    full.version = "1.0.2";
    relaxed.entries.push_back(full);
    relaxed.entries.push_back(Entry(-1, INT_MIN, "bo", true));
    relaxed.entries.push_back(Entry(INT_MAX, 0, "", false));
    store.Tables()["Relaxed"] = relaxed;
    store.Tables()[kOddName] = THiscoreTable{kOddName, {Entry(1, 7, "bo", false)}};

    THiscoreMedalRecord medals;
    medals.medals.push_back(THiscoreMedal{"First <Steps>", "game", "", "", false});
    medals.medals.push_back(THiscoreMedal{kOddName, "type", "Relaxed", "a=\"1\"", true});
    store.Medals()["bo"] = medals;
    store.Medals()[kOddName] = THiscoreMedalRecord{};
}

void MarkAnonymous(THiscoreStore& store) {
    for (auto& [mode, table] : store.Tables())
        for (THiscoreEntry& entry : table.entries)
            entry.anonymous = true;
}

bool IsEmpty(const THiscoreStore& store) {
    return store.Tables().empty() && store.Medals().empty() && store.Logins().empty();
}

TEST(HiscoreRecordsTest, FirstUnsubmittedAndFlags) {
    THiscoreTable table{"Relaxed",
                        {Entry(1, 10, "ann", true), Entry(2, 9, "bo", false),
                         Entry(3, 8, "ann", false), Entry(4, 7, "ann", false)}};
    EXPECT_EQ(FirstUnsubmittedEntry(&table, "ann"), &table.entries[2]);
    EXPECT_EQ(FirstUnsubmittedEntry(&table, "cy"), nullptr);
    EXPECT_EQ(FirstUnsubmittedEntry(&table, nullptr), nullptr);
    EXPECT_EQ(FirstUnsubmittedEntry(nullptr, "ann"), nullptr);
    THiscoreTable empty;
    EXPECT_EQ(FirstUnsubmittedEntry(&empty, "ann"), nullptr);

    FlagEntriesSubmitted(&table, "ann");
    EXPECT_EQ(FirstUnsubmittedEntry(&table, "ann"), nullptr);
    EXPECT_FALSE(table.entries[1].submitted);
    FlagEntriesSubmitted(nullptr, "ann");
    FlagEntriesSubmitted(&table, nullptr);
}

TEST(HiscoreRecordsTest, MedalCounts) {
    THiscoreMedalRecords records;
    EXPECT_EQ(CountUnsubmittedMedals(records, "bo"), 0);
    records["bo"].medals = {THiscoreMedal{"a", "game", "", "", false},
                            THiscoreMedal{"b", "type", "Relaxed", "", true},
                            THiscoreMedal{"c", "game", "", "", false}};
    EXPECT_EQ(CountUnsubmittedMedals(records, "bo"), 2);
    EXPECT_EQ(CountUnsubmittedMedals(records, "ann"), 0);
    FlagMedalsSubmitted(records["bo"]);
    EXPECT_EQ(CountUnsubmittedMedals(records, "bo"), 0);
    EXPECT_EQ(records["bo"].medals.size(), 3u);
}

TEST_F(HiscoreStoreTest, FindLocalTableNeverMakesOne) {
    THiscoreStore store(false);
    store.Tables()["Relaxed"] = THiscoreTable{"Relaxed", {Entry(1, 1, "bo", false)}};
    EXPECT_EQ(store.FindLocalTable("Relaxed"), &store.Tables()["Relaxed"]);
    EXPECT_EQ(store.FindLocalTable("Expert"), nullptr);
    EXPECT_EQ(store.FindLocalTable(nullptr), nullptr);
    EXPECT_EQ(store.Tables().size(), 1u);
}

TEST_F(HiscoreStoreTest, PlainTextLayout) {
    THiscoreStore store(false);
    store.Logins()["bo"] = THiscoreLogin{"bo", "Bo B", "pw"};
    THiscoreEntry entry = Entry(2, 450, "bo", true);
    entry.version = "1.0";
    store.Tables()["Relaxed"] = THiscoreTable{"Relaxed", {entry, Entry(5, 10, "", false)}};
    store.Medals()["bo"].medals = {THiscoreMedal{"Star", "type", "Relaxed", "", false}};
    EXPECT_EQ(store.MakeText(),
              "<?xml version=\"1.0\"?>\n"
              "<user\n    player=\"bo\"\n    name=\"Bo B\"\n    pass=\"pw\">\n</user>\n"
              "<score\n    name=\"Relaxed\">\n"
              "    <row\n        rank=\"2\"\n        score=\"450\"\n        submit=\"1\"\n"
              "        name=\"bo\"\n        version=\"1.0\">\n    </row>\n"
              "    <row\n        rank=\"5\"\n        score=\"10\"\n        submit=\"0\">\n"
              "    </row>\n"
              "</score>\n"
              "<medals\n    user=\"bo\">\n"
              "    <medal\n        medalname=\"Star\"\n        type=\"type\"\n"
              "        mode=\"Relaxed\"\n        gameData=\"\"\n        submit=\"0\">\n"
              "    </medal>\n"
              "</medals>\n");
}

TEST_F(HiscoreStoreTest, EveryRecordReadsBackEqual) {
    THiscoreStore saved(true);
    FillSample(saved);
    saved.Save(mCrypt);
    const std::string file = GetStore();
    ASSERT_FALSE(file.empty());
    // The file is the text and its NUL enciphered, then the checksum block.
    EXPECT_EQ(file, FileOf(mCrypt, saved.MakeText()));
    EXPECT_EQ(file.find("<?xml"), std::string::npos);

    THiscoreStore loaded(false);
    loaded.Load(mCrypt);
    for (const auto& [mode, table] : loaded.Tables())
        for (const THiscoreEntry& entry : table.entries)
            EXPECT_TRUE(entry.anonymous) << mode.c_str();
    MarkAnonymous(saved);
    EXPECT_EQ(loaded.Logins(), saved.Logins());
    EXPECT_EQ(loaded.Tables(), saved.Tables());
    EXPECT_EQ(loaded.Medals(), saved.Medals());
    EXPECT_EQ(CountLog(kChecksumLine), 0);
}

TEST_F(HiscoreStoreTest, SavingOffWritesNothing) {
    THiscoreStore store(false);
    FillSample(store);
    store.Save(mCrypt);
    EXPECT_FALSE(std::filesystem::exists(StorePath()));

    PutStore("old");
    store.Save(mCrypt);
    EXPECT_EQ(GetStore(), "old");
}

TEST_F(HiscoreStoreTest, MissingFileLoadsNothing) {
    THiscoreStore store(false);
    store.Load(mCrypt);
    EXPECT_TRUE(IsEmpty(store));
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(HiscoreStoreTest, RowlessTablesAndLaterRecords) {
    PutStore(FileOf(mCrypt,
                    "<?xml version=\"1.0\"?>\n"
                    "<score name=\"Empty\"></score>\n"
                    "<score name=\"Other\"><note/></score>\n"
                    "<user player=\"bo\" name=\"first\" pass=\"1\"/>\n"
                    "<score name=\"Relaxed\"><row rank=\"1\" score=\"5\" name=\"old\"/></score>\n"
                    "<medals user=\"\"><medal medalname=\"x\"/></medals>\n"
                    "<medals user=\"bo\"><medal medalname=\"old\"/></medals>\n"
                    "<user player=\"bo\" name=\"second\" pass=\"2\"/>\n"
                    "<score name=\"Relaxed\"><row rank=\"2\" score=\"6\" name=\"new\"/>"
                    "<other/><row rank=\"3\" score=\"7\"/></score>\n"
                    "<medals user=\"bo\"><medal medalname=\"new\" submit=\"2\"/></medals>\n"));
    THiscoreStore store(false);
    store.Load(mCrypt);
    EXPECT_EQ(store.FindLocalTable("Empty"), nullptr);
    EXPECT_EQ(store.FindLocalTable("Other"), nullptr);
    ASSERT_EQ(store.Tables().size(), 1u);
    const THiscoreTable& table = store.Tables().begin()->second;
    EXPECT_EQ(table.name, str("Relaxed"));
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.entries[0].name, str("new"));
    EXPECT_EQ(table.entries[1].rank, 3);
    ASSERT_EQ(store.Logins().size(), 1u);
    EXPECT_EQ(store.Logins().begin()->second, (THiscoreLogin{"bo", "second", "2"}));
    ASSERT_EQ(store.Medals().size(), 1u);
    ASSERT_EQ(store.Medals()["bo"].medals.size(), 1u);
    EXPECT_EQ(store.Medals()["bo"].medals[0].name, str("new"));
    EXPECT_TRUE(store.Medals()["bo"].medals[0].submitted);
}

TEST_F(HiscoreStoreTest, OddNumbersSaturate) {
    PutStore(FileOf(mCrypt,
                    "<?xml version=\"1.0\"?>\n<score name=\"m\">"
                    "<row rank=\"abc\" score=\"99999999999\" submit=\"-5\"/>"
                    "<row rank=\"-1\" score=\"-99999999999\" submit=\"1\"/>"
                    "<row rank=\"99999999999\" score=\" 42x\" submit=\"7\"/>"
                    "</score>"));
    THiscoreStore store(false);
    store.Load(mCrypt);
    const THiscoreTable* table = store.FindLocalTable("m");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->Count(), 3);
    EXPECT_EQ(table->entries[0].rank, 0);
    EXPECT_EQ(table->entries[0].score, INT_MAX);
    EXPECT_FALSE(table->entries[0].submitted);
    EXPECT_EQ(table->entries[1].rank, -1);
    EXPECT_EQ(table->entries[1].score, INT_MIN);
    EXPECT_TRUE(table->entries[1].submitted);
    EXPECT_EQ(table->entries[2].rank, INT_MAX);
    EXPECT_EQ(table->entries[2].score, 42);
    EXPECT_TRUE(table->entries[2].submitted);
}

TEST_F(HiscoreStoreTest, HundredThousandRows) {
    std::string text = "<?xml version=\"1.0\"?>\n<score name=\"Relaxed\">\n";
    constexpr int kRows = 100000;
    for (int i = 0; i < kRows; ++i)
        text += "<row rank=\"" + std::to_string(i + 1) + "\" score=\"" + std::to_string(kRows - i) +
                "\" submit=\"0\" name=\"player" + std::to_string(i) + "\"/>\n";
    text += "</score>\n";
    PutStore(FileOf(mCrypt, text));
    THiscoreStore store(false);
    store.Load(mCrypt);
    const THiscoreTable* table = store.FindLocalTable("Relaxed");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->Count(), kRows);
    EXPECT_EQ(table->entries.back().rank, kRows);
    EXPECT_EQ(table->entries.back().name, str("player99999"));
    EXPECT_EQ(table->entries[500].score, kRows - 500);
}

// A little store file, valid, to damage.
std::string ValidFile(TCrypt& crypt) {
    THiscoreStore store(false);
    FillSample(store);
    return store.MakeFile(crypt);
}

std::string RandomBytes(size_t size) {
    std::mt19937_64 random(66);
    std::string bytes(size, '\0');
    for (size_t at = 0; at < size; at += 8) {
        const uint64_t word = random();
        std::memcpy(bytes.data() + at, &word, std::min<size_t>(8, size - at));
    }
    return bytes;
}

TEST_F(HiscoreStoreTest, RefusedFiles) {
    const std::string text = "<?xml version=\"1.0\"?>\n<user player=\"bo\" name=\"b\" pass=\"p\"/>";
    // The text, its NUL and blocks' worth of pad bytes of the given value.
    auto paddedWith = [&](char pad) {
        std::string blocks = text + '\0';
        do {
            blocks += pad;
        } while (blocks.size() % 8 != 0);
        return WithTrailer(mCrypt, EncryptBlocks(mCrypt, blocks));
    };
    auto flipped = [&](size_t at) {
        std::string file = ValidFile(mCrypt);
        file[at] = static_cast<char>(file[at] ^ 0x01);
        return file;
    };
    const std::string valid = ValidFile(mCrypt);
    struct Row {
        const char* what;
        std::string file;
        int checksumLines;
    };
    const std::vector<Row> rows = {
        {"empty", "", 0},
        {"one block", std::string(valid, 0, 8), 0},
        {"not XML", FileOf(mCrypt, "just some words, no elements"), 0},
        {"9 bytes", std::string(valid, 0, 9), 1},
        {"13 bytes", std::string(valid, 0, 13), 1},
        {"pad byte 0", paddedWith('\0'), 1},
        {"pad byte 9", paddedWith('\x09'), 1},
        {"no NUL", WithTrailer(mCrypt, hiscore_testing::Encrypt(mCrypt, text)), 1},
        {"body byte flipped", flipped(20), 1},
        {"trailer byte flipped", flipped(valid.size() - 3), 1},
        {"50 MB of noise", RandomBytes(50u << 20), 1},
    };
    for (const Row& row : rows) {
        mLog.Clear();
        PutStore(row.file);
        THiscoreStore store(false);
        store.Logins()["left over"] = THiscoreLogin{};
        store.Load(mCrypt);
        EXPECT_TRUE(IsEmpty(store)) << row.what;
        EXPECT_EQ(CountLog(kChecksumLine), row.checksumLines) << row.what;
        EXPECT_EQ(mLog.Messages().size(), static_cast<size_t>(row.checksumLines)) << row.what;
        // A refused file stays until the next save replaces it.
        EXPECT_EQ(std::filesystem::file_size(StorePath()), row.file.size()) << row.what;
    }
}

TEST_F(HiscoreStoreTest, CompressedTextIsNotRead) {
    // "ZXML", sizes, a stream: whatever follows, the store reads plain text only.
    PutStore(FileOf(mCrypt, std::string("ZXML\x10\0\0\0\x10\0\0\0garbage", 19)));
    THiscoreStore store(false);
    store.Load(mCrypt);
    EXPECT_TRUE(IsEmpty(store));
}

TEST_F(HiscoreStoreTest, FailedWriteKeepsTheOldFile) {
    THiscoreStore store(true);
    FillSample(store);
    store.Save(mCrypt);
    const std::string old = GetStore();

    store.Logins()["cy"] = THiscoreLogin{"cy", "Cy", "pw"};
    for (const char* operation : {"WriteFile", "MoveFileExA"}) {
        mLog.Clear();
        port::control::InjectFailure(operation, 5, 1);
        store.Save(mCrypt);
        port::control::ClearFailures();
        EXPECT_EQ(GetStore(), old) << operation;
        EXPECT_EQ(mLog.Messages().size(), 1u) << operation;

        THiscoreStore loaded(false);
        loaded.Load(mCrypt);
        EXPECT_EQ(loaded.Logins().size(), 2u) << operation;
        EXPECT_EQ(loaded.Tables().size(), 2u) << operation;
    }
    store.Save(mCrypt);
    THiscoreStore loaded(false);
    loaded.Load(mCrypt);
    EXPECT_EQ(loaded.Logins().size(), 3u);
}

}  // namespace
