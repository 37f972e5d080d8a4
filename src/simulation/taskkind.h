// The task kinds, the numbers every task, definition and rule of the world uses for an activity
// (the names registry gives their names). Kinds 19, 29, 35 and 36 have no name.
#pragma once

enum GTaskKind {
    kTaskNone = 0,
    kTaskBreed = 1,
    kTaskForage = 2,
    kTaskGatherWater = 3,
    kTaskBuild = 4,
    kTaskDoctor = 5,
    kTaskDefend = 6,
    kTaskFlakeOut = 7,
    kTaskResearch = 8,
    kTaskRest = 9,
    kTaskGoForFood = 10,
    kTaskEating = 11,
    kTaskGoForWater = 12,
    kTaskDrinking = 13,
    kTaskGoToHospital = 14,
    kTaskDevolve = 15,
    kTaskProductItem = 16,
    kTaskCollectHerbs = 17,
    kTaskBeIll = 18,
    kTaskGoToTarget = 19,
    kTaskRunAway = 20,
    kTaskFailure = 21,
    kTaskFailure2 = 22,
    kTaskDrop = 23,
    kTaskCelebrate = 24,
    kTaskCelebrateVictory = 25,
    kTaskWaitForArk = 26,
    kTaskSpecialFlakeOut = 27,
    kTaskCarryArkPart = 28,
    kTaskBushRepair = 29,
    kTaskExplore = 30,
    kTaskGettingBonus = 31,
    kTaskUnload = 32,
    kTaskGoBuildArk = 33,
    kTaskTraining = 34,
    kTaskFrozenPause = 35,
    kTaskFrozenPause2 = 36,
    kTaskGoToGraveyard = 37,
    kTaskGoForMedicine = 38,
};

// Task kinds run from 0 to kTaskKindCount - 1.
constexpr int kTaskKindCount = 39;

inline bool IsTaskKind(int kind) {
    return kind >= 0 && kind < kTaskKindCount;
}
