// The hiscore client against the fake hiscore service over HTTP: categories and score tables, the
// accessors and their bounded copies, submissions of scores and medals and what they do to the
// local records and saved logins, and the player's entry in the service's table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hiscoreclientfixture.h"

namespace {

using hiscore_testing::kGame;
using hiscore_testing::Local;
using testing_support::HiscoreRow;

class HiscoreClientFlowTest : public hiscore_testing::HiscoreClientTest {
protected:
    // Categories t1..t3 received.
    void ReceiveCategories(TBvHiscores& client) {
        mService.AnswerTables({{"t1", "Daily"}, {"t2", "Weekly"}, {"t3", "All time"}});
        client.RequestCategoryInformation();
        ASSERT_EQ(Finish(client), TBvHiscores::kDone);
    }
};

TEST_F(HiscoreClientFlowTest, CategoriesThenTheScoresOfOneCategory) {
    auto client = MakeClient();
    ReceiveCategories(*client);
    ASSERT_EQ(client->GetNumCategories(), 3);
    char name[32];
    ASSERT_TRUE(client->GetCategoryName(2, name, sizeof name));
    EXPECT_STREQ(name, "All time");

    mService.AnswerScores({{"Cy", 900, 1, "d1", "g1"}, {"Ann", 500, 2, "d2", "g2", true, true}});
    client->RequestScores(2);
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
    ASSERT_EQ(client->GetNumScores(false), 2);
    int rank = 0;
    int score = 0;
    uint8_t anonymous = 9;
    char data[32];
    ASSERT_TRUE(client->GetScoreEntry(false, 1, &rank, name, sizeof name, &anonymous, &score, data,
                                      sizeof data));
    EXPECT_EQ(rank, 2);
    EXPECT_STREQ(name, "Ann");
    EXPECT_EQ(anonymous, 1);
    EXPECT_EQ(score, 500);
    EXPECT_STREQ(data, "d2");
    ASSERT_TRUE(client->GetUserEntry(TBvHiscores::kServiceEntry, &score, &rank, data, 32));
    EXPECT_EQ(score, 500);

    // An index past the categories asks without a table.
    client->RequestScores(3);
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);

    const auto requests = mService.Requests();
    ASSERT_EQ(requests.size(), 3u);
    using Fields = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(requests[0].fields,
              (Fields{{"lang", "en"}, {"ver", "1.0"}, {"action", "tables"}, {"game", kGame}}));
    EXPECT_EQ(requests[1].fields, (Fields{{"lang", "en"},
                                          {"ver", "1.0"},
                                          {"action", "get"},
                                          {"game", kGame},
                                          {"type", "classic"},
                                          {"table", "t3"},
                                          {"numScores", "500"}}));
    EXPECT_FALSE(requests[2].Has("table"));
    EXPECT_FALSE(requests[2].Has("username"));
    for (const auto& request : requests)
        EXPECT_EQ(request.CheckFields(), "");
}

