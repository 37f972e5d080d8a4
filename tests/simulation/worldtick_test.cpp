// The world's tick on small worlds made by the test: the clock, ageing, the timers, autosave,
// music, the game over, the parked selection, the periodic hyena roll and pause.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulation/itemkind.h"
#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

class TickTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        DefineCreature("BasicPuff");
        GlobalData& params = world.GetGlobalData();
        params.deathAgeMin = 90;
        params.deathAgeMax = 90;
        params.yearLength = 600;
        params.cycleLength = 100;
        params.autosavePeriod = 0;
    }
    void Tick() { world.Update(world.GetPlay().currentTime + 1); }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i)
            Tick();
    }
};

TEST_F(TickTest, TheSameTimeTwiceStillCountsOneTick) {
    world.Update(10);
    EXPECT_EQ(world.GetPlay().currentTime, 10u);
    world.GetPlay().globalTimer = 5;
    world.GetPlay().globalEvent = 12;
    world.Update(10);
    EXPECT_EQ(world.GetPlay().currentTime, 10u);
    EXPECT_EQ(world.GetPlay().globalTimer, 4);
    world.Update(3);  // back in time: one tick all the same
    EXPECT_EQ(world.GetPlay().currentTime, 3u);
    EXPECT_EQ(world.GetPlay().globalTimer, 3);
    world.Update(6);  // three ticks at once
    EXPECT_EQ(world.GetPlay().globalTimer, 0);
    EXPECT_EQ(world.GetPlay().globalEvent, 0);
}

TEST_F(TickTest, EveryTickQueuesTutorialEventOne) {
    Ticks(3);
    EXPECT_EQ(messages.Count("QueueTutorialEvent 1"), 3);
}

TEST_F(TickTest, TheCycleRunsEveryCycleLengthWithoutCreaturesToo) {
    world.Update(99);
    EXPECT_EQ(world.GetPlay().lastCycleTime, 0u);
    world.Update(100);
    EXPECT_EQ(world.GetPlay().lastCycleTime, 100u);
    world.Update(150);
    EXPECT_EQ(world.GetPlay().lastCycleTime, 100u);
    world.Update(230);
    EXPECT_EQ(world.GetPlay().lastCycleTime, 230u);
}

TEST_F(TickTest, AgeingByYearLengthAndSpeed) {
    GCreature* creature = MakeCreature("BasicPuff");
    Ticks(600);
    EXPECT_NEAR(creature->GetAge(), 1.0f, 1e-3f);

    world.GetGlobalData().speedMults[2] = 2.0f;  // "SpeedMultFast": the year takes half as long
    world.GetPlay().speedLevel = 2;
    Ticks(300);
    EXPECT_NEAR(creature->GetAge(), 2.0f, 1e-3f);

    world.GetPlay().speedLevel = 7;        // no such level: the normal factor
    world.GetGlobalData().yearLength = 0;  // no year: ages as 100 ticks
    Ticks(100);
    EXPECT_NEAR(creature->GetAge(), 3.0f, 1e-3f);
    world.GetGlobalData().yearLength = -20;
    Ticks(50);
    EXPECT_NEAR(creature->GetAge(), 3.5f, 1e-3f);

    // A jump of 120 ticks ages by 120 ticks.
    world.GetGlobalData().yearLength = 600;
    world.Update(world.GetPlay().currentTime + 120);
    EXPECT_NEAR(creature->GetAge(), 3.7f, 1e-3f);
}

