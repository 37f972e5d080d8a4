// The game state: "++" counts, "mute" against the sound manager's master volume, the handlers'
// order and answers, reads through the filters, the five Lua functions of the window script and
// their life, and handlers and scripts that come before the game state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/soundmanager.h"
#include "gamestaterecorder.h"
#include "platform/win32platform.h"
#include "scriptfixture.h"
#include "ui/gamestate.h"

namespace uitest {
namespace {

using Journal = std::vector<std::string>;

class GameStateTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mState = TGameState::Get();
        ASSERT_NE(mState, nullptr);
    }
    TSoundManager* Sound() {
        mApp->CreateSoundManager();
        return mApp->GetSoundManager();
    }
    std::string Value(const char* key) { return mState->GetState(key).c_str(); }

    TGameState* mState = nullptr;
    Journal mCalls;
    TRecordingHandler mFirst{"first", &mCalls};
    TRecordingHandler mSecond{"second", &mCalls};
};

TEST_F(GameStateTest, MadeOnceWhileTheApplicationLives) {
    EXPECT_EQ(TGameState::Get(), mState);
    mApp.reset();
    EXPECT_EQ(TGameState::Get(), nullptr);
}

TEST_F(GameStateTest, PlusPlusCountsTheRestOfTheKey) {
    struct Case {
        const char* before;  // null: never set
        const char* after;
    };
    const Case cases[] = {
        {"41", "42"},
        {nullptr, "1"},
        {"abc", "1"},
        {"", "1"},
        {"-5", "-4"},
        {"7 apples", "8"},
        {"2147483647", "2147483647"},
        {"99999999999", "2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before != nullptr ? c.before : "(unset)");
        TGameState::DeleteInstance();
        mState = TGameState::Get();
        if (c.before != nullptr) mState->SetState("score", c.before);
        mState->SetState("++score", "1000");
        EXPECT_EQ(Value("score"), c.after);
        EXPECT_FALSE(mState->HasState("++score"));
    }
}

TEST_F(GameStateTest, HandlersAreOfferedTheCountedValue) {
    TGameState::AddHandler(&mFirst);
    mState->SetState("score", "41");
    mCalls.clear();
    mState->SetState("++score", "x");
    // The count reads the value through the filters, then offers it.
    EXPECT_EQ(mCalls, (Journal{"first.Filter score", "first.Handle score=42"}));
}

TEST_F(GameStateTest, ChangesGoToTheHandlersInOrderUntilOneTakesIt) {
    TRecordingHandler third("third", &mCalls);
    for (TRecordingHandler* handler : {&mFirst, &mSecond, &third})
        TGameState::AddHandler(handler);
    mSecond.takes = "level";
    mState->SetState("level", "3");
    mState->SetStateInt("score", -12);
    EXPECT_EQ(mCalls,
              (Journal{"first.Handle level=3", "second.Handle level=3", "first.Handle score=-12",
                       "second.Handle score=-12", "third.Handle score=-12"}));
    // Stored before it is offered, whoever takes it.
    EXPECT_EQ(Value("level"), "3");
    EXPECT_EQ(Value("score"), "-12");
}

// A handler that registers another while it is told of a change, as a portal handler might.
class TAddingHandler : public TRecordingHandler {
public:
    using TRecordingHandler::TRecordingHandler;
    TGameStateHandler* adds = nullptr;
    bool HandleState(const char* key, const char* value) override {
        for (int i = 0; i < 64 && adds != nullptr; ++i)
            TGameState::AddHandler(adds);  // enough to move the list
        adds = nullptr;
        return TRecordingHandler::HandleState(key, value);
    }
};

TEST_F(GameStateTest, AHandlerAddedDuringAnOfferIsOfferedTheChangeToo) {
    TAddingHandler adding("adding", &mCalls);
    adding.adds = &mSecond;
    TGameState::AddHandler(&adding);
    mSecond.takes = "level";
    mState->SetState("level", "1");
    EXPECT_EQ(mCalls, (Journal{"adding.Handle level=1", "second.Handle level=1"}));
    EXPECT_EQ(TGameState::GetHandlers().size(), 65u);
}

TEST_F(GameStateTest, MuteSavesTheVolumeAndUnmuteRestoresItExactly) {
    TSoundManager* sound = Sound();
    ASSERT_NE(sound, nullptr);
    sound->SetMasterVolume(0.37f);
    mState->SetState("mute", "1");
    EXPECT_EQ(sound->GetVolume(-1), 0.0f);
    sound->SetMasterVolume(0.5f);  // a second mute neither saves nor silences
    mState->SetState("mute", "1");
    EXPECT_EQ(sound->GetVolume(-1), 0.5f);
    mState->SetState("mute", "0");
    EXPECT_EQ(sound->GetVolume(-1), 0.37f);
    mState->SetState("mute", "0");  // a second unmute changes nothing
    EXPECT_EQ(sound->GetVolume(-1), 0.37f);
    // Any non-zero number mutes; anything that reads 0 unmutes.
    mState->SetState("mute", "-2");
    EXPECT_EQ(sound->GetVolume(-1), 0.0f);
    mState->SetState("mute", "off");
    EXPECT_EQ(sound->GetVolume(-1), 0.37f);
    mState->SetState("++mute", "");
    EXPECT_EQ(sound->GetVolume(-1), 0.0f);
    mState->SetStateInt("mute", 0);
    EXPECT_EQ(sound->GetVolume(-1), 0.37f);
}

TEST_F(GameStateTest, AHandlerThatTakesMuteKeepsTheVolume) {
    TSoundManager* sound = Sound();
    sound->SetMasterVolume(0.8f);
    mFirst.takes = "mute";
    TGameState::AddHandler(&mFirst);
    TGameState::AddHandler(&mSecond);
    mState->SetState("mute", "1");
    EXPECT_EQ(sound->GetVolume(-1), 0.8f);
    EXPECT_EQ(mCalls, (Journal{"first.Handle mute=1"}));
    EXPECT_EQ(Value("mute"), "1");
}

TEST_F(GameStateTest, MuteWithoutASoundManagerLeavesTheVolumeAlone) {
    TGameState::AddHandler(&mFirst);
    ASSERT_EQ(mApp->GetSoundManager(), nullptr);
    mState->SetState("mute", "1");
    EXPECT_EQ(Value("mute"), "1");
    // The sound comes later: the unmute has nothing saved to restore.
    TSoundManager* sound = Sound();
    sound->SetMasterVolume(0.6f);
    mState->SetState("mute", "0");
    EXPECT_EQ(sound->GetVolume(-1), 0.6f);
    // Muted, then the sound manager goes: the unmute finds nothing to restore.
    mState->SetState("mute", "1");
    EXPECT_EQ(sound->GetVolume(-1), 0.0f);
    mApp->GetPlatform()->DeleteSoundManager();
    mState->SetState("mute", "0");
    mState->SetState("mute", "1");
    EXPECT_EQ(Value("mute"), "1");
    EXPECT_EQ(mCalls, (Journal{"first.Handle mute=1", "first.Handle mute=0", "first.Handle mute=1",
                               "first.Handle mute=0", "first.Handle mute=1"}));
}

TEST_F(GameStateTest, ReadsPassThroughEveryFilterInOrder) {
    mFirst.suffix = "+a";
    mSecond.suffix = "+b";
    TGameState::AddHandler(&mFirst);
    TGameState::AddHandler(&mSecond);
    mState->SetState("level", "4");
    mCalls.clear();
    EXPECT_EQ(mState->GetStateValue("level"), str("4+a+b"));
    EXPECT_EQ(mCalls, (Journal{"first.Filter level", "second.Filter level"}));
    EXPECT_EQ(Value("level"), "4");  // the stored value is not rewritten
}

TEST_F(GameStateTest, AnAbsentKeyIsStoredEmptyByItsFirstRead) {
    EXPECT_FALSE(mState->HasState("gameover"));
    EXPECT_EQ(mState->GetState("gameover"), str());
    EXPECT_FALSE(mState->HasState("gameover"));  // GetState stores nothing
    EXPECT_EQ(mState->GetStateValue("gameover"), str());
    EXPECT_TRUE(mState->HasState("gameover"));
    EXPECT_EQ(mState->GetStateValue("gameover"), str());
}

TEST_F(GameStateTest, QueryMuteGameReadsMuteWhenNoHandlerAsks) {
    const std::pair<const char*, bool> cases[] = {{"2", true}, {"1", true},  {"-1", true},
                                                  {"", false}, {"0", false}, {"no", false}};
    for (const auto& [value, muted] : cases) {
        SCOPED_TRACE(value);
        mState->SetState("mute", value);
        EXPECT_EQ(mState->QueryMuteGame(), muted);
    }
    // A filter's answer is what counts.
    mFirst.suffix = "1";
    TGameState::AddHandler(&mFirst);
    mState->SetState("mute", "");
    EXPECT_TRUE(mState->QueryMuteGame());
    mFirst.suffix = "";
    mSecond.answer = true;
    TGameState::AddHandler(&mSecond);
    mCalls.clear();
    EXPECT_TRUE(mState->QueryMuteGame());
    EXPECT_EQ(mCalls, (Journal{"first.Mute", "second.Mute"}));  // "mute" is not read then
}

TEST_F(GameStateTest, QueriesStopAtTheFirstTrueAnswer) {
    TRecordingHandler third("third", &mCalls);
    for (TRecordingHandler* handler : {&mFirst, &mSecond, &third})
        TGameState::AddHandler(handler);
    EXPECT_FALSE(mState->IsSuspended());
    EXPECT_FALSE(mState->QueryRestartMode());
    EXPECT_FALSE(mState->QueryJumpToMenu());
    EXPECT_EQ(mCalls, (Journal{"first.Suspend", "second.Suspend", "third.Suspend", "first.Restart",
                               "second.Restart", "third.Restart", "first.Menu", "second.Menu",
                               "third.Menu"}));
    mCalls.clear();
    mSecond.answer = true;
    EXPECT_TRUE(mState->IsSuspended());
    EXPECT_TRUE(mState->QueryRestartMode());
    EXPECT_TRUE(mState->QueryJumpToMenu());
    EXPECT_EQ(mCalls, (Journal{"first.Suspend", "second.Suspend", "first.Restart", "second.Restart",
                               "first.Menu", "second.Menu"}));
}

TEST_F(GameStateTest, DeletingTheGameStateEmptiesTheHandlerList) {
    TGameState::AddHandler(&mFirst);
    TGameState::AddHandler(nullptr);
    EXPECT_EQ(TGameState::GetHandlers().size(), 1u);
    TGameState::DeleteInstance();
    EXPECT_TRUE(TGameState::GetHandlers().empty());
    EXPECT_NE(TGameState::Get(), nullptr);  // a new one, while the application lives
}

TEST_F(GameStateTest, ScriptsReadAndWriteTheGameState) {
    mFirst.suffix = "!";
    TGameState::AddHandler(&mFirst);
    EXPECT_EQ(Run("_SetState('level', 'two') return GetState('level')"), "two!");
    EXPECT_EQ(Value("level"), "two");
    // Numbers are texts to the game state; what is neither gives "".
    EXPECT_EQ(Run("_SetState('score', 12.5) _SetState(7, {}) return GetState('score')"), "12.5!");
    EXPECT_EQ(Value("7"), "");
    EXPECT_EQ(Run("_SetState('++score') return GetState('score')"), "13!");
    EXPECT_EQ(Run("return GetState(nil)"), "!");
    EXPECT_EQ(Run("return QueryMuteGame(), QueryRestartMode(), QueryJumpToMenu()"),
              "false, false, false");
    mFirst.suffix = "";
    EXPECT_EQ(Run("_SetState('mute', '1') return QueryMuteGame()"), "true");
    mFirst.answer = true;
    EXPECT_EQ(Run("return QueryMuteGame(), QueryRestartMode(), QueryJumpToMenu()"),
              "true, true, true");
}

TEST_F(GameStateTest, TheFunctionsGoWithTheGameState) {
    ASSERT_EQ(Run("keptGet, keptSet, keptMute = GetState, _SetState, QueryMuteGame"), "");
    TGameState::DeleteInstance();
    EXPECT_EQ(Run("return GetState, _SetState, QueryMuteGame, QueryRestartMode, QueryJumpToMenu"),
              "nil, nil, nil, nil, nil");
    for (const char* call : {"keptGet('level')", "keptSet('level', '1')", "keptMute()"}) {
        SCOPED_TRACE(call);
        EXPECT_EQ(Run(call).rfind("error: ", 0), 0u);
    }
    // A game state made now binds them again, and a kept copy stays dead.
    mState = TGameState::Get();
    mState->SetState("level", "9");
    EXPECT_EQ(Run("return GetState('level')"), "9");
    EXPECT_EQ(Run("keptGet('level')").rfind("error: ", 0), 0u);
}

TEST_F(GameStateTest, AScriptRestoresAKeptFunction) {
    EXPECT_EQ(Run("local kept = GetState GetState = nil GetState = kept "
                  "_SetState('a', 'b') return GetState('a')"),
              "b");
}

TEST_F(GameStateTest, AGameStateBeforeTheScriptBindsWhenTheScriptComes) {
    TGameState::DeleteInstance();
    mManager->SetScript(nullptr);
    mState = TGameState::Get();
    ASSERT_NE(mState, nullptr);
    mState->SetState("level", "5");
    mManager->SetScript(new TWindowScript);
    L = mManager->GetScript()->GetState();
    EXPECT_EQ(Run("return GetState('level')"), "5");
    EXPECT_EQ(Run("_SetState('level', '6') return QueryRestartMode()"), "false");
    EXPECT_EQ(Value("level"), "6");
    // Replaced: the new script gets them too.
    mManager->SetScript(new TWindowScript);
    L = mManager->GetScript()->GetState();
    EXPECT_EQ(Run("return GetState('level')"), "6");
}

// A handler the portal adds while the command line is read, before the application object.
class EarlyHandlerTest : public ManagerTest {
protected:
    void SetUp() override {
        TGameState::AddHandler(&mEarly);
        ManagerTest::SetUp();
    }
    Journal mCalls;
    TRecordingHandler mEarly{"early", &mCalls};
};

TEST_F(EarlyHandlerTest, IsAskedOnceTheGameStateExists) {
    mEarly.answer = true;
    TGameState* state = TGameState::Get();
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(state->IsSuspended());
    EXPECT_EQ(mCalls, (Journal{"early.Suspend"}));
}

}  // namespace
}  // namespace uitest
