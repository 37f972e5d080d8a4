// The hiscore client over the stand-in server library (hiscore_stub.cc) placed in the program's
// folder: its set-up from the settings, the same flows as over HTTP, its teardown, and libraries
// that must not be used.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hiscoreclientfixture.h"

namespace {

using hiscore_testing::kGame;
using hiscore_testing::kKey;
using hiscore_testing::Local;

class HiscoreLibraryTest : public hiscore_testing::HiscoreClientTest {
protected:
    void SetUp() override {
        HiscoreClientTest::SetUp();
        TPlatform::SetConfig("bvgamemodename1", "classic");
        TPlatform::SetConfig("bvgamemodename2", "relaxed");
        TPlatform::SetConfig("bvgamemedalname1", "Star");
        TPlatform::SetConfig("bvgamemedalname2", "Moon");
    }

    std::string LibraryPath() const { return mDir.File("bin/bvservlet_stub.so"); }
    void Install(const char* built) {
        std::filesystem::copy_file(built, LibraryPath(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void Reply(const std::string& text) {
        ASSERT_TRUE(testing_support::WriteFileBytes(mDir.File("stub_reply.xml"), text));
    }
    // The library's calls so far, one line each.
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        const std::string text = testing_support::ReadFileBytes(mDir.File("stub_calls.txt"));
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    bool LibraryLoaded() const {
        void* handle = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (handle != nullptr) dlclose(handle);
        return handle != nullptr;
    }
};

TEST_F(HiscoreLibraryTest, CategoriesScoresAndSubmissionThroughTheLibrary) {
    Install(HISCORE_STUB);
    SaveLocal({Local("Ann", 900, "g1")});
    {
        auto client = MakeClient();
        EXPECT_TRUE(LibraryLoaded());
        Reply(testing_support::HiscoreReply(
            "<tables><table table=\"t1\" name=\"Daily\"/><table table=\"t2\" "
            "name=\"All time\"/></tables>"));
        client->RequestCategoryInformation();
        ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
        ASSERT_EQ(client->GetNumCategories(), 2);

        Reply(testing_support::HiscoreReply(
            "<scores><score name=\"Ann\" score=\"900\" rank=\"1\" account=\"true\"/></scores>"));
        client->RequestScores(1);
        ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
        EXPECT_EQ(client->GetNumScores(false), 1);

        Reply(testing_support::HiscoreReply("<score/>"));
        ASSERT_TRUE(client->SubmitScore("Ann A", "pw", true));
        bool entered = false;
        std::string error;
        ASSERT_EQ(Finish(*client, &error, &entered), TBvHiscores::kDone) << error;
        EXPECT_TRUE(entered);
        Reply(testing_support::HiscoreReply("<scores/>"));
        client->RequestScores(5);
        ASSERT_EQ(Finish(*client), TBvHiscores::kDone);
    }
    EXPECT_FALSE(LibraryLoaded());
    EXPECT_TRUE(LoadStore().FindLocalTable("classic")->entries[0].submitted);
    // Nothing went over HTTP.
    EXPECT_TRUE(mService.Requests().empty());
    const std::vector<std::string> expected = {
        "CreateLocalServer",
        std::string("SetServerInfo|7|") + kGame + "|" + kKey + "|2|2|classic,relaxed|Star,Moon",
        std::string("RequestCategoryInformation|7|") + kGame,
        std::string("RequestScores|7|") + kGame + "|classic|t2|(null)",
        std::string("SubmitScore|7|") + kGame + "|classic|Ann A|pw|g1||data-g1|900|" + kKey + "|",
        std::string("RequestScores|7|") + kGame + "|classic|(null)|Ann A",
        "FreeLocalServer|7",
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(HiscoreLibraryTest, MedalsAndFailuresThroughTheLibrary) {
    Install(HISCORE_STUB);
    THiscoreStore store(true);
    store.Medals()["Ann"].medals = {THiscoreMedal{"Star", "type", "classic", "", false}};
    SaveStore(store);
    const std::string before = GetStore();
    auto client = MakeClient();
    std::string error;

    // A failed status, then a reply the library answers as null.
    ASSERT_TRUE(client->SubmitEntry("Ann A", "pw", false, true));
    EXPECT_EQ(Finish(*client, &error), TBvHiscores::kFailed);
    EXPECT_EQ(error, hiscore_testing::kUnableToConnect);
    Reply("NULL");
    EXPECT_EQ(Finish(*client, &error), TBvHiscores::kFailed);
    EXPECT_EQ(error, hiscore_testing::kUnableToConnect);
    EXPECT_EQ(CountLog("HiScore XML parsing error!\n"), 1);
    ASSERT_TRUE(testing_support::WriteFileBytes(mDir.File("stub_status.txt"), "0"));
    EXPECT_EQ(client->Poll(nullptr, 0, nullptr), TBvHiscores::kRunning);
    std::remove("stub_status.txt");

    Reply(testing_support::HiscoreReply("<medals/>"));
    ASSERT_TRUE(client->SubmitEntry("Ann A", "pw", false, true));
    EXPECT_EQ(Finish(*client), TBvHiscores::kDone);
    EXPECT_FALSE(client->SubmitEntry("Ann A", "pw", false, true));
    EXPECT_EQ(GetStore(), before);
    const std::string medals = std::string("SubmitMedals|7|") + kGame +
                               "|classic|Ann A|pw|<medal name=\"Star\" per=\"type\" "
                               "type=\"classic\"/>|" +
                               kKey;
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2], medals);
    EXPECT_EQ(calls[3], medals);
}

TEST_F(HiscoreLibraryTest, SetUpFromTheSettings) {
    struct Case {
        const char* what;
        const char* handle;
        const char* firstMode;
        const char* secondMedal;
        std::string setUp;  // the call after CreateLocalServer; empty: none
    };
    const std::vector<Case> cases = {
        {"no game handle", "", "classic", "Moon", "LoadServerDefFile|7"},
        {"an empty first game mode", kGame, "", "Moon", ""},
        {"one medal name", kGame, "classic", "",
         std::string("SetServerInfo|7|") + kGame + "|" + kKey + "|2|1|classic,relaxed|Star"},
    };
    Install(HISCORE_STUB);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove("stub_calls.txt");
        TPlatform::SetConfig("bvgamehandle", c.handle);
        TPlatform::SetConfig("gamename", "Umbrava Deluxe");
        TPlatform::SetConfig("bvgamemodename1", c.firstMode);
        TPlatform::SetConfig("bvgamemedalname2", c.secondMedal);
        {
            auto client = MakeClient();
            client->RequestCategoryInformation();
        }
        std::vector<std::string> expected = {"CreateLocalServer"};
        if (!c.setUp.empty()) expected.push_back(c.setUp);
        expected.push_back(std::string("RequestCategoryInformation|7|") +
                           (c.handle[0] != '\0' ? c.handle : "Umbrava Deluxe"));
        expected.push_back("FreeLocalServer|7");
        EXPECT_EQ(Calls(), expected);
    }
}

TEST_F(HiscoreLibraryTest, LibraryWithoutGetStatusIsNotUsed) {
    Install(HISCORE_STUB_NOSTATUS);
    auto client = MakeClient();
    EXPECT_FALSE(LibraryLoaded());
    EXPECT_EQ(CountLog("HiScore server library " + LibraryPath() +
                       " lacks HiscoreServer_GetStatus: using HTTP\n"),
              1);
    mService.AnswerTables({{"t1", "Daily"}});
    client->RequestCategoryInformation();
    EXPECT_EQ(Finish(*client), TBvHiscores::kDone);
    EXPECT_EQ(mService.Requests().size(), 1u);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(HiscoreLibraryTest, LibraryElsewhereIsNotLoaded) {
    // The loader would find one by its bare name now (it matches the loaded library's soname),
    // but the program's folder holds none.
    void* elsewhere = dlopen(HISCORE_STUB, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(elsewhere, nullptr);
    void* byName = dlopen("bvservlet_stub.so", RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(byName, nullptr);
    if (byName != nullptr) dlclose(byName);
    {
        auto client = MakeClient();
        mService.AnswerTables({});
        client->RequestCategoryInformation();
        EXPECT_EQ(Finish(*client), TBvHiscores::kDone);
    }
    EXPECT_EQ(mService.Requests().size(), 1u);
    EXPECT_TRUE(Calls().empty());
    dlclose(elsewhere);
}

}  // namespace