TEST_F(TickTest, PastItsDeathAgeACreatureWeakensThenAsksForTheGraveyard) {
    world.GetGlobalData().deathAgeMin = 0;
    world.GetGlobalData().deathAgeMax = 0;
    GCreature* old = MakeCreature("BasicPuff");
    GCreature* next = MakeCreature("BasicPuff");
    old->GetCreatureData()->startHealth = 100;
    old->GetCreatureData()->currentHealth = 25;
    next->GetCreatureData()->currentHealth = 100;
    // Busy, so the idle pass asks nothing for them.
    simtest::AddTask(world.GetSchedule(), old, nullptr, 100000, kTaskRest);
    simtest::AddTask(world.GetSchedule(), next, nullptr, 100000, kTaskRest);
    starters.calls.clear();

    Tick();  // 25 - 10
    EXPECT_EQ(old->GetCreatureData()->currentHealth, 15);
    EXPECT_EQ(next->GetCreatureData()->currentHealth, 90);
    Tick();
    Tick();  // 15 - 10 - 10, raised to 0
    EXPECT_EQ(old->GetCreatureData()->currentHealth, 0);
    EXPECT_TRUE(starters.calls.empty());

    const float nextAge = next->GetAge();
    Tick();  // without health: the graveyard, and nobody after it ages this tick
    ASSERT_EQ(starters.calls.size(), 1u);
    EXPECT_EQ(starters.calls[0].kind, kTaskGoToGraveyard);
    EXPECT_EQ(starters.calls[0].subject, old);
    EXPECT_EQ(starters.calls[0].object, nullptr);
    EXPECT_EQ(next->GetAge(), nextAge);
    EXPECT_EQ(next->GetCreatureData()->currentHealth, 70);

    // While the ark is full nobody weakens.
    world.GetGlobalData().SetEvent(30, true);
    Tick();
    EXPECT_EQ(next->GetCreatureData()->currentHealth, 70);
}

TEST_F(TickTest, ACreatureOnItsWayToTheGraveyardDoesNotAge) {
    GCreature* creature = MakeCreature("BasicPuff");
    simtest::AddTask(world.GetSchedule(), creature, nullptr, 10000, kTaskGoToGraveyard);
    Ticks(60);
    EXPECT_EQ(creature->GetAge(), 0.0f);
}

TEST_F(TickTest, AnEmptyWaterFallFillsUp) {
    DefineLocation("Water Fall", {Record(kResourceWater, 0, 40)});
    GLocation* fall = MakeLocation("Water Fall");
    world.BindLocations();
    Tick();
    EXPECT_EQ(fall->GetResourceQuantity(kResourceWater), 40);
    fall->SetQuantity(kResourceWater, 1);
    Tick();
    EXPECT_EQ(fall->GetResourceQuantity(kResourceWater), 1);
}

TEST_F(TickTest, GlobalTimersFireTheirEventsOnce) {
    GWorldPlay& play = world.GetPlay();
    play.globalTimer = 2;
    play.globalEvent = 12;
    play.globalTimer2 = 1;
    play.globalEvent2 = 13;
    Tick();
    EXPECT_EQ(play.globalEvent, 12);
    EXPECT_EQ(play.globalEvent2, 0);  // fired
    Tick();
    EXPECT_EQ(play.globalEvent, 0);
    EXPECT_EQ(play.globalTimer, 0);
}

TEST_F(TickTest, TheSnowDoesNotMeltDuringCatchUpAndWaitsForTheWaterTank) {
    GWorldPlay& play = world.GetPlay();
    play.simulating = true;
    play.globalTimer = 3;
    play.globalEvent = 5;
    Ticks(10);
    EXPECT_EQ(play.globalTimer, 3);
    EXPECT_EQ(play.globalEvent, 5);

    play.simulating = false;
    play.globalTimer2 = 1;
    play.globalEvent2 = 5;
    Tick();  // runs out while the tank is not built: again in 60
    EXPECT_EQ(play.globalTimer2, 60);
    EXPECT_EQ(play.globalEvent2, 5);
    world.GetGlobalData().SetEvent(2, true);
    Ticks(59);
    EXPECT_EQ(play.globalTimer2, 1);
    Tick();
    EXPECT_EQ(play.globalEvent2, 0);
}

TEST_F(TickTest, TheTutorialEventWaitsForItsTimer) {
    GWorldPlay& play = world.GetPlay();
    play.tutorialTimer = 2;
    play.tutorialEvent = 14;
    Tick();
    EXPECT_EQ(messages.Count("QueueTutorialEvent 14"), 0);
    Tick();
    EXPECT_EQ(messages.Count("QueueTutorialEvent 14"), 1);
    EXPECT_EQ(play.tutorialEvent, 0);
    Ticks(3);
    EXPECT_EQ(messages.Count("QueueTutorialEvent 14"), 1);
}

