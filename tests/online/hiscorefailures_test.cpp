// The hiscore client when things go wrong: every failed request ends in Poll with 2 and a text
// the player can read, and leaves the local records as they were; the settings the client starts
// from; and the "hiscoreserver.txt" that points it at another service.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "hiscoreclientfixture.h"

namespace {

using hiscore_testing::kGame;
using hiscore_testing::kUnableToConnect;
using hiscore_testing::Local;

class HiscoreFailureTest : public hiscore_testing::HiscoreClientTest {};

TEST_F(HiscoreFailureTest, EveryFailureEndsWithATextAndLeavesTheStore) {
    const std::string closedPort =
        "http://127.0.0.1:" + std::to_string(testing_support::ClosedPort()) + "/go/hiscore\n";
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool submit;  // else Poll without a request
        std::string error;
    };
    const std::vector<Case> cases = {
        {"no network: the built-in address", [&] { std::remove("hiscoreserver.txt"); }, true,
         kUnableToConnect},
        {"a closed port", [&] { PointAt(closedPort); }, true, kUnableToConnect},
        {"a stall", [&] { mService.AnswerStall(); }, true, kUnableToConnect},
        {"a reset mid-reply", [&] { mService.AnswerReset(); }, true, kUnableToConnect},
        {"an HTML error page", [&] { mService.AnswerHtmlError(); }, true, kUnableToConnect},
        {"malformed XML", [&] { mService.AnswerMalformed(); }, true, kUnableToConnect},
        {"ZXML", [&] { mService.AnswerZxml(); }, true, kUnableToConnect},
        {"a protocol error", [&] { mService.AnswerProtocolError("bad"); }, true, kUnableToConnect},
        {"Poll before any request", [] {}, false, kUnableToConnect},
        {"the default error text",
         [&] {
             PointAt(closedPort);
             WriteHiscoreXml("<defaulterror>The service is resting</defaulterror>");
         },
         true, "The service is resting"},
    };
    SaveLocal({Local("Ann", 900, "g1")});
    const std::string before = GetStore();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PointAt(mService.Url());
        std::remove("hiscore.xml");
        c.arrange();
        auto client = MakeClient();
        if (c.submit) {
            ASSERT_TRUE(client->SubmitScore("Ann A", "pw", false));
        }
        std::string error;
        bool entered = true;
        EXPECT_EQ(Finish(*client, &error, &entered), TBvHiscores::kFailed);
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(entered);
        EXPECT_TRUE(client->GetUserEntry(TBvHiscores::kLocalEntry, nullptr, nullptr, nullptr, 0));
        EXPECT_EQ(GetStore(), before);
    }
    // The built-in address was refused before any name lookup.
    EXPECT_EQ(port::control::HttpNameLookups(), 0);
}

TEST_F(HiscoreFailureTest, ErrorTextIsCutToTheBuffer) {
    auto client = MakeClient();
    std::vector<char> small(8, 'x');
    EXPECT_EQ(client->Poll(small.data(), 8, nullptr), TBvHiscores::kFailed);
    EXPECT_EQ(std::string(small.data()), "Unable ");
    EXPECT_EQ(client->Poll(nullptr, 8, nullptr), TBvHiscores::kFailed);
}

TEST_F(HiscoreFailureTest, EmptyEncryptionKeyIsLoggedOnceAndTheClientWorks) {
    TPlatform::SetConfig("encryptionkey", "");
    auto client = MakeClient();
    mService.AnswerTables({{"t1", "Daily"}});
    client->RequestCategoryInformation();
    EXPECT_EQ(Finish(*client), TBvHiscores::kDone);
    EXPECT_EQ(client->GetNumCategories(), 1);
    EXPECT_EQ(CountLog("ERROR: No encryption key set before TBvHiscores construction!"), 1);
}

TEST_F(HiscoreFailureTest, GameHandleFallsBackToTheGameName) {
    TPlatform::SetConfig("bvgamehandle", "");
    TPlatform::SetConfig("gamename", "Umbrava Deluxe");
    auto client = MakeClient();
    mService.AnswerTables({});
    client->RequestCategoryInformation();
    ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
    EXPECT_EQ(mService.Requests().at(0).Field("game"), "Umbrava Deluxe");
}

TEST_F(HiscoreFailureTest, ServerFileIsUsedOrIgnored) {
    const std::string url = mService.Url();
    const std::string longUrl = url + "?" + std::string(600 - url.size() - 1, 'q');
    const std::string ignoredEmpty = "HiScore server file hiscoreserver.txt is empty: ignored\n";
    const std::string ignoredScheme =
        "HiScore server file hiscoreserver.txt names no http:// or https:// address: ignored\n";
    struct Case {
        const char* what;
        std::string text;
        std::string used;  // the address in use; empty: the built-in one
        std::string logged;
    };
    const std::vector<Case> cases = {
        {"CR LF", url + "\r\n", url, ""},
        {"blanks", " \t" + url + " \t\r\nsecond line\n", url, ""},
        {"an empty file", "", "", ignoredEmpty},
        {"blanks only", "  \r\n", "", ignoredEmpty},
        {"ftp", "ftp://x\n", "", ignoredScheme},
        {"600 characters", longUrl, longUrl.substr(0, 511), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mLog.Clear();
        PointAt(c.text);
        auto client = MakeClient();
        const std::string inUse =
            c.used.empty() ? "" : "HiScore server address from hiscoreserver.txt: " + c.used + "\n";
        EXPECT_EQ(CountLog(inUse), c.used.empty() ? 0 : 1);
        if (!c.logged.empty()) {
            EXPECT_EQ(CountLog(c.logged), 1);
        }
        mService.AnswerTables({{"t", "T"}});
        const size_t sent = mService.Requests().size();
        client->RequestCategoryInformation();
        const int state = Finish(*client);
        // An address as long as the long line is too long to send: it is used, and fails.
        const bool reaches = c.used == url;
        EXPECT_EQ(state, reaches ? TBvHiscores::kDone : TBvHiscores::kFailed);
        EXPECT_EQ(mService.Requests().size(), sent + (reaches ? 1 : 0));
    }
    EXPECT_EQ(port::control::HttpNameLookups(), 0);
}

}  // namespace
