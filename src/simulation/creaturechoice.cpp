// The creature's choice of its next task. In order: the hospital when ill; food and water, each
// on a 1-in-100 draw; an elephant's building; the player's preferred task on its own chance; a
// doctor with prescriptions or a stick holder goes on; otherwise a weighted draw over the task
// kinds the creature knows. The draws come from the world's generator in exactly this order.
//
// A walk that the world refuses excludes its kind and the choice runs again, so each round
// rules out one more kind until only flakeout is left. The rounds run in a loop rather than by
// recursion: a saved block may list any number of kinds.
#include <cstdint>

#include "foundation/random.h"
#include "simulation/creature.h"
#include "simulation/data/locationdata.h"
#include "simulation/data/saturate.h"
#include "simulation/itemkind.h"
#include "simulation/location.h"
#include "simulation/objectlistener.h"
#include "simulation/taskkind.h"

namespace {

// The chance in 100 that a free creature goes for food (and, drawn apart, for water).
constexpr int kNeedChance = 1;

bool HasConsumption(const GCreatureData* data, int resourceType) {
    return data != nullptr && data->consumptions.count(resourceType) != 0;
}

}  // namespace

void GCreature::ChooseNextTask() {
    while (!ChooseRound()) {
    }
}

void GCreature::GoOnLastTask() {
    if (!TryLastTask()) ChooseNextTask();
}

bool GCreature::ChooseRound() {
    GCreatureData* data = GetCreatureData();
    TRandom* random = GetRandom();

    if (IsIll()) {
        if (!StartTask(kTaskGoToHospital, nullptr)) StartTask(kTaskBeIll, nullptr);
        ClearExcludedTasks();
        return true;
    }

    const struct {
        int resourceType;
        int task;
    } needs[] = {{kResourceFood, kTaskGoForFood}, {kResourceWater, kTaskGoForWater}};
    for (const auto& need : needs) {
        if (!HasConsumption(data, need.resourceType) || random == nullptr) continue;
        if (random->NextRange(0, 99) < kNeedChance && StartTask(need.task, nullptr)) {
            ClearExcludedTasks();
            return true;
        }
    }

    // An elephant builds (wells) while there is no water work: water excluded, or its water
    // place still being built.
    const bool waterPreferred = mOverrideTask == kTaskGatherWater && mOverrideTarget != nullptr;
    if (!waterPreferred && data != nullptr && data->name == "Elephant" &&
        !IsTaskExcluded(kTaskBuild)) {
        const GLocation* water = AsLocation(GetBeforeTarget(kTaskGatherWater));
        if (IsTaskExcluded(kTaskGatherWater) ||
            (water != nullptr && water->GetResourceQuantity(kResourceBuild) > 0)) {
            if (mLastTask != kTaskBuild) SetLastTargets(nullptr, nullptr);
            mLastTask = kTaskBuild;
            return TryLastTask();
        }
    }

    if (mOverrideTask != kTaskNone && !IsTaskExcluded(mOverrideTask) && random != nullptr &&
        random->NextRange(0, 100) < mOverrideProb) {
        mLastTask = mOverrideTask;
        // Breeding and defending find their partner or enemy themselves.
        const bool findsOwnTarget = mOverrideTask == kTaskDefend || mOverrideTask == kTaskBreed;
        mLastBeforeTarget = findsOwnTarget ? nullptr : mOverrideTarget;
        return TryLastTask();
    }

    if (mLastTask == kTaskDoctor && !mPrescriptions.empty()) {
        return TryLastTask();
    }
    if (mItemType == kItemStick && HasTaskData(kTaskBuild) && !IsTaskExcluded(kTaskBuild)) {
        mLastTask = kTaskBuild;
        return TryLastTask();
    }

    if (data != nullptr) {
        if (data->aiCoefs.count(kTaskBreed) != 0 && !mBreedAllowed) ExcludeTask(kTaskBreed);
        if (data->aiCoefs.count(kTaskDefend) != 0 && !mDefendAllowed) ExcludeTask(kTaskDefend);
    }
    if (random == nullptr) {
        return TryLastTask();
    }

    // The weighted draw; it draws even when no weight is left, as the game always has.
    int64_t total = 0;
    if (data != nullptr) {
        for (const auto& [kind, coef] : data->aiCoefs)
            if (!IsTaskExcluded(kind)) total += coef.weight;
    }
    const int drawn = random->NextRange(0, SaturateToInt(SaturateToInt(total) - int64_t{1}));
    int chosen = kTaskNone;
    if (data != nullptr) {
        int64_t start = 0;
        for (const auto& [kind, coef] : data->aiCoefs) {
            if (IsTaskExcluded(kind) || coef.weight == 0) continue;
            if (start <= drawn && drawn < start + coef.weight) {
                chosen = kind;
                break;
            }
            start += coef.weight;
        }
    }

    if (chosen != mLastTask) {
        if (chosen == kTaskNone) {
            ClearExcludedTasks();
            StartTask(kTaskFlakeOut, nullptr);
            return true;
        }
        mLastTask = chosen;
        const GTaskTargets targets = GetTaskTargets(chosen);
        SetLastTargets(targets.before, targets.after);
    }
    return TryLastTask();
}

bool GCreature::TryLastTask() {
    if (mLastTask == kTaskNone || mLastTask == kTaskFlakeOut) {
        ClearExcludedTasks();
        StartTask(kTaskFlakeOut, nullptr);
        return true;
    }

    GObject* target = nullptr;
    GLocation* before = AsLocation(mLastBeforeTarget);
    GLocation* after = AsLocation(mLastAfterTarget);
    if (before != nullptr && after != nullptr) {
        if (mLastTask == kTaskForage || mLastTask == kTaskGatherWater) {
            // Carrying a load: straight to where it is taken.
            if (mItemType == kItemFood || mItemType == kItemWater) target = after;
        } else if (const GLocationData* place = before->GetLocationData()) {
            for (const GResourceRecord& record : place->resources) {
                if (record.action == mLastTask && record.quantity > 0 && CanDoAction(record)) {
                    target = before;
                    break;
                }
            }
        }
    }

    if (StartTask(kTaskGoToTarget, target)) {
        mGoThere = true;
        ClearExcludedTasks();
        return true;
    }
    ExcludeTask(mLastTask);
    mLastTask = kTaskNone;
    return false;
}
