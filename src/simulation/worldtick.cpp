// The world's tick (GWorld::Update) in its fixed order, and what it drives: ageing, the timers of
// global events, the tutorial, the treasure map, the hidden object and the parked selection, the
// graves and the deletion of objects that left the world, the periodic hyena roll, autosave,
// music and the game over. Pause and game speed are here too.
//
// Numbers that come from the tuning file or a saved world are taken with care: timers subtract
// with saturation, a year length below 1 counts as 100 (ageing never divides by zero), and a
// view that is missing makes the step that needs it do nothing.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "gv/gvobject.h"
#include "simulation/data/saturate.h"
#include "simulation/itemkind.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"
#include "simulation/worldkeys.h"
#include "simulation/worldmusic.h"
#include "simulation/worldpass.h"
#include "simulation/worldwindows.h"

using worldpass::CreatureViewOf;
using worldpass::TaskKindOf;

namespace {

// Global events and tutorial flags the tick reads.
constexpr int kEventWaterTankBuilt = 2;
constexpr int kEventSnowMelted = 5;
constexpr int kEventHyenasBoosted = 20;
constexpr int kEventArkFull = 30;
constexpr int kEventInfectTumrot = 43;
constexpr int kTutorialTreasureMap = 18;
constexpr int kTutorialTreasure = 20;
constexpr int kTutorialHyenaShown = 21;
constexpr int kTutorialHyenasRolled = 28;
constexpr int kTutorialHyena = 32;
// The tutorial step during which the parked creatures stay where they are.
constexpr int kStepParkedStays = 25;
constexpr int kDiseaseTumrot = 2;
// A snow-melt timer that runs out early waits this long again.
constexpr int kSnowMeltRetry = 60;
constexpr int kParkedPeriod = 60;
// A year length below 1 would divide ageing by zero.
constexpr int kDefaultYearLength = 100;

// Where the first hyenas show themselves to the player.
const TVec2 kTutorialHyenaStart(1520.0f, 150.0f);
const TVec2 kTutorialHyenaGoal(1320.0f, 330.0f);
const TVec2 kShownHyenaStart(1860.0f, 170.0f);
const TVec2 kShownHyenaGoal(1620.0f, 330.0f);

// Whether a grave's view has faded: no view, no "body", or a "body" that shows "hidden".
bool HasFaded(const GGrave& grave) {
    const GVWorldObject* view = grave.GetView();
    const GVObject* sprite = view != nullptr ? view->GetSprite() : nullptr;
    if (sprite == nullptr) return true;
    const GVObject* body = sprite->GetChild("body");
    return body == nullptr || body->GetStateId() == WorldKeys().hidden;
}

}  // namespace

void GWorld::Update(uint32_t newTime) {
    GetMessageListener().QueueTutorialEvent(1);

    int dt = static_cast<int32_t>(newTime - mPlay.currentTime);
    if (dt < 1) dt = 1;
    mPlay.currentTime = newTime;
    const uint64_t now = mPlay.currentTime;

    RunIdlePass();
    const uint64_t cycleLength = static_cast<uint32_t>(mGlobalData.cycleLength);
    if (now >= mPlay.lastCycleTime + cycleLength && now != mPlay.lastCycleTime) {
        mPlay.lastCycleTime = mPlay.currentTime;
        RunFeedingCycle();
    }
    AgeCreatures(dt);
    if (GLocation* fall = mPlaces[kWaterFall]; fall != nullptr) {
        if (fall->GetResourceQuantity(kResourceWater) < 1)
            fall->SetQuantity(kResourceWater, fall->GetMaxQuantity(kResourceWater));
    }
    if (!mPlay.simulating) RunThreatPass();
    mSchedule.Update(mPlay.currentTime, mPlay.simulating);

    const int64_t periodicDue =
        static_cast<int64_t>(mPlay.lastPeriodicTime) + mGlobalData.monstersPeriod;
    if (static_cast<int64_t>(now) >= periodicDue && now != mPlay.lastPeriodicTime) {
        mPlay.lastPeriodicTime = mPlay.currentTime;
        RollHyenas();
    }
    RunGlobalTimers(dt);
    if (mPlay.hyenaCountdown > 0 && --mPlay.hyenaCountdown == 0) SpawnHyena();
    if (mPlay.simulating) return;

    CountDownGraves();
    DeleteQueuedObjects();
    if (mPlay.messageCountdown > 0 && --mPlay.messageCountdown == 0)
        GetMessageListener().ShowMessage(str());
    if (mPlay.tutorialTimer > 0 && mPlay.tutorialEvent != 0) {
        if (--mPlay.tutorialTimer < 1) {
            RunTutorialEvent(mPlay.tutorialEvent);
            mPlay.tutorialEvent = 0;
        }
    }
    if (mGlobalData.IsTutorialEventSet(kTutorialTreasure)) RunTreasureTimers();
    RunHiddenObjectTimers();
    RunParkedSelection();

    const int autosave = mGlobalData.autosavePeriod;
    if (autosave > 0 && mPlay.currentTime % static_cast<uint32_t>(autosave) == 0 &&
        mPlay.lastAutoSaveTime != mPlay.currentTime) {
        mPlay.lastAutoSaveTime = mPlay.currentTime;
        GetMessageListener().SaveGame();
    }

    GWorldMusic& music = WorldMusic();
    const bool celebrating = mSchedule.CountTasksOfKind(kTaskCelebrate) > 0;
    const bool celebrationPlays = music.IsCurrentTrack(GWorldMusic::kCelebrationTrack);
    if (celebrating && !celebrationPlays) {
        music.PlayMusic(GWorldMusic::kCelebrationTrack, true, true, false);
    } else if (!celebrating && celebrationPlays) {
        music.PlayMusic(GWorldMusic::kGameTrack, true, true, false);
    }

    if (mPlay.gameOverPending && mPlay.viewsReady &&
        WorldWindows().GetTopModalName() == str("game")) {
        GetMessageListener().GameOver();
        mPlay.gameOverPending = false;
    }
}