TEST_F(HiscoreClientFlowTest, BoundedCopiesAndIndexesOutOfRange) {
    auto client = MakeClient();
    ReceiveCategories(*client);
    const std::string longName(500, 'n');
    mService.AnswerScores({{longName, 10, 1, std::string(500, 'd'), "g"}});
    client->RequestScores(0);
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);

    // Buffers of exactly their size on the heap, so that a write past one is caught.
    std::vector<char> one(1, 'x');
    ASSERT_TRUE(client->GetCategoryName(0, one.data(), 1));
    EXPECT_EQ(one[0], '\0');
    std::vector<char> none(1, 'x');
    EXPECT_TRUE(client->GetCategoryName(0, none.data(), 0));
    EXPECT_EQ(none[0], 'x');
    EXPECT_TRUE(client->GetCategoryName(0, none.data(), -5));
    EXPECT_EQ(none[0], 'x');
    EXPECT_EQ(client->Poll(none.data(), 0, nullptr), TBvHiscores::kDone);

    std::vector<char> name(64, 'x');
    std::vector<char> data(64, 'x');
    int score = 0;
    ASSERT_TRUE(client->GetScoreEntry(false, 0, nullptr, name.data(), 64, nullptr, &score,
                                      data.data(), 64));
    EXPECT_EQ(std::string(name.data()), std::string(63, 'n'));
    EXPECT_EQ(std::string(data.data()), std::string(63, 'd'));
    EXPECT_EQ(score, 10);
    // A size of 0 skips that output only.
    std::vector<char> untouched(4, 'x');
    score = 0;
    ASSERT_TRUE(
        client->GetScoreEntry(false, 0, nullptr, untouched.data(), 0, nullptr, &score, nullptr, 0));
    EXPECT_EQ(untouched[0], 'x');
    EXPECT_EQ(score, 10);

    char buffer[8];
    for (int index : {-1, 3, 1000}) {
        EXPECT_FALSE(client->GetCategoryName(index, buffer, sizeof buffer)) << index;
    }
    EXPECT_FALSE(client->GetCategoryName(0, nullptr, 8));
    for (int index : {-1, 1}) {
        EXPECT_FALSE(
            client->GetScoreEntry(false, index, nullptr, buffer, 8, nullptr, nullptr, nullptr, 0))
            << index;
    }
    EXPECT_FALSE(client->GetScoreEntry(true, 0, nullptr, buffer, 8, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(client->GetNumScores(true), 0);
    EXPECT_FALSE(client->GetUserEntry(7, nullptr, nullptr, nullptr, 0));
}

TEST_F(HiscoreClientFlowTest, AcceptedSubmissionFlagsTheEntriesAndSavesTheStore) {
    for (bool entered : {true, false}) {
        SCOPED_TRACE(entered);
        SaveLocal({Local("Ann", 900, "g1"), Local("Bob", 700, "g3"), Local("Ann", 500, "g2")});
        auto client = MakeClient();
        ReceiveCategories(*client);
        ASSERT_EQ(client->GetNumScores(true), 3);
        int score = 0;
        ASSERT_TRUE(client->GetUserEntry(TBvHiscores::kLocalEntry, &score, nullptr, nullptr, 0));
        EXPECT_EQ(score, 900);

        mService.AnswerSubmit(entered);
        ASSERT_TRUE(client->SubmitScore("Ann A", "secret", true));
        bool inTable = !entered;
        ASSERT_EQ(Finish(*client, nullptr, &inTable), TBvHiscores::kDone);
        EXPECT_EQ(inTable, entered);

        const auto requests = mService.Requests();
        const auto& submit = requests.back();
        EXPECT_EQ(submit.CheckFields(), "");
        EXPECT_EQ(submit.Field("action"), "submit");
        EXPECT_NE(submit.document.find("guid=\"g1\""), std::string::npos) << submit.document;
        EXPECT_NE(submit.document.find("name=\"Ann A\""), std::string::npos);
        EXPECT_NE(submit.document.find("password=\"secret\""), std::string::npos);
        EXPECT_NE(submit.document.find("score=\"900\""), std::string::npos);

        // Every entry of the player is flagged, in memory and in the file read back.
        EXPECT_FALSE(client->GetUserEntry(TBvHiscores::kLocalEntry, nullptr, nullptr, nullptr, 0));
        THiscoreStore saved = LoadStore();
        const THiscoreTable* table = saved.FindLocalTable("classic");
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->Count(), 3);
        EXPECT_TRUE(table->entries[0].submitted);
        EXPECT_FALSE(table->entries[1].submitted);
        EXPECT_TRUE(table->entries[2].submitted);
        ASSERT_EQ(saved.Logins().count("Ann"), 1u);
        EXPECT_EQ(saved.Logins().at("Ann").name, str("Ann A"));

        str name;
        str password;
        ASSERT_TRUE(client->GetUserLogin(&name, &password));
        EXPECT_EQ(name, str("Ann A"));
        EXPECT_EQ(password, str("secret"));

        // Every entry submitted: nothing more to send.
        const size_t sent = mService.Requests().size();
        EXPECT_FALSE(client->SubmitEntry("Ann A", "secret", true, false));
        EXPECT_FALSE(client->SubmitEntry("Ann A", "secret", true, true));
        EXPECT_EQ(mService.Requests().size(), sent);
    }
}

TEST_F(HiscoreClientFlowTest, SubmitUserNameGoesWithScoreRequestsUntilThePlayerChanges) {
    SaveLocal({Local("Ann", 900, "g1")});
    auto client = MakeClient();
    ReceiveCategories(*client);
    mService.AnswerSubmit(true);
    ASSERT_TRUE(client->SubmitScore("Ann A", "secret", false));
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
    EXPECT_FALSE(client->GetUserLogin(nullptr, nullptr));

    mService.AnswerScores({});
    client->RequestScores(0);
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
    client->SetParameter(TBvHiscores::kPlayer, "Ann");
    client->RequestScores(0);
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);

    const auto requests = mService.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2].Field("username"), "Ann A");
    EXPECT_EQ(requests[2].CheckFields(), "");
    EXPECT_FALSE(requests[3].Has("username"));
}

