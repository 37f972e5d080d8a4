// The task starters behind StartTask (worlddispatch.cpp). Each checks its task's conditions,
// schedules it and moves the parties' views; it answers whether a task was started.
//
// Durations come from the subject's definition (its duration for the kind, or its consumption
// time for a resource), from the tuning's default task length, or fall back to the kind-7
// duration where a definition has none. The starters of tasks done where the creature stands
// answer true without starting anything for a subject that has no creature view; those that
// need the creature's view to walk refuse it.
//
// Walks draw their points through the bounded searches of worldpoints.cpp, so a blocked grid
// never holds a starter. Starters that come with later rules (doctoring, wandering, the walks
// to the stores and to a target, bush repair, carrying to the ark, the ark-part crew and the
// monsters') still refuse.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "foundation/saturate.h"
#include "gv/gvobject.h"
#include "simulation/nameprefix.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"
#include "simulation/worldkeys.h"
#include "simulation/worldpass.h"
#include "simulation/worldsounds.h"

namespace {

constexpr int kResourceFood = 1;
constexpr int kResourceWater = 2;
constexpr int kResourcePool = 4;
constexpr int kSoundVictory = 53;
constexpr int kSoundFailed = 42;
constexpr int kTutorialDefend = 22;
constexpr int kTutorialExplore = 18;
constexpr int kTutorialExploreTicks = 3;
// Building an idol or the hospital site arms the global timer once.
constexpr int kEventIdolTimer = 43;
constexpr int kIdolTimerTicks = 30;
// The treasure search: the treasure still hidden, and found (its ark part place open).
constexpr int kTreasureHidden = 0;
constexpr int kTreasureFound = 1;
constexpr int kSoundRunAway = 45;
// Where a creature runs from when its threat has no view.
constexpr TVec2 kDefaultThreatPoint(1200.0f, 900.0f);
constexpr int kFleeTurns = 11;
constexpr int kFleeJumps = 20;
// Ticks the failure message stays on the message line.
constexpr int kFailureMessageTicks = 5;
// The tutorial step whose breeding takes the default time.
constexpr int kTutorialBreeding = 5;
constexpr int kEventMedicineKnown = 4;
// The disease whose medicine is fetched from the first "Smallberry" while there is no hospital.
constexpr int kDiseaseTumrot = 2;

// Where a creature that died of each cause walks to: old age, disease, thirst, hunger.
struct Area {
    int x0, x1, y0, y1;
};
constexpr Area kGraveOldAge = {878, 1280, 1508, 1740};
constexpr Area kGraveDisease = {1689, 2150, 1370, 1791};
constexpr Area kGraveThirst = {780, 955, 560, 870};
constexpr Area kGraveHunger = {1430, 1640, 600, 840};
// The hospital grounds: the band the idle pass counts as being at the hospital.
constexpr Area kHospitalGrounds = {1689, 2150, 1570, 1791};

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

void HideMarks(GVWorldObject* view) {
    GVObject* sprite = view != nullptr ? view->GetSprite() : nullptr;
    if (sprite == nullptr) return;
    sprite->SetStateRecursive(WorldKeys().markHidden, true, false);
    sprite->SetStateRecursive(WorldKeys().shadowHidden, true, false);
}

}  // namespace