void GWorld::AgeCreatures(int dt) {
    const int yearLength =
        mGlobalData.yearLength >= 1 ? mGlobalData.yearLength : kDefaultYearLength;
    const float year = static_cast<float>(yearLength) / GetSpeedValue();
    // By position, the length read again: the graveyard walk may take a creature away at once.
    for (size_t i = 0; i < mCreatures.size(); ++i) {
        GCreature* creature = mCreatures[i].get();
        if (TaskKindOf(creature) == kTaskGoToGraveyard) continue;
        const float age = static_cast<float>(dt) / year + creature->GetAge();
        creature->SetAge(age);
        if (TruncateToInt(age) < creature->GetDeathAge() || IsEventSet(kEventArkFull)) continue;
        GCreatureData* data = creature->GetCreatureData();
        if (data == nullptr) continue;
        if (data->currentHealth < 1) {
            StartTask(kTaskGoToGraveyard, creature, nullptr);
            return;
        }
        const int health = data->currentHealth - data->startHealth / 10;
        data->currentHealth = SaturateToShort(std::max(health, 0));
    }
}

void GWorld::FireTimedEvent(int id) {
    if (id == kEventInfectTumrot) {
        InfectCreature(kDiseaseTumrot, false);
    } else {
        FireWorldEvent(id);
    }
}

void GWorld::RunGlobalTimers(int dt) {
    if (mPlay.globalTimer > 0 && mPlay.globalEvent != 0) {
        // The snow does not melt while the world catches up.
        if (!(mPlay.simulating && mPlay.globalEvent == kEventSnowMelted))
            mPlay.globalTimer = SaturatingAdd(mPlay.globalTimer, -dt);
        if (mPlay.globalTimer < 1) {
            FireTimedEvent(mPlay.globalEvent);
            mPlay.globalEvent = 0;
        }
    }
    if (mPlay.globalTimer2 > 0 && mPlay.globalEvent2 != 0) {
        mPlay.globalTimer2 = SaturatingAdd(mPlay.globalTimer2, -dt);
        if (mPlay.globalTimer2 < 1 && mPlay.globalEvent2 == kEventSnowMelted &&
            (mPlay.simulating || !IsEventSet(kEventWaterTankBuilt)))
            mPlay.globalTimer2 = kSnowMeltRetry;
        if (mPlay.globalTimer2 < 1) {
            FireTimedEvent(mPlay.globalEvent2);
            mPlay.globalEvent2 = 0;
        }
    }
}

void GWorld::CountDownGraves() {
    for (size_t i = 0; i < mGraves.size(); ++i) {
        GGrave* grave = mGraves[i].get();
        // Only a grave that has started to fade leaves, and the pass stops there.
        if (grave->CountDown() == -1 && HasFaded(*grave)) {
            QueueForDeletion(grave);
            return;
        }
    }
}

void GWorld::RunTreasureTimers() {
    if (mPlay.treasureSearchState == 0) {
        if (!mGlobalData.IsTutorialEventSet(kTutorialTreasureMap)) return;
        if (mPlay.treasureTimer >= 1) --mPlay.treasureTimer;
        if (mPlay.treasureTimer < 1 && mSchedule.CountTasksOfKind(kTaskExplore) == 0) {
            mPlay.treasureSearchState = 2;
            StepTreasureMap();
        }
    } else if (mPlay.treasureSearchState == 2) {
        if (mPlay.treasureTimer >= 1) --mPlay.treasureTimer;
        if (mPlay.treasureTimer < 1) {
            mPlay.treasureSearchState = 0;
            StepTreasureMap();
        }
    }
}