TEST_F(HiscoreClientFlowTest, MedalsSubmissionFlagsThePendingMedals) {
    THiscoreStore store(true);
    store.Medals()["Ann"].medals = {THiscoreMedal{"Star", "type", "classic", "", false},
                                    THiscoreMedal{"Moon", "game", "", "", false}};
    SaveStore(store);
    const std::string before = GetStore();
    auto client = MakeClient();

    EXPECT_FALSE(client->SubmitEntry("Ann A", "pw", false, false));
    mService.AnswerMedalsAccepted();
    ASSERT_TRUE(client->SubmitEntry("Ann A", "pw", false, true));
    bool entered = true;
    ASSERT_EQ(Finish(*client, nullptr, &entered), TBvHiscores::kDone);
    EXPECT_FALSE(entered);

    const auto requests = mService.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].CheckFields(), "");
    EXPECT_EQ(requests[0].Field("action"), "medals");
    EXPECT_NE(requests[0].document.find(
                  "<medal name=\"Star\" per=\"type\" type=\"classic\"/><medal name=\"Moon\" "
                  "per=\"game\"/></medals>"),
              std::string::npos)
        << requests[0].document;
    // Flagged: nothing is left to send; the record stays, and the file was not rewritten.
    EXPECT_FALSE(client->SubmitEntry("Ann A", "pw", false, true));
    EXPECT_EQ(GetStore(), before);
}

TEST_F(HiscoreClientFlowTest, ScoreWithMedalsCarriesThemWithoutModes) {
    THiscoreStore store(true);
    store.Tables()["classic"] = THiscoreTable{"classic", {Local("Ann", 900, "g1")}};
    store.Medals()["Ann"].medals = {THiscoreMedal{"Star", "type", "classic", "", false}};
    SaveStore(store);
    auto client = MakeClient();
    mService.AnswerSubmit(true);
    ASSERT_TRUE(client->SubmitEntry("Ann A", "pw", false, true));
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
    const auto requests = mService.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].document.find("<medal name=\"Star\" per=\"type\"/></score>"),
              std::string::npos)
        << requests[0].document;
    EXPECT_FALSE(client->SubmitEntry("Ann A", "pw", false, true));
}

TEST_F(HiscoreClientFlowTest, FailedScoreRequestsSaySo) {
    auto client = MakeClient();
    std::string error;
    // No categories yet.
    mService.AnswerText(200, testing_support::HiscoreReply(""));
    client->RequestScores(0);
    EXPECT_EQ(Finish(*client, &error), TBvHiscores::kFailed);
    EXPECT_EQ(error, "Score request failed because no category information has been received yet");

    ReceiveCategories(*client);
    mService.AnswerText(400, "<html>Missing required parameter: type</html>");
    client->RequestScores(0);
    EXPECT_EQ(Finish(*client, &error), TBvHiscores::kFailed);
    EXPECT_EQ(error, "Score request failed because game mode is not valid");
    EXPECT_EQ(client->GetNumScores(false), 0);
}

