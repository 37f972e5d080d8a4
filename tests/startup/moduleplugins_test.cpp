// Module plug-ins through the whole start-up and teardown: the ".bvmod" files of the asset folder
// (the game-state test modules of tests/ui and a file that is no shared object) are offered to
// the game state, the whole one is registered, hears the start-up's values and every change and
// query of the game, and is let go (its handler destroyed, the module unloaded) at teardown.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "startupfixture.h"
#include "support/modulejournal.h"
#include "support/tempdir.h"
#include "ui/gamestate.h"

namespace startup_test {
namespace {

using Lines = std::vector<std::string>;

// The lines that start with the prefix.
Lines Starting(const Lines& lines, const std::string& prefix) {
    Lines found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
}

TEST_F(StartupTest, GameStateModulesAreLoadedAskedAndLetGo) {
    namespace fs = std::filesystem;
    testing_support::TModuleJournal journal;
    fs::copy_file(UI_GAMESTATE_MODULE, Asset("journal.bvmod"));
    fs::copy_file(UI_GAMESTATE_MODULE_NULL, Asset("nothing.bvmod"));
    fs::copy_file(UI_GAMESTATE_MODULE_NODESTROY, Asset("nodestroy.bvmod"));
    ASSERT_TRUE(testing_support::WriteFileBytes(Asset("text.bvmod"), "no shared object"));
    size_t handlers = 0;
    bool suspended = false, restart = false, menu = false, muted = false;
    str filtered;
    gGameBody = [&](TPlatform*, const char*) {
        handlers = TGameState::GetHandlers().size();
        TGameState* state = TGameState::Get();
        state->SetState("module.answer", "1");
        suspended = state->IsSuspended();
        restart = state->QueryRestartMode();
        menu = state->QueryJumpToMenu();
        muted = state->QueryMuteGame();
        filtered = state->GetStateValue("module.filter");
    };
    EXPECT_EQ(Run("-y"), kReturned);
    EXPECT_EQ(gGameMainCalls, 1);
    EXPECT_EQ(handlers, 1u);
    EXPECT_TRUE(suspended && restart && menu && muted);
    EXPECT_EQ(filtered, str("filtered"));
    EXPECT_TRUE(TGameState::GetHandlers().empty());

    Lines lines = journal.Take();
    // Three modules load (the text file is none): two are let go at once, the third at teardown.
    EXPECT_EQ(Starting(lines, "loaded").size(), 3u);
    EXPECT_EQ(Starting(lines, "unloaded").size(), 3u);
    EXPECT_EQ(Starting(lines, "CreateHandler").size(), 2u);
    EXPECT_EQ(Starting(lines, "HandleState cmdline=-y").size(), 1u);
    EXPECT_EQ(Starting(lines, "HandleState userdatadir=").size(), 1u);
    EXPECT_EQ(Starting(lines, "HandleState module.answer=1").size(), 1u);
    for (const char* query : {"QuerySuspend", "QueryRestartMode", "QueryJumpToMenu",
                              "QueryMuteGame", "FilterState module.filter="}) {
        EXPECT_EQ(Starting(lines, query).size(), 1u) << query;
    }
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
              (Lines{"DestroyHandler", "~handler", "unloaded"}));
}

}  // namespace
}  // namespace startup_test