void GWorld::RunHiddenObjectTimers() {
    if (mPlay.hiddenObjectState == 0) {
        if (mPlay.hiddenObjectTimer >= 1) --mPlay.hiddenObjectTimer;
        if (mPlay.hiddenObjectTimer < 1 && mSchedule.CountTasksOfKind(kTaskGettingBonus) == 0 &&
            mPlaces[kBonus] != nullptr) {
            // The bonus hides: it leaves the world (the binding forgets it) and another comes.
            QueueForDeletion(mPlaces[kBonus]);
            mPlay.hiddenObjectState = 1;
            StepHiddenObject();
        }
    } else if (mPlay.hiddenObjectState == 1) {
        if (mPlay.hiddenObjectTimer >= 1) --mPlay.hiddenObjectTimer;
        if (mPlay.hiddenObjectTimer < 1) {
            mPlay.hiddenObjectState = 0;
            StepHiddenObject();
        }
    }
}

void GWorld::RunParkedSelection() {
    if (mPlay.parkedCountdown <= 0 || --mPlay.parkedCountdown >= 1) return;
    if (mPlay.currentTutorialStep != kStepParkedStays) {
        if (mPlay.parkedA < 0) {
            mPlay.parkedA = mPlay.parkedB;
            mPlay.parkedB = -1;
        } else {
            mPlay.parkedB = mPlay.parkedA;
            mPlay.parkedA = -1;
        }
    }
    mPlay.parkedCountdown = kParkedPeriod;
}

void GWorld::RunTutorialEvent(int id) {
    if (id == kTutorialHyena) {
        SpawnTutorialHyena();
    } else {
        GetMessageListener().QueueTutorialEvent(id);
    }
}

void GWorld::SpawnTutorialHyena() {
    GLocation* pit = mPlaces[kHyenaPit];
    if (static_cast<int>(mMonsters.size()) >= mGlobalData.monstersMaxCount || pit == nullptr ||
        mGlobalData.IsTutorialEventSet(kTutorialHyena))
        return;
    mGlobalData.SetTutorialEventFlag(kTutorialHyena, true);
    const GVWorldObject* pitView = pit->GetView();
    const int16_t x = pitView != nullptr ? SaturateToShort(TruncateToInt(pitView->GetX())) : -1;
    const int16_t y = pitView != nullptr ? SaturateToShort(TruncateToInt(pitView->GetY())) : -1;
    if (!CreateMonster("BasicHyena", x, y)) return;
    GMonster* hyena = mMonsters.back().get();
    CancelTasks(hyena);
    if (GVWorldCreature* view = CreatureViewOf(hyena)) {
        view->SetPosition(kTutorialHyenaStart);
        view->SetPath({kTutorialHyenaGoal});
    }
    GetMessageListener().QueueTutorialEvent(kTutorialHyenaShown);
}

void GWorld::RollHyenas() {
    if (!mGlobalData.IsTutorialEventSet(kTutorialHyenasRolled) || mPlay.currentTutorialStep != 0 ||
        IsEventSet(kEventArkFull))
        return;
    // Half of the rolls are skipped while the world catches up.
    if (mPlay.simulating && static_cast<int>(mRandom.NextDouble() * 2.0) == 1) return;
    const auto roll = static_cast<int16_t>(mRandom.NextDouble() * 100.0);
    if (roll >= mGlobalData.monstersProbability || mPlaces[kHyenaPit] == nullptr) return;

    mPlay.hyenaWaveSize = SaturateToShort(std::max<size_t>(mCreatures.size() >> 3, 1));
    mPlay.hyenaWaveCount = 0;
    int chance = 0;
    if (IsEventSet(kEventHyenasBoosted)) {
        chance = 80;
    } else if (IsEventSet(kEventSnowMelted)) {
        chance = 50;
    }
    for (int i = 0; i < mPlay.hyenaWaveSize; ++i) {
        if (static_cast<int>(mRandom.NextDouble() * 100.0) < chance) ++mPlay.hyenaWaveCount;
    }
    SpawnHyena();
    if (!mMonsters.empty() && !mGlobalData.IsTutorialEventSet(kTutorialHyenaShown))
        ShowLastMonster();
}

void GWorld::ShowLastMonster() {
    GMonster* monster = mMonsters.back().get();
    CancelTasks(monster);
    if (GVWorldCreature* view = CreatureViewOf(monster)) {
        view->SetPosition(kShownHyenaStart);
        view->GoTo(kShownHyenaGoal, 0.0f);
    }
    SelectObject(monster);
    GetMessageListener().QueueTutorialEvent(kTutorialHyenaShown);
}

void GWorld::SetPaused(bool paused) {
    mPlay.paused = paused;
    if (paused) {
        mSpeedFactor = 0.0f;
    } else {
        const int level = mPrefs.GetInt("gamespeedlevel", 1);
        mPlay.speedLevel = level == 0 || level == 2 ? static_cast<int16_t>(level) : 1;
        mGlobalData.speedCoef = 1.0f;
        mSpeedFactor = 1.0f;
    }
    if (mViewManager != nullptr) mViewManager->SetAnimationSpeed(mSpeedFactor);
    mPrefs.SetInt("game_paused", paused ? 1 : 0, false);
}
