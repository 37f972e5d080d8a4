// The task starters behind StartTask (worlddispatch.cpp). Each checks its task's conditions,
// schedules it and moves the parties' views; it answers whether a task was started.
//
// Durations come from the subject's definition (its duration for the kind, or its consumption
// time for a resource), from the tuning's default task length, or fall back to the kind-7
// duration where a definition has none. The starters of tasks done where the creature stands
// answer true without starting anything for a subject that has no creature view; those that
// need the creature's view to walk refuse it.
//
// Starters that come with later rules (breeding, work on a target, treatment, running away,
// failing, bush repair, carrying to the ark, the graveyard walk, the ark-part crew and the
// monsters') still refuse.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "simulation/taskkind.h"
#include "simulation/world.h"
#include "simulation/worldkeys.h"
#include "simulation/worldpass.h"
#include "simulation/worldsounds.h"

namespace {

constexpr int kResourceFood = 1;
constexpr int kResourceWater = 2;
constexpr int kResourcePool = 4;
constexpr int kSoundVictory = 53;

// The subject as a creature of the world; none for any other object.
GCreature* AsCreature(GObject* object) {
    return dynamic_cast<GCreature*>(object);
}

// The subject's definition duration for the kind; 0 without a creature.
int CreatureDuration(const GCreature* creature, int kind) {
    return creature != nullptr ? creature->GetTaskDuration(kind) : 0;
}

// The creature's time to consume a resource type; 0 when its definition takes none of it.
int ConsumptionTime(const GCreature* creature, int resourceType) {
    const GCreatureData* data = creature != nullptr ? creature->GetCreatureData() : nullptr;
    if (data == nullptr) return 0;
    const auto found = data->consumptions.find(resourceType);
    return found != data->consumptions.end() ? found->second.duration : 0;
}

}  // namespace

GScheduleTask* GWorld::ScheduleTask(int kind, int type, GObject* subject, GObject* object,
                                    bool objectListens, bool takesPart, int duration) {
    const uint32_t length = static_cast<uint32_t>(std::max(duration, 1));
    auto data = std::make_unique<GTaskData>();
    data->subject = subject;
    data->object = object;
    auto task = std::make_unique<GScheduleTask>();
    task->Init(std::move(data), subject, objectListens ? object : nullptr,
               mPlay.currentTime + length, length, kind, type);
    GScheduleTask* added = mSchedule.AddTask(std::move(task));
    subject->SetTask(added);
    if (objectListens && takesPart && object != nullptr) object->SetTask(added);
    return added;
}

bool GWorld::StartBreeding(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartWorkOnTarget(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartDoctoring(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartWander(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartStayAndAct(int kind, GObject* subject, GObject* object) {
    // A victory is celebrated only once every monster runs away.
    if (kind == kTaskCelebrateVictory) {
        for (const std::unique_ptr<GMonster>& monster : mMonsters)
            if (worldpass::TaskKindOf(monster.get()) != kTaskRunAway) return false;
    }
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    if (view == nullptr) return true;
    const GCreature* creature = AsCreature(subject);
    int duration = CreatureDuration(creature, kind);
    if (duration < 1) duration = CreatureDuration(creature, kTaskFlakeOut);
    ScheduleTask(kind, GScheduleTask::kByTime, subject, object, false, false, duration);
    const GWorldKeys& keys = WorldKeys();
    switch (kind) {
        case kTaskRest:
        case kTaskWaitForArk:
            view->SetState(keys.flakeOut);
            break;
        case kTaskSpecialFlakeOut:
            view->SetState(keys.think);
            break;
        case kTaskUnload:
            view->SetState(keys.work);
            break;
        case kTaskCelebrateVictory:
            view->SetState(keys.celebrate);
            WorldSounds().PlayEvent(nullptr, 0.0f, 0.0f, kSoundVictory, 0);
            break;
        default:
            view->SetState(keys.celebrate);
            break;
    }
    return true;
}

bool GWorld::StartStoreWalk(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartConsuming(int kind, GObject* subject, GObject* object) {
    if (worldpass::CreatureViewOf(subject) == nullptr) return false;
    const bool eating = kind == kTaskEating;
    const int resource = eating ? kResourceFood : kResourceWater;
    GLocation* place = object != nullptr ? dynamic_cast<GLocation*>(object)
                                         : GetPlace(eating ? kFoodBin : kWaterTank);
    if (place == nullptr || place->GetResourceQuantity(resource) <= 0 || !place->IsBuilt())
        return false;
    ScheduleTask(kind, GScheduleTask::kByTime, subject, place, true, true,
                 ConsumptionTime(AsCreature(subject), resource));
    return true;
}

bool GWorld::StartTreatment(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartDevolving(int kind, GObject* subject, GObject*) {
    if (worldpass::CreatureViewOf(subject) == nullptr) return true;
    const GCreature* creature = AsCreature(subject);
    if (creature != nullptr && creature->GetDisease() != 0) return false;
    if (GLocation* pool = GetPlace(kDevolutionPool)) {
        if (pool->GetResourceQuantity(kResourcePool) < 1) return false;
        pool->SetQuantity(kResourcePool, 0);
    }
    ScheduleTask(kind, GScheduleTask::kByTime, subject, nullptr, false, false,
                 CreatureDuration(creature, kTaskDevolve));
    return true;
}

bool GWorld::StartProducing(int kind, GObject* subject, GObject* object) {
    if (worldpass::CreatureViewOf(subject) == nullptr) return true;
    if (object == nullptr) return false;
    int duration = CreatureDuration(AsCreature(subject), kTaskProductItem);
    if (duration <= 0) duration = mGlobalData.defaultTask;
    ScheduleTask(kind, GScheduleTask::kByTime, subject, object, true, false, duration);
    return true;
}

bool GWorld::StartHerbCollecting(int kind, GObject* subject, GObject* object) {
    if (object == nullptr) return false;
    ScheduleTask(kind, GScheduleTask::kByTime, subject, object, true, false,
                 mGlobalData.defaultTask);
    return true;
}

bool GWorld::StartJobTask(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartRunAway(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartFailing(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartShortPause(int kind, GObject* subject, GObject*) {
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    if (view == nullptr) return true;
    int duration = CreatureDuration(AsCreature(subject), kind);
    if (duration <= 0) duration = mGlobalData.defaultTask;
    ScheduleTask(kind, GScheduleTask::kByTime, subject, nullptr, false, false, duration);
    if (kind == kTaskFailure2) view->SetState(WorldKeys().think);
    return true;
}

bool GWorld::StartCarryArkPart(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartBushRepair(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartCarryToArk(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartFrozenPause(int kind, GObject* subject, GObject* object) {
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    if (view == nullptr) return true;
    ScheduleTask(kind, GScheduleTask::kByTime, subject, object, false, false,
                 CreatureDuration(AsCreature(subject), kTaskFlakeOut));
    view->SetState(WorldKeys().think);
    return true;
}

bool GWorld::StartGraveyardWalk(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartMonsterTask(int, GObject*, GObject*) {
    return false;
}