TEST_F(TickTest, TheMessageLineClearsWhenItsCountdownEnds) {
    world.GetPlay().messageCountdown = 2;
    Tick();
    EXPECT_EQ(messages.Count("ShowMessage "), 0);
    Tick();
    EXPECT_EQ(messages.Count("ShowMessage "), 1);
    Ticks(2);
    EXPECT_EQ(messages.Count("ShowMessage "), 1);
}

TEST_F(TickTest, AutosaveOnEveryMultipleOfItsPeriodOnce) {
    Ticks(10);
    EXPECT_EQ(messages.Count("SaveGame"), 0);  // period 0: never
    world.GetGlobalData().autosavePeriod = 5;
    world.Update(15);
    EXPECT_EQ(messages.Count("SaveGame"), 1);
    world.Update(15);  // the same multiple again
    EXPECT_EQ(messages.Count("SaveGame"), 1);
    world.Update(19);
    world.Update(20);
    EXPECT_EQ(messages.Count("SaveGame"), 2);
    // Not while the world catches up.
    world.GetPlay().simulating = true;
    world.Update(25);
    EXPECT_EQ(messages.Count("SaveGame"), 2);
}

TEST_F(TickTest, TheCelebrationHasItsTrack) {
    GCreature* creature = MakeCreature("BasicPuff");
    Tick();
    EXPECT_TRUE(music.played.empty());
    GScheduleTask* party =
        simtest::AddTask(world.GetSchedule(), creature, nullptr, 1000, kTaskCelebrate);
    Tick();
    Tick();
    EXPECT_EQ(music.played, (std::vector<int>{6}));
    world.GetSchedule().RemoveTask(party, false);
    Tick();
    Tick();
    EXPECT_EQ(music.played, (std::vector<int>{6, 7}));
    EXPECT_TRUE(music.playedAsTheWorldDoes);
}

TEST_F(TickTest, AGameOverWaitsForTheViewsAndThePlayScreenOnTop) {
    GWorldPlay& play = world.GetPlay();
    play.gameOverPending = true;
    Tick();
    EXPECT_EQ(messages.Count("GameOver"), 0);  // the views have not run
    play.viewsReady = true;
    windows.topModal = "options";
    Ticks(3);
    EXPECT_EQ(messages.Count("GameOver"), 0);
    EXPECT_TRUE(play.gameOverPending);
    windows.topModal = "game";
    Tick();
    EXPECT_EQ(messages.Count("GameOver"), 1);
    EXPECT_FALSE(play.gameOverPending);
    Tick();
    EXPECT_EQ(messages.Count("GameOver"), 1);
}

TEST_F(TickTest, WithoutScreensTheGameOverComesAtOnce) {
    SetWorldWindows(nullptr);
    world.GetPlay().gameOverPending = true;
    world.GetPlay().viewsReady = true;
    Tick();
    EXPECT_EQ(messages.Count("GameOver"), 1);
}

TEST_F(TickTest, TheParkedCreaturesSwapEverySixtyTicks) {
    GWorldPlay& play = world.GetPlay();
    play.parkedA = 2;
    play.parkedB = -1;
    play.parkedCountdown = 60;
    Ticks(59);
    EXPECT_EQ(play.parkedA, 2);
    Tick();
    EXPECT_EQ(play.parkedA, -1);
    EXPECT_EQ(play.parkedB, 2);
    EXPECT_EQ(play.parkedCountdown, 60);
    Ticks(60);
    EXPECT_EQ(play.parkedA, 2);
    EXPECT_EQ(play.parkedB, -1);
    play.currentTutorialStep = 25;  // they stay
    Ticks(60);
    EXPECT_EQ(play.parkedA, 2);
    EXPECT_EQ(play.parkedCountdown, 60);
    // Nothing parked: nothing counts.
    play.parkedCountdown = -1;
    Ticks(5);
    EXPECT_EQ(play.parkedCountdown, -1);
}