TEST_F(HiscoreClientFlowTest, RefusedSubmissions) {
    SaveLocal({Local("Ann", 900, "g1")});
    const std::string before = GetStore();
    auto client = MakeClient();
    std::string error;

    mService.AnswerMessage("Too many scores today");
    ASSERT_TRUE(client->SubmitScore("Ann A", "pw", true));
    EXPECT_EQ(Finish(*client, &error), TBvHiscores::kFailed);
    EXPECT_EQ(error, "Too many scores today");
    EXPECT_TRUE(client->GetUserLogin(nullptr, nullptr));

    mService.AnswerMessage("hiscore.error.invalidUsernameOrPassword");
    ASSERT_TRUE(client->SubmitScore("Ann A", "pw", true));
    EXPECT_EQ(Finish(*client, &error), TBvHiscores::kFailed);
    EXPECT_EQ(error, "hiscore.error.invalidUsernameOrPassword");
    EXPECT_FALSE(client->GetUserLogin(nullptr, nullptr));

    // Still waiting to be sent, and the file as it was.
    EXPECT_TRUE(client->GetUserEntry(TBvHiscores::kLocalEntry, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetStore(), before);
}

TEST_F(HiscoreClientFlowTest, NameOutsideSingleByteTextIsNotSent) {
    SaveLocal({Local("Ann", 900, "g1")});
    auto client = MakeClient();
    ReceiveCategories(*client);
    EXPECT_FALSE(client->SubmitScore("Ann\xC0", "pw", true));
    EXPECT_FALSE(client->SubmitMedals("<medal/>", "\xC3\xA9", "pw", true));
    EXPECT_FALSE(client->IsSingleByteText("\xFF"));
    EXPECT_TRUE(client->IsSingleByteText("Ann \x7F\xBF"));
    EXPECT_EQ(CountLog("ERROR -------- ERROR -------- Invalid User name Ann\xC0"), 1);
    // The categories request stays the last one, finished.
    EXPECT_EQ(Finish(*client), TBvHiscores::kDone);
    EXPECT_EQ(mService.Requests().size(), 1u);
    EXPECT_FALSE(client->GetUserLogin(nullptr, nullptr));
    // Null arguments send nothing either.
    EXPECT_FALSE(client->SubmitMedals(nullptr, "Ann", "pw", false));
    EXPECT_FALSE(client->SubmitMedals("<medal/>", nullptr, "pw", false));
    EXPECT_FALSE(client->SubmitMedals("<medal/>", "Ann", nullptr, false));
    EXPECT_EQ(mService.Requests().size(), 1u);
}

TEST_F(HiscoreClientFlowTest, LanguageFixedByHiscoreXml) {
    for (bool fixed : {false, true}) {
        SCOPED_TRACE(fixed);
        if (fixed) WriteHiscoreXml("<language>de</language>");
        auto client = MakeClient();
        client->SetParameter(TBvHiscores::kLanguage, "fr");
        client->SetParameter(9, "ignored");
        mService.AnswerTables({});
        client->RequestCategoryInformation();
        ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
        EXPECT_EQ(mService.Requests().back().Field("lang"), fixed ? "de" : "fr");
    }
}

// The player's entry in the service's table, found without the service's account flag.
TEST_F(HiscoreClientFlowTest, UserEntryInTheServiceTable) {
    struct Case {
        const char* what;
        const char* login;      // the player's saved login name, or null
        const char* submitter;  // a submit user name set by a medals submission, or null
        std::vector<HiscoreRow> rows;
        std::vector<THiscoreEntry> local;
        int score;  // -1: not found
    };
    const std::vector<Case> cases = {
        {"the account flag",
         nullptr,
         nullptr,
         {{"X", 800, 1, "", "x1"}, {"Y", 600, 2, "", "y1", true}},
         {},
         600},
        {"the saved login's name",
         "Acc",
         nullptr,
         {{"Acc", 800, 1, "", "g9"}, {"Acc", 700, 2, "", "g2"}, {"Ann", 650, 3, "", "g2"}},
         {Local("Ann", 900, "g1"), Local("Ann", 700, "g2")},
         700},
        {"the submit user name",
         nullptr,
         "Sub",
         {{"Ann", 800, 1, "", "g2"}, {"Sub", 700, 2, "", "g2"}},
         {Local("Ann", 700, "g2")},
         700},
        {"the player's name",
         nullptr,
         nullptr,
         {{"Acc", 800, 1, "", "g2"}, {"Ann", 700, 2, "", "g2"}},
         {Local("Ann", 700, "g2")},
         700},
        {"a guid past a lower local score",
         nullptr,
         nullptr,
         {{"Ann", 800, 1, "", "g2"}},
         {Local("Ann", 900, "g1"), Local("Ann", 500, "g3"), Local("Ann", 400, "g2")},
         -1},
        {"no local table", nullptr, nullptr, {{"Ann", 800, 1, "", "g2"}}, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        THiscoreStore store(true);
        if (!c.local.empty()) store.Tables()["classic"] = THiscoreTable{"classic", c.local};
        if (c.login != nullptr) store.Logins()["Ann"] = THiscoreLogin{"Ann", c.login, "pw"};
        store.Save(mCrypt);
        auto client = MakeClient();
        if (c.submitter != nullptr) {
            mService.AnswerMedalsAccepted();
            ASSERT_TRUE(client->SubmitMedals("<medal/>", c.submitter, "pw", false));
            ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
        }
        mService.AnswerScores(c.rows);
        client->RequestScores(0);
        ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
        int score = -1;
        int rank = -1;
        char data[16];
        EXPECT_EQ(client->GetUserEntry(TBvHiscores::kServiceEntry, &score, &rank, data, 16),
                  c.score >= 0);
        if (c.score >= 0) {
            EXPECT_EQ(score, c.score);
        }
    }
}

}  // namespace