TVec2 GWorld::FleePoint(const GVWorldObject* runner, const GVWorldObject* threat) {
    const TVec2 from = runner->GetPosition();
    const TVec2 danger = threat != nullptr ? threat->GetPosition() : kDefaultThreatPoint;
    const auto walkable = [this](const TVec2& point) {
        return mViewManager == nullptr || mViewManager->IsWalkable(point.x, point.y);
    };
    // Away from the threat, turned by up to a right angle either way.
    for (int turn = 0; turn < kFleeTurns; ++turn) {
        TVec2 direction = from + -danger;
        if (from.x == danger.x && from.y == danger.y) {
            const auto x = static_cast<float>(mRandom.NextDouble());
            direction = TVec2(x, static_cast<float>(mRandom.NextDouble()));
        }
        const float length = std::hypot(direction.x, direction.y);
        if (length > 0.0f) direction = direction / length;
        direction *= static_cast<float>(mRandom.NextRange(200, 500));
        const int angle = mRandom.NextRange(0, 90);
        direction.Rotate(mRandom.NextRange(0, 1) == 0 ? angle : -angle);
        const TVec2 candidate = from + direction;
        if (walkable(candidate)) return candidate;
        if (candidate.x < 0.0f || candidate.x > static_cast<float>(kWidth) || candidate.y < 0.0f ||
            candidate.y >= static_cast<float>(kHeight))
            break;
    }
    // Then a jump of 200 to 800 on each axis, either way.
    const auto jump = [this] {
        const int offset = mRandom.NextRange(200, 800);
        return static_cast<float>(mRandom.NextRange(0, 1) == 0 ? offset : -offset);
    };
    for (int tries = 0; tries < kFleeJumps; ++tries) {
        const float dx = jump();
        const TVec2 candidate = from + TVec2(dx, jump());
        if (walkable(candidate)) return candidate;
    }
    return RandomWalkablePoint(0, kWidth, 0, kHeight);
}

int GWorld::WalkingTime(const GVWorldCreature* view, const GObject* target) const {
    const GVWorldObject* to = target != nullptr ? target->GetView() : nullptr;
    if (view == nullptr || to == nullptr) return 0;
    return TruncateToInt(static_cast<double>(view->TicksToObject(to)) * 30.0 /
                         static_cast<double>(mGlobalData.walkingSpeedDivisor));
}

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

bool GWorld::StartBreeding(int kind, GObject* subject, GObject* partner) {
    if (partner == nullptr) return false;
    if (static_cast<int64_t>(mCreatures.size()) + mSchedule.CountTasksOfKind(kTaskBreed) >=
        mGlobalData.maxPopulation) {
        GetMessageListener().ShowMessage(str("max_population_reached"));
        return false;
    }
    CancelTasks(subject);
    CancelTasks(partner);
    const int duration = mPlay.tutorialEvent == kTutorialBreeding
                             ? mGlobalData.defaultTask
                             : CreatureDuration(AsCreature(subject), kTaskBreed);
    ScheduleTask(kind, GScheduleTask::kByTime, subject, partner, true, true, duration);
    const GWorldKeys& keys = WorldKeys();
    HideMarks(subject->GetView());
    HideMarks(partner->GetView());
    if (GVWorldCreature* view = worldpass::CreatureViewOf(subject)) view->SetState(keys.breed);
    if (GVWorldCreature* view = worldpass::CreatureViewOf(partner)) view->SetState(keys.hidden);
    return true;
}

bool GWorld::StartWorkOnTarget(int kind, GObject* subject, GObject* target) {
    if (target == nullptr) return false;
    GCreature* creature = AsCreature(subject);
    int duration = CreatureDuration(creature, kind);
    if (target->GetKind() == GObject::kMonster) {
        GetMessageListener().QueueTutorialEvent(kTutorialDefend);
        const int monsterKind = worldpass::TaskKindOf(target);
        if (worldpass::TaskKindOf(subject) == kTaskDefend || monsterKind == kTaskRunAway ||
            monsterKind == kTaskDefend)
            return false;
        subject->SetTask(nullptr);
        target->SetTask(nullptr);
        mSchedule.CancelTasksOf(subject, false, kTaskNone);
        mSchedule.CancelTasksOf(target, false, kTaskNone);
        if (duration == 0) duration = static_cast<GMonster*>(target)->GetAIDuration(kind);
    } else if (const auto* place = dynamic_cast<const GLocation*>(target)) {
        if (!MayWorkOn(kind, creature, place, duration)) return false;
        // Exploring once the treasure is found digs out the ark part it shows.
        if (kind == kTaskExplore && mPlay.treasureSearchState == kTreasureFound)
            return StartTask(kTaskBuild, subject, GetArkPartPlace(mPlay.treasureNum));
    }
    if (kind == kTaskBuild) {
        if (creature != nullptr) {
            creature->SetTaskTargets(kTaskBuild, target, nullptr);
            // The site becomes one the builder goes back to by itself.
            if (auto* site = dynamic_cast<GLocation*>(target)) creature->AddValidBuildTarget(site);
        }
        const GObjectData* data = target->GetData();
        if (!IsEventSet(kEventIdolTimer) && data != nullptr &&
            (BeginsWith(data->name, "Idol") || data->name == str("Pre_hospital"))) {
            mPlay.globalTimer = kIdolTimerTicks;
            mPlay.globalEvent = kEventIdolTimer;
        }
    }
    if (duration == 0) duration = CreatureDuration(creature, kTaskFlakeOut);
    ScheduleTask(kind, GScheduleTask::kByTime, subject, target, true, true, duration);
    return true;
}

