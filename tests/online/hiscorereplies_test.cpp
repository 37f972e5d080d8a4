// The hiscore service's replies: the status check every reply passes through, the categories,
// the score table and the submission, and replies that are not what they should be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hiscorefixture.h"
#include "online/hiscoreformats.h"
#include "support/zxmlwriter.h"

namespace {

using HiscoreReplyTest = hiscore_testing::HiscoreTest;

// What each reader made of one reply.
struct Readings {
    bool categoriesPassed;
    std::vector<THiscoreCategory> categories;
    str categoriesError;
    bool scoresPassed;
    THiscoreTable table;
    int ownEntry;
    str scoresError;
    THiscoreSubmitOutcome submit;
    bool entered;
    str submitError;
};

// Every reader over the same bytes, each starting from leftovers of an earlier reply.
Readings ReadAll(const std::string& reply) {
    Readings r;
    r.categories = {{"old", "Old"}};
    r.categoriesError = "old error";
    r.categoriesPassed =
        ReadCategoriesReply(reply.data(), reply.size(), r.categoriesError, r.categories);
    r.table.entries.resize(3);
    r.ownEntry = 2;
    r.scoresError = "old error";
    r.scoresPassed =
        ReadScoresReply(reply.data(), reply.size(), r.scoresError, r.table, r.ownEntry);
    r.entered = true;
    r.submitError = "old error";
    r.submit = ReadSubmitReply(reply.data(), reply.size(), r.submitError, r.entered);
    return r;
}

// The reply failed every reader's status check with that last error.
void ExpectFailedCheck(const Readings& r, const char* error, const char* what) {
    EXPECT_FALSE(r.categoriesPassed) << what;
    EXPECT_TRUE(r.categories.empty()) << what;
    EXPECT_FALSE(r.scoresPassed) << what;
    EXPECT_EQ(r.table.Count(), 0) << what;
    EXPECT_EQ(r.ownEntry, -1) << what;
    EXPECT_EQ(r.submit, THiscoreSubmitOutcome::kFailed) << what;
    EXPECT_FALSE(r.entered) << what;
    EXPECT_EQ(r.categoriesError, str(error)) << what;
    EXPECT_EQ(r.scoresError, str(error)) << what;
    EXPECT_EQ(r.submitError, str(error)) << what;
}

TEST_F(HiscoreReplyTest, MessageWinsOverEverything) {
    const Readings r = ReadAll(
        "<?xml version=\"1.0\"?><hiscore><tables><table table=\"a\"/></tables>"
        "<scores><score name=\"x\"/></scores><score/><medals/>"
        "<protocolError>late</protocolError><message>Wrong  password, sorry</message></hiscore>");
    ExpectFailedCheck(r, "Wrong password, sorry", "message");
    EXPECT_EQ(CountLog("HiScore User Message: Wrong password, sorry\n"), 3);
    EXPECT_EQ(mLog.Messages().size(), 3u);
}

TEST_F(HiscoreReplyTest, LongMessageIsKeptWhole) {
    std::string message;
    while (message.size() < 10240)
        message += "0123456789abcdef ";
    message.pop_back();
    const Readings r = ReadAll("<hiscore><message>" + message + "</message></hiscore>");
    ExpectFailedCheck(r, message.c_str(), "10 KB message");
    EXPECT_EQ(CountLog("HiScore User Message: " + message + "\n"), 3);
}

TEST_F(HiscoreReplyTest, ProtocolErrorLeavesNoMessage) {
    const Readings r = ReadAll(
        "<hiscore><protocolError>Missing required parameter: type</protocolError>"
        "<tables/><scores/></hiscore>");
    ExpectFailedCheck(r, "", "protocol error");
    EXPECT_EQ(CountLog("HiScore Protocol Error: Missing required parameter: type\n"), 3);
}

TEST_F(HiscoreReplyTest, NotAReply) {
    const std::string nested = [] {
        std::string text = "<hiscore><tables>";
        for (int i = 0; i < 10000; ++i)
            text += "<tables>";
        return text + "<table table=\"deep\"/>";
    }();
    struct Row {
        const char* what;
        std::string reply;
    };
    const Row rows[] = {
        {"empty", ""},
        {"an error page", "<html><body><h1>500 Internal Server Error</h1></body></html>"},
        {"plain text", "Service unavailable"},
        {"ZXML and garbage", std::string("ZXML\x10\0\0\0\x40\0\0\0", 12) + "garbage"},
        {"ZXML of a good reply",
         testing_support::PackZxml("<hiscore><message>packed</message><tables/></hiscore>")},
        {"hiscore below the top", "<reply><hiscore><tables/></hiscore></reply>"},
        {"over the HTTP cap",
         "<hiscore><message>" + std::string(kMaxHiscoreReply, 'x') + "</message></hiscore>"},
    };
    for (const Row& row : rows) {
        mLog.Clear();
        const Readings r = ReadAll(row.reply);
        ExpectFailedCheck(r, "", row.what);
        EXPECT_EQ(CountLog("HiScore XML parsing error!\n"), 3) << row.what;
    }

    // A null reply reads as an empty one.
    str error = "old";
    std::vector<THiscoreCategory> categories(2);
    EXPECT_FALSE(ReadCategoriesReply(nullptr, 10, error, categories));
    EXPECT_TRUE(categories.empty());
    EXPECT_EQ(error, str(""));

    // Nesting stops at the reader's limit; the tables are not where the service puts them.
    const Readings deep = ReadAll(nested);
    EXPECT_TRUE(deep.categoriesPassed);
    ASSERT_EQ(deep.categories.size(), 0u);
}

TEST_F(HiscoreReplyTest, HostileButHarmless) {
    // Bytes after a NUL are still read; a document type and entity references expand nothing.
    const char withNul[] =
        "<hiscore><tables><table table=\"a\0b\" name=\"x\"/>\0<table table=\"c\"/></tables>"
        "</hiscore>";
    const Readings nul = ReadAll(std::string(withNul, sizeof withNul - 1));
    EXPECT_TRUE(nul.categoriesPassed);
    ASSERT_EQ(nul.categories.size(), 2u);
    EXPECT_EQ(nul.categories[0].table, str("a"));
    EXPECT_EQ(nul.categories[1].table, str("c"));

    const Readings entities = ReadAll(
        "<?xml version=\"1.0\"?><!DOCTYPE hiscore [<!ENTITY big \"AAAAAAAAAAAAAAAA\">"
        "<!ENTITY bigger \"&big;&big;&big;&big;\">]>"
        "<hiscore><message>&bigger;&bigger;</message></hiscore>");
    EXPECT_FALSE(entities.categoriesPassed);
    EXPECT_EQ(std::string(entities.categoriesError.c_str()).find("AAAA"), std::string::npos)
        << entities.categoriesError.c_str();
}

TEST_F(HiscoreReplyTest, Categories) {
    std::string many = "<hiscore><tables>";
    for (int i = 0; i < 10000; ++i)
        many += "<table table=\"t" + std::to_string(i) + "\" name=\"Table " + std::to_string(i) +
                "\"/>";
    many += "</tables></hiscore>";
    const std::string longName(500, 'n');
    struct Row {
        const char* what;
        std::string reply;
        std::vector<THiscoreCategory> expected;
    };
    const Row rows[] = {
        {"none", "<hiscore><tables/></hiscore>", {}},
        {"one",
         "<hiscore><tables><table table=\"week\" name=\"This week\"/></tables></hiscore>",
         {{"week", "This week"}}},
        {"missing attributes",
         "<hiscore><tables><table/><table name=\"N\"/><table table=\"T\"/></tables></hiscore>",
         {{"", ""}, {"", "N"}, {"T", ""}}},
        {"other elements between",
         "<hiscore><tables><note/><table table=\"a\"/>text<x><table table=\"inner\"/></x>"
         "<table table=\"b\"/></tables><table table=\"outside\"/></hiscore>",
         {{"a", ""}, {"b", ""}}},
        {"500-byte names",
         "<hiscore><tables><table table=\"" + longName + "\" name=\"" + longName +
             "\"/></tables></hiscore>",
         {{longName.c_str(), longName.c_str()}}},
    };
    for (const Row& row : rows) {
        const Readings r = ReadAll(row.reply);
        EXPECT_TRUE(r.categoriesPassed) << row.what;
        EXPECT_EQ(r.categories, row.expected) << row.what;
        EXPECT_EQ(r.categoriesError, str("")) << row.what;
    }

    const Readings r = ReadAll(many);
    ASSERT_EQ(r.categories.size(), 10000u);
    EXPECT_EQ(r.categories[9999], (THiscoreCategory{"t9999", "Table 9999"}));

    // Without "tables" the reply fails, and says nothing.
    mLog.Clear();
    const Readings without = ReadAll("<hiscore><scores/></hiscore>");
    EXPECT_FALSE(without.categoriesPassed);
    EXPECT_TRUE(without.categories.empty());
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(HiscoreReplyTest, ScoreTable) {
    const Readings r = ReadAll(
        "<hiscore><scores>"
        "<score name=\"Ada\" data=\"d1\" serverData=\"&lt;s/&gt;\" ver=\"1.0\" guid=\"g1\" "
        "anonymous=\"true\" score=\"900\" rank=\"1\"/>"
        "<note/>text"
        "<score name=\"Bo\" anonymous=\"TRUE\" score=\"99999999999\" rank=\"abc\" "
        "account=\"TRUE\"/>"
        "<other><score name=\"nested\"/></other>"
        "<score name=\"Cy\" anonymous=\"1\" score=\"-3\" rank=\"3\" account=\"true\"/>"
        "<score name=\"Di\" account=\"true\"/>"
        "</scores></hiscore>");
    ASSERT_TRUE(r.scoresPassed);
    ASSERT_EQ(r.table.Count(), 4);
    const THiscoreEntry& ada = r.table.entries[0];
    EXPECT_EQ(ada.name, str("Ada"));
    EXPECT_EQ(ada.gameData, str("d1"));
    EXPECT_EQ(ada.serverData, str("<s/>"));
    EXPECT_EQ(ada.version, str("1.0"));
    EXPECT_EQ(ada.guid, str("g1"));
    EXPECT_TRUE(ada.anonymous);
    EXPECT_EQ(ada.score, 900);
    EXPECT_EQ(ada.rank, 1);
    EXPECT_FALSE(ada.submitted);
    EXPECT_EQ(r.table.entries[1].name, str("Bo"));
    EXPECT_FALSE(r.table.entries[1].anonymous);
    EXPECT_EQ(r.table.entries[1].score, 2147483647);
    EXPECT_EQ(r.table.entries[1].rank, 0);
    EXPECT_FALSE(r.table.entries[2].anonymous);
    EXPECT_EQ(r.table.entries[2].score, -3);
    EXPECT_EQ(r.table.entries[3].name, str("Di"));
    // "TRUE" is not "true": the first account is Cy's, at index 2 among the scores.
    EXPECT_EQ(r.ownEntry, 2);

    const Readings none = ReadAll(
        "<hiscore><scores><score name=\"a\" account=\"1\"/>"
        "<score name=\"b\"/></scores></hiscore>");
    EXPECT_TRUE(none.scoresPassed);
    EXPECT_EQ(none.table.Count(), 2);
    EXPECT_EQ(none.ownEntry, -1);

    const Readings empty = ReadAll("<hiscore><scores/></hiscore>");
    EXPECT_TRUE(empty.scoresPassed);
    EXPECT_EQ(empty.table.Count(), 0);
    EXPECT_EQ(empty.ownEntry, -1);

    mLog.Clear();
    const Readings without = ReadAll("<hiscore><tables/></hiscore>");
    EXPECT_FALSE(without.scoresPassed);
    EXPECT_EQ(without.table.Count(), 0);
    EXPECT_EQ(without.ownEntry, -1);
    EXPECT_EQ(without.scoresError, str(""));
    EXPECT_EQ(CountLog("HiScores parsed incorrectly\n"), 1);
}

TEST_F(HiscoreReplyTest, Submission) {
    struct Row {
        const char* what;
        const char* reply;
        THiscoreSubmitOutcome outcome;
        bool entered;
    };
    const Row rows[] = {
        {"score entered the table", "<hiscore><score rank=\"4\"/></hiscore>",
         THiscoreSubmitOutcome::kScoreAccepted, true},
        {"score accepted", "<hiscore><ok/></hiscore>", THiscoreSubmitOutcome::kScoreAccepted,
         false},
        {"medals accepted", "<hiscore><score/><medals/></hiscore>",
         THiscoreSubmitOutcome::kMedalsAccepted, false},
        {"refused",
         "<hiscore><score/><message>hiscore.error.invalidUsernameOrPassword</message>"
         "</hiscore>",
         THiscoreSubmitOutcome::kFailed, false},
    };
    for (const Row& row : rows) {
        const Readings r = ReadAll(row.reply);
        EXPECT_EQ(r.submit, row.outcome) << row.what;
        EXPECT_EQ(r.entered, row.entered) << row.what;
    }
}

}  // namespace
