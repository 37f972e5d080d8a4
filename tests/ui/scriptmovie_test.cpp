// The window script's movie, through a movie player factory of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scriptfixture.h"
#include "ui/movieplayer.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> gCalls;
bool gStarts = true;
bool gPlaying = true;

class TFakePlayer : public TMoviePlayer {
public:
    explicit TFakePlayer(const str& file) : mFile(file.c_str()) {
        gCalls.push_back("new " + mFile);
    }
    ~TFakePlayer() override { gCalls.push_back("delete " + mFile); }
    bool Create(bool translate, bool allowInput) override {
        gCalls.push_back("create " + mFile + " " + std::to_string(translate) +
                         std::to_string(allowInput));
        return gStarts;
    }
    bool IsPlaying() override { return gPlaying; }
    void Close() override { gCalls.push_back("close " + mFile); }

private:
    std::string mFile;
};

TMoviePlayer* MakeFake(const str& file) {
    return new TFakePlayer(file);
}

class ScriptMovieTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        gCalls.clear();
        gStarts = true;
        gPlaying = true;
    }
    void TearDown() override {
        ScriptTest::TearDown();
        SetMoviePlayerFactory(nullptr);
    }
};

TEST_F(ScriptMovieTest, WithoutAPlayerNoMovieStarts) {
    EXPECT_EQ(Run("return StartMovie('intro.swf', true, false), IsMoviePlaying()"), "false, false");
    mScript->EndMovie();
    EXPECT_EQ(Run("StopMovie()"), "");
}

TEST_F(ScriptMovieTest, AMovieThatPlaysUntilItIsStopped) {
    SetMoviePlayerFactory(&MakeFake);
    EXPECT_EQ(Run("return StartMovie('', true, true)"), "false");
    EXPECT_EQ(Run("return StartMovie('intro.swf', true, false), IsMoviePlaying()"), "true, true");
    gPlaying = false;
    EXPECT_EQ(Run("return IsMoviePlaying()"), "false");
    EXPECT_EQ(Run("StopMovie() StopMovie() return IsMoviePlaying()"), "false");
    EXPECT_THAT(gCalls, ElementsAre("new intro.swf", "create intro.swf 10", "close intro.swf",
                                    "delete intro.swf"));
}

TEST_F(ScriptMovieTest, AMovieThatDoesNotStartIsDeleted) {
    SetMoviePlayerFactory(&MakeFake);
    gStarts = false;
    EXPECT_EQ(Run("return StartMovie('broken.swf', false, true), IsMoviePlaying()"),
              "false, false");
    EXPECT_THAT(gCalls, ElementsAre("new broken.swf", "create broken.swf 01", "delete broken.swf"));
}

TEST_F(ScriptMovieTest, EndMovieStopsItAndResumesTheWaitingScript) {
    SetMoviePlayerFactory(&MakeFake);
    // Nothing plays: the script keeps waiting.
    Start(
        "StartMovie('splash.swf', false, false)\n"
        "local a = HandleGetMessage() after = 'resumed ' .. tostring(a)");
    gCalls.clear();
    mScript->StopMovie();
    mScript->EndMovie();
    EXPECT_EQ(Global("after"), "nil");
    ASSERT_EQ(Run("StartMovie('splash.swf', false, false)"), "");
    int height = lua_gettop(L);
    mScript->EndMovie();
    EXPECT_EQ(Global("after"), "resumed nil");
    EXPECT_EQ(lua_gettop(L), height);
    EXPECT_EQ(Run("return IsMoviePlaying()"), "false");
    EXPECT_THAT(gCalls,
                ElementsAre("close splash.swf", "delete splash.swf", "new splash.swf",
                            "create splash.swf 00", "close splash.swf", "delete splash.swf"));
}

TEST_F(ScriptMovieTest, TheScriptStopsItsMovieWhenItGoes) {
    SetMoviePlayerFactory(&MakeFake);
    ASSERT_EQ(Run("StartMovie('long.swf', false, false)"), "");
    mManager->SetScript(new TWindowScript);
    EXPECT_THAT(gCalls, ElementsAre("new long.swf", "create long.swf 00", "close long.swf",
                                    "delete long.swf"));
}

}  // namespace
}  // namespace uitest