TEST_F(TickTest, TheHyenaCountdownCountsTicks) {
    world.GetPlay().hyenaCountdown = 2;
    world.Update(50);  // one per tick, not by dt
    EXPECT_EQ(world.GetPlay().hyenaCountdown, 1);
    Tick();
    EXPECT_EQ(world.GetPlay().hyenaCountdown, 0);
    Tick();
    EXPECT_EQ(world.GetPlay().hyenaCountdown, 0);
}

TEST_F(TickTest, DuringCatchUpTheTickEndsAfterTheHyenaCountdown) {
    world.GetPlay().simulating = true;
    world.GetPlay().messageCountdown = 1;
    world.GetPlay().parkedCountdown = 1;
    Tick();
    EXPECT_EQ(world.GetPlay().messageCountdown, 1);
    EXPECT_EQ(world.GetPlay().parkedCountdown, 1);
}

// --- The periodic hyena roll.

class HyenaRollTest : public TickTest {
protected:
    void SetUp() override {
        TickTest::SetUp();
        DefineLocation("Hyena Pit");
        MakeLocation("Hyena Pit");
        world.BindLocations();
        world.GetGlobalData().SetTutorialEventFlag(28, true);
        world.GetGlobalData().monstersProbability = 100;
    }
    // The draws of a roll that goes on to the wave, on a copy of the world's generator.
    struct Draws {
        int roll;
        std::vector<int> chances;
    };
    Draws Expected(int waveSize) {
        TRandom copy = world.GetRandom();
        Draws draws;
        draws.roll = static_cast<int>(copy.NextDouble() * 100.0);
        for (int i = 0; i < waveSize; ++i)
            draws.chances.push_back(static_cast<int>(copy.NextDouble() * 100.0));
        return draws;
    }
};

TEST_F(HyenaRollTest, TheWaveIsOneHyenaForEightCreaturesWithTheChanceOfTheEvents) {
    for (int i = 0; i < 17; ++i)
        MakeCreature("BasicPuff");
    const struct {
        int event;
        int chance;
    } rows[] = {{0, 0}, {5, 50}, {20, 80}};
    for (const auto& row : rows) {
        if (row.event != 0) world.GetGlobalData().SetEvent(row.event, true);
        const Draws draws = Expected(2);
        world.RollHyenas();
        EXPECT_EQ(world.GetPlay().hyenaWaveSize, 2);
        int count = 0;
        for (int drawn : draws.chances)
            count += drawn < row.chance ? 1 : 0;
        EXPECT_EQ(world.GetPlay().hyenaWaveCount, count) << row.event;
    }
}

TEST_F(HyenaRollTest, RowsThatRollNothing) {
    MakeCreature("BasicPuff");
    const TRandom before = world.GetRandom();
    const auto untouched = [&] {
        TRandom a = before, b = world.GetRandom();
        return a.Next() == b.Next() && world.GetPlay().hyenaWaveSize == 0;
    };
    world.GetGlobalData().SetTutorialEventFlag(28, false);
    world.RollHyenas();
    EXPECT_TRUE(untouched());
    world.GetGlobalData().SetTutorialEventFlag(28, true);
    world.GetPlay().currentTutorialStep = 9;
    world.RollHyenas();
    EXPECT_TRUE(untouched());
    world.GetPlay().currentTutorialStep = 0;
    world.GetGlobalData().SetEvent(30, true);
    world.RollHyenas();
    EXPECT_TRUE(untouched());
    world.GetGlobalData().SetEvent(30, false);

    // A probability of 0 rolls but never comes.
    world.GetGlobalData().monstersProbability = 0;
    world.RollHyenas();
    EXPECT_FALSE(untouched());
    EXPECT_EQ(world.GetPlay().hyenaWaveSize, 0);
    // With the pit gone nothing comes either.
    world.GetGlobalData().monstersProbability = 100;
    world.QueueForDeletion(world.GetPlace(GWorld::kHyenaPit));
    world.RollHyenas();
    EXPECT_EQ(world.GetPlay().hyenaWaveSize, 0);
}

TEST_F(HyenaRollTest, TheRollComesEveryPeriod) {
    MakeCreature("BasicPuff");
    world.GetGlobalData().monstersPeriod = 10;
    world.Update(9);
    EXPECT_EQ(world.GetPlay().hyenaWaveSize, 0);
    world.Update(10);
    EXPECT_EQ(world.GetPlay().hyenaWaveSize, 1);
    EXPECT_EQ(world.GetPlay().lastPeriodicTime, 10u);
}