bool GWorld::MayWorkOn(int kind, const GCreature* creature, const GLocation* place, int& duration) {
    const GObjectData* data = place->GetData();
    const str name = data != nullptr ? data->name : str();
    // The ark part places open one by one as the treasure search finds them.
    for (int pair = 0; pair < kPairCount; ++pair) {
        if (name == str::Format("Ark Part Place %d", pair + 1) &&
            (mPlay.treasureSearchState != kTreasureFound || mPlay.treasureNum < pair))
            return false;
    }
    if (kind == kTaskExplore) {
        if (mPlay.treasureSearchState == kTreasureFound) return true;
        if (mPlay.treasureSearchState != kTreasureHidden) return false;
        GLocation* treasure = GetPlace(kTreasure);
        if (treasure != nullptr && mSchedule.CountTasksOf(treasure, true) > 0) return false;
        if (mPlay.tutorialEvent == kTutorialExplore) duration = kTutorialExploreTicks;
        if (treasure != nullptr) {
            if (GVWorldObject* view = treasure->GetView(); view != nullptr && view->GetSprite())
                view->GetSprite()->SetStateRecursive(WorldKeys().normal, true, false);
        }
    }
    if (kind == kTaskGettingBonus) {
        const GObjectData* who = creature != nullptr ? creature->GetData() : nullptr;
        const str species = who != nullptr ? who->name : str();
        const auto is = [&](std::initializer_list<const char*> names) {
            return std::any_of(names.begin(), names.end(),
                               [&](const char* one) { return species == str(one); });
        };
        if (name == str("Bonus Special Tomahawk") && !is({"Puff", "Lion", "Gorilla"})) return false;
        if (name == str("Bonus Special Shovel") && !is({"Puff", "Giraffe", "Elephant", "Zebra"}))
            return false;
        if (name == str("Bonus Special Hammer") && !is({"Gorilla"})) return false;
    }
    return true;
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

bool GWorld::StartTreatment(int kind, GObject* subject, GObject*) {
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    GLocation* hospital = GetPlace(kHospital);
    if (view == nullptr || hospital == nullptr) return false;
    GCreature* creature = AsCreature(subject);
    GObject* target = hospital;
    if (!hospital->IsBuilt()) {
        // Without a hospital the medicine of Tumrot grows on the first "Smallberry".
        if (kind != kTaskGoForMedicine || creature == nullptr ||
            creature->GetDiseaseToHeal() != kDiseaseTumrot || !IsEventSet(kEventMedicineKnown))
            return false;
        target = nullptr;
        for (const std::unique_ptr<GLocation>& location : mLocations) {
            const GObjectData* data = location->GetData();
            if (data != nullptr && data->name == str("Smallberry")) {
                target = location.get();
                break;
            }
        }
        if (target == nullptr) return false;
    }
    ScheduleTask(kind, GScheduleTask::kByTimeWhileSimulating, subject, target, true, true,
                 WalkingTime(view, target) / 2);
    if (mPlay.simulating) return true;
    if (kind == kTaskGoToHospital) {
        const Area& a = kHospitalGrounds;
        view->GoTo(RandomWalkablePoint(a.x0, a.x1, a.y0, a.y1), 0.0f);
    } else {
        if (const GCreatureData* data = creature != nullptr ? creature->GetCreatureData() : nullptr)
            view->SetSpeed(data->runSpeed);
        view->GoToObject(target->GetView(), 0.0f, false);
    }
    return true;
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

bool GWorld::StartRunAway(int kind, GObject* subject, GObject* threat) {
    if (threat == nullptr) return false;
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    if (view == nullptr) return true;
    subject->SetTask(nullptr);
    mSchedule.CancelTasksOf(subject, false, kTaskNone);
    const GCreature* creature = AsCreature(subject);
    int duration = CreatureDuration(creature, kTaskRunAway);
    if (duration < 1) duration = mGlobalData.defaultTask;
    ScheduleTask(kind, GScheduleTask::kByTime, subject, threat, true, false, duration);
    view->GoTo(FleePoint(view, threat->GetView()), 0.0f);
    if (const GCreatureData* data = creature != nullptr ? creature->GetCreatureData() : nullptr) {
        view->SetSpeed(data->runSpeed);
        view->SetOwnSpeedFactor(data->runAnimSpeedKoef);
    }
    WorldSounds().PlayEvent(subject, 0.0f, 0.0f, kSoundRunAway, 0);
    return true;
}

bool GWorld::StartFailing(int kind, GObject* subject, GObject* object) {
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    if (view == nullptr) return true;
    const bool selected = subject == mSelected;
    if (selected && !mPlay.simulating) {
        GetMessageListener().ShowMessage(mMessages.FormatFailure(subject, object));
        mPlay.messageCountdown = kFailureMessageTicks;
    }
    ScheduleTask(kind, GScheduleTask::kByTimeWhileSimulating, subject, nullptr, false, false,
                 CreatureDuration(AsCreature(subject), kTaskFlakeOut));
    view->SetState(WorldKeys().failed);
    if (selected) WorldSounds().PlayEvent(subject, 0.0f, 0.0f, kSoundFailed, 0);
    GCreature* other = AsCreature(object);
    if (other == nullptr) return true;
    if (other->GetDisease() == 0) {
        StartTask(kTaskFlakeOut, other, nullptr);
    } else if (!IsObjectOfATask(other)) {
        StartTask(kTaskBeIll, other, nullptr);
    }
    return true;
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

bool GWorld::StartGraveyardWalk(int kind, GObject* subject, GObject*) {
    GVWorldCreature* view = worldpass::CreatureViewOf(subject);
    GCreature* creature = AsCreature(subject);
    if (view == nullptr || creature == nullptr) return false;
    const auto found = std::find_if(mCreatures.begin(), mCreatures.end(),
                                    [&](const auto& entry) { return entry.get() == creature; });
    const int index = static_cast<int>(found - mCreatures.begin());
    if (found != mCreatures.end() && (index == mPlay.parkedA || index == mPlay.parkedB)) {
        mPlay.parkedA = -1;
        mPlay.parkedCountdown = -1;
        mPlay.parkedB = -1;
    }
    CancelTasks(creature);
    // A doctor on its way to this patient forgets it.
    for (const std::unique_ptr<GCreature>& doctor : mCreatures) {
        if (doctor->GetBeforeTarget(kTaskDoctor) == creature)
            doctor->SetTaskTargets(kTaskDoctor, nullptr, doctor->GetAfterTarget(kTaskDoctor));
    }
    ScheduleTask(kind, GScheduleTask::kByTimeWhileSimulating, subject, nullptr, false, false,
                 mGlobalData.defaultTask);
    const Area& a = static_cast<int>(creature->GetAge()) >= creature->GetDeathAge() ? kGraveOldAge
                    : creature->GetDisease() != 0                                   ? kGraveDisease
                    : creature->GetThirst() > creature->GetHunger()                 ? kGraveThirst
                                                                                    : kGraveHunger;
    const TVec2 point = RandomWalkablePoint(a.x0, a.x1, a.y0, a.y1);
    if (mPlay.simulating) {
        view->SetPosition(point);
    } else {
        view->GoTo(point, 0.0f);
    }
    return true;
}

bool GWorld::StartMonsterTask(int, GObject*, GObject*) {
    return false;
}

bool GWorld::IsObjectOfATask(const GObject* object) const {
    const GTaskListener* listener = object;
    for (const GScheduleTask* task : mSchedule.GetTasks()) {
        if (task->GetObjectListener() == listener) return true;
    }
    return false;
}
