// Module plug-ins: TDllGameState over the test modules (gamestate_module.cc), what it refuses, and
// a module loaded through the window system's hook, registered, told of every change, asked every
// query and let go with the application object.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "managerfixture.h"
#include "platform/windowsystemhooks.h"
#include "support/modulejournal.h"
#include "support/tempdir.h"
#include "ui/gamestate.h"

namespace uitest {
namespace {

using Lines = std::vector<std::string>;

TEST(DllGameStateTest, ForwardsEveryCallToTheModulesHandler) {
    testing_support::TModuleJournal journal;
    {
        TDllGameState module;
        ASSERT_TRUE(module.Load(GAMESTATE_MODULE));
        EXPECT_EQ(journal.Take(), (Lines{"loaded", "CreateHandler"}));
        EXPECT_FALSE(module.HandleState("level", "2"));
        EXPECT_TRUE(module.HandleState("module.take", "x"));
        EXPECT_STREQ(module.FilterState("level", "2"), "2");
        EXPECT_STREQ(module.FilterState("module.filter", "2"), "filtered");
        EXPECT_FALSE(module.QuerySuspend());
        EXPECT_FALSE(module.HandleState("module.answer", "1"));
        EXPECT_TRUE(module.QueryRestartMode());
        EXPECT_TRUE(module.QueryJumpToMenu());
        EXPECT_TRUE(module.QueryMuteGame());
        EXPECT_TRUE(module.QuerySuspend());
        EXPECT_EQ(
            journal.Take(),
            (Lines{"HandleState level=2", "HandleState module.take=x", "FilterState level=2",
                   "FilterState module.filter=2", "QuerySuspend", "HandleState module.answer=1",
                   "QueryRestartMode", "QueryJumpToMenu", "QueryMuteGame", "QuerySuspend"}));
    }
    EXPECT_EQ(journal.Take(), (Lines{"DestroyHandler", "~handler", "unloaded"}));
}

TEST(DllGameStateTest, RefusesWhatIsNoWholePlugin) {
    testing_support::TempDir dir;
    const std::string text = dir.File("text.bvmod");
    ASSERT_TRUE(testing_support::WriteFileBytes(text, "not a shared object"));
    struct Case {
        std::string path;
        Lines onLoad;  // the module's lines while it loads, and when it goes
    };
    const Case cases[] = {
        {"", {}},
        {dir.File("missing.bvmod"), {}},
        {text, {}},
        // Both exports are looked up before the handler is asked for.
        {GAMESTATE_MODULE_NODESTROY, {"loaded", "unloaded"}},
        {GAMESTATE_MODULE_NULL, {"loaded", "CreateHandler", "unloaded"}},
    };
    testing_support::TModuleJournal journal;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto module = std::make_unique<TDllGameState>();
        EXPECT_FALSE(module->Load(c.path.c_str()));
        // Without a handler: nothing taken, the value given, no query true.
        EXPECT_FALSE(module->HandleState("module.take", "1"));
        EXPECT_STREQ(module->FilterState("module.filter", "v"), "v");
        EXPECT_FALSE(module->QueryRestartMode() || module->QueryJumpToMenu() ||
                     module->QueryMuteGame() || module->QuerySuspend());
        module.reset();
        EXPECT_EQ(journal.Take(), c.onLoad);
    }
}

class PluginHookTest : public ManagerTest {
protected:
    testing_support::TModuleJournal mJournal;
};

TEST_F(PluginHookTest, ALoadedModuleHearsTheGameStateUntilTheApplicationGoes) {
    EXPECT_FALSE(windowsystemhooks::LoadPlugin(GAMESTATE_MODULE_NULL));
    EXPECT_FALSE(windowsystemhooks::LoadPlugin(GAMESTATE_MODULE_NODESTROY));
    EXPECT_TRUE(TGameState::GetHandlers().empty());
    ASSERT_TRUE(windowsystemhooks::LoadPlugin(GAMESTATE_MODULE));
    ASSERT_EQ(TGameState::GetHandlers().size(), 1u);
    mJournal.Take();

    TGameState* state = TGameState::Get();
    state->SetState("level", "3");
    state->SetState("module.take", "1");
    EXPECT_EQ(state->GetStateValue("module.filter"), str("filtered"));
    EXPECT_FALSE(state->IsSuspended());
    state->SetState("module.answer", "1");
    EXPECT_TRUE(state->QueryRestartMode());
    EXPECT_TRUE(state->QueryJumpToMenu());
    EXPECT_TRUE(state->QueryMuteGame());
    EXPECT_TRUE(state->IsSuspended());
    EXPECT_EQ(mJournal.Take(),
              (Lines{"HandleState level=3", "HandleState module.take=1",
                     "FilterState module.filter=", "QuerySuspend", "HandleState module.answer=1",
                     "QueryRestartMode", "QueryJumpToMenu", "QueryMuteGame", "QuerySuspend"}));

    mApp.reset();
    EXPECT_EQ(mJournal.Take(), (Lines{"DestroyHandler", "~handler", "unloaded"}));
    EXPECT_TRUE(TGameState::GetHandlers().empty());
}

}  // namespace
}  // namespace uitest