TEST_F(HyenaRollTest, DuringCatchUpHalfTheRollsAreSkipped) {
    MakeCreature("BasicPuff");
    world.GetPlay().simulating = true;
    int rolled = 0;
    for (int i = 0; i < 40; ++i) {
        TRandom copy = world.GetRandom();
        const bool skipped = static_cast<int>(copy.NextDouble() * 2.0) == 1;
        world.GetPlay().hyenaWaveSize = 0;
        world.RollHyenas();
        EXPECT_EQ(world.GetPlay().hyenaWaveSize, skipped ? 0 : 1);
        rolled += skipped ? 0 : 1;
    }
    EXPECT_GT(rolled, 5);
    EXPECT_LT(rolled, 35);
}

// --- Pause and speed.

TEST_F(TickTest, PauseStopsTheViewsAndIsRemembered) {
    TPrefs& prefs = UsePrefs();
    world.SetPaused(true);
    EXPECT_TRUE(world.GetPlay().paused);
    EXPECT_EQ(world.GetSpeedFactor(), 0.0f);
    EXPECT_EQ(prefs.GetInt("game_paused", -1, -1), 1);

    const struct {
        int stored;
        int level;
    } rows[] = {{0, 0}, {2, 2}, {1, 1}, {3, 1}, {-1, 1}};
    for (const auto& row : rows) {
        prefs.SetInt("gamespeedlevel", row.stored, -1, false);
        world.GetGlobalData().speedCoef = 3.0f;
        world.SetPaused(false);
        EXPECT_EQ(world.GetPlay().speedLevel, row.level) << row.stored;
        EXPECT_EQ(world.GetGlobalData().speedCoef, 1.0f);
        EXPECT_EQ(world.GetSpeedFactor(), 1.0f);
        EXPECT_EQ(prefs.GetInt("game_paused", -1, -1), 0);
    }
    // The current player's values: "curuser" names the player.
    prefs.SetInt("curuser", 2, -1, false);
    prefs.SetInt("gamespeedlevel", 2, 2, false);
    world.SetPaused(false);
    EXPECT_EQ(world.GetPlay().speedLevel, 2);
    EXPECT_EQ(prefs.GetInt("game_paused", -1, 2), 0);
}

TEST_F(TickTest, SpeedValuesByLevel) {
    GlobalData& params = world.GetGlobalData();
    params.speedMults[0] = 0.5f;
    params.speedMults[1] = 1.0f;
    params.speedMults[2] = 3.0f;
    const struct {
        int level;
        float value;
    } rows[] = {{0, 0.5f}, {1, 1.0f}, {2, 3.0f}, {3, 1.0f}, {-1, 1.0f}};
    for (const auto& row : rows) {
        world.GetPlay().speedLevel = static_cast<int16_t>(row.level);
        EXPECT_EQ(world.GetSpeedValue(), row.value) << row.level;
    }
}

TEST_F(TickTest, SmallAnswers) {
    EXPECT_TRUE(world.IsCounterClear());
    world.GetGlobalData().lionsNum = 1;
    EXPECT_FALSE(world.IsCounterClear());
    world.GetGlobalData().lionsNum = -3;
    EXPECT_TRUE(world.IsCounterClear());

    EXPECT_FALSE(world.IsLastPairReady());
    GResourceRecord wood = Record(kItemWood, 0, 0);
    DefineLocation("Ark Materials 4", {wood, Record(kResourceBuild, 1, 5)});
    MakeLocation("Ark Materials 4");
    world.BindLocations();
    EXPECT_FALSE(world.IsLastPairReady());  // event 38 is not set
    world.GetGlobalData().SetEvent(38, true);
    EXPECT_TRUE(world.IsLastPairReady());
    world.GetLocations().back()->SetQuantity(kResourceBuild, 0);
    EXPECT_FALSE(world.IsLastPairReady());
}

}  // namespace
}  // namespace worldtest
