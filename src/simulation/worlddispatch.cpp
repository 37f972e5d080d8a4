// Task dispatch: every task of the world starts through StartTask, which hands it to the starter
// of its kind (a monster's to the monster's starter, whatever the kind) and plays the task's
// sound when one started. Objects that have left the world start nothing and are no object of
// a task: the tick deletes them, and no task may outlive its parties.
#include "simulation/nameprefix.h"
#include "simulation/taskkind.h"
#include "simulation/world.h"
#include "simulation/worldsounds.h"

namespace {

// The sound of a building site that is an ark part place, a well or the konut bush.
constexpr int kSoundBuildingStarted = 62;

}  // namespace

GStarter GWorld::StarterFor(int kind, int subjectKind) {
    if (kind < 1 || kind >= kTaskKindCount) return GStarter::kNone;
    if (subjectKind == GObject::kMonster) return GStarter::kMonster;
    switch (kind) {
        case kTaskBreed:
            return GStarter::kBreeding;
        case kTaskForage:
        case kTaskGatherWater:
        case kTaskBuild:
        case kTaskDefend:
        case kTaskResearch:
        case kTaskExplore:
        case kTaskGettingBonus:
        case kTaskTraining:
            return GStarter::kWorkOnTarget;
        case kTaskDoctor:
            return GStarter::kDoctoring;
        case kTaskFlakeOut:
        case kTaskBeIll:
            return GStarter::kWander;
        case kTaskRest:
        case kTaskCelebrate:
        case kTaskCelebrateVictory:
        case kTaskWaitForArk:
        case kTaskSpecialFlakeOut:
        case kTaskUnload:
            return GStarter::kStayAndAct;
        case kTaskGoForFood:
        case kTaskGoForWater:
            return GStarter::kStoreWalk;
        case kTaskEating:
        case kTaskDrinking:
            return GStarter::kConsuming;
        case kTaskGoToHospital:
        case kTaskGoForMedicine:
            return GStarter::kTreatment;
        case kTaskDevolve:
            return GStarter::kDevolving;
        case kTaskProductItem:
            return GStarter::kProducing;
        case kTaskCollectHerbs:
            return GStarter::kHerbCollecting;
        case kTaskGoToTarget:
            return GStarter::kJob;
        case kTaskRunAway:
            return GStarter::kRunAway;
        case kTaskFailure:
            return GStarter::kFailing;
        case kTaskFailure2:
        case kTaskDrop:
            return GStarter::kShortPause;
        case kTaskCarryArkPart:
            return GStarter::kCarryArkPart;
        case kTaskBushRepair:
            return GStarter::kBushRepair;
        case kTaskGoBuildArk:
            return GStarter::kCarryToArk;
        case kTaskFrozenPause:
        case kTaskFrozenPause2:
            return GStarter::kFrozenPause;
        case kTaskGoToGraveyard:
            return GStarter::kGraveyard;
        default:
            return GStarter::kNone;
    }
}

int GWorld::StartSound(int kind, const GObject* object) {
    if (kind == kTaskRunAway) return 0;
    const GObjectData* data = object != nullptr ? object->GetData() : nullptr;
    if (kind == kTaskBuild && data != nullptr &&
        (BeginsWith(data->name, "Ark Part Place") || BeginsWith(data->name, "Well") ||
         data->name == str("Konut Bush")))
        return kSoundBuildingStarted;
    return kind;
}

bool GWorld::StartTask(int kind, GObject* subject, GObject* object) {
    if (subject == nullptr) return false;
    const GStarter starter = StarterFor(kind, subject->GetKind());
    if (starter == GStarter::kNone || IsQueuedForDeletion(subject) || IsQueuedForDeletion(object))
        return false;
    if (!RunStarter(starter, kind, subject, object, true)) return false;
    // The monster's starter plays its own sounds.
    if (starter == GStarter::kMonster) return true;
    if (const int sound = StartSound(kind, object); sound != 0)
        WorldSounds().PlayEvent(subject, 0.0f, 0.0f, sound, 0);
    return true;
}

bool GWorld::CallStarter(GStarter starter, int kind, GObject* subject, GObject* object) {
    return RunStarter(starter, kind, subject, object, false);
}

bool GWorld::RunStarter(GStarter starter, int kind, GObject* subject, GObject* object,
                        bool dispatched) {
    using Starter = bool (GWorld::*)(int, GObject*, GObject*);
    Starter run = nullptr;
    switch (starter) {
        case GStarter::kNone:
            break;
        case GStarter::kBreeding:
            run = &GWorld::StartBreeding;
            break;
        case GStarter::kWorkOnTarget:
            run = &GWorld::StartWorkOnTarget;
            break;
        case GStarter::kDoctoring:
            run = &GWorld::StartDoctoring;
            break;
        case GStarter::kWander:
            run = &GWorld::StartWander;
            break;
        case GStarter::kStayAndAct:
            run = &GWorld::StartStayAndAct;
            break;
        case GStarter::kStoreWalk:
            run = &GWorld::StartStoreWalk;
            break;
        case GStarter::kConsuming:
            run = &GWorld::StartConsuming;
            break;
        case GStarter::kTreatment:
            run = &GWorld::StartTreatment;
            break;
        case GStarter::kDevolving:
            run = &GWorld::StartDevolving;
            break;
        case GStarter::kProducing:
            run = &GWorld::StartProducing;
            break;
        case GStarter::kHerbCollecting:
            run = &GWorld::StartHerbCollecting;
            break;
        case GStarter::kJob:
            run = &GWorld::StartJobTask;
            break;
        case GStarter::kRunAway:
            run = &GWorld::StartRunAway;
            break;
        case GStarter::kFailing:
            run = &GWorld::StartFailing;
            break;
        case GStarter::kShortPause:
            run = &GWorld::StartShortPause;
            break;
        case GStarter::kCarryArkPart:
            run = &GWorld::StartCarryArkPart;
            break;
        case GStarter::kBushRepair:
            run = &GWorld::StartBushRepair;
            break;
        case GStarter::kCarryToArk:
            run = &GWorld::StartCarryToArk;
            break;
        case GStarter::kFrozenPause:
            run = &GWorld::StartFrozenPause;
            break;
        case GStarter::kGraveyard:
            run = &GWorld::StartGraveyardWalk;
            break;
        case GStarter::kMonster:
            run = &GWorld::StartMonsterTask;
            break;
    }
    const bool started = run != nullptr && (this->*run)(kind, subject, object);
    if (mStarterListener != nullptr)
        mStarterListener->OnStarterCalled({starter, kind, subject, object, started, dispatched});
    return started;
}
