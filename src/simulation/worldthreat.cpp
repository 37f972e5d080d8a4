// The threat pass of the tick (not while the world catches up): creatures near a monster run
// away from it, or, for a lion strong and healthy enough, turn to fight it; then each monster
// chooses the creature it chases (its prey) and walks after it.
//
// Nearness is the squared distance of the two views against the squared "Monsters"
// "DistanceToRun" (a lion's "DistanceToDefend" when that is larger); a distance equal to it
// counts as near. An object without a view has no position and takes no part.
#include <cstdint>

#include "simulation/taskkind.h"
#include "simulation/views/worldcreature.h"
#include "simulation/world.h"
#include "simulation/worldpass.h"

using worldpass::CreatureViewOf;
using worldpass::ListCopy;
using worldpass::TaskKindOf;

namespace {

// While the tutorial shows this step nobody runs and nobody hunts.
constexpr int kStepNoThreats = 21;
// A monster's hunting state: 6 while it chases its prey; at 2 or 4 on its walk it is busy with
// a place.
constexpr int kHuntChasing = 6;
constexpr int kHuntAtPlace = 2;
constexpr int kHuntAtPlace2 = 4;

float DistanceSquared(const GVWorldObject& a, const GVWorldObject& b) {
    const float dx = a.GetX() - b.GetX();
    const float dy = a.GetY() - b.GetY();
    return dx * dx + dy * dy;
}

float Squared(int16_t distance) {
    const auto value = static_cast<float>(distance);
    return value * value;
}

// Creatures busy with something a monster leaves alone: fighting, carrying an ark part, going
// to the graveyard, devolving.
bool IsOutOfReach(int kind) {
    return kind == kTaskDefend || kind == kTaskCarryArkPart || kind == kTaskGoToGraveyard ||
           kind == kTaskDevolve;
}

bool IsLion(const GCreature& creature) {
    const GCreatureData* data = creature.GetCreatureData();
    return data != nullptr && data->name == str("Lion");
}

// Healthy, and with more health than its stop share of its full health (whole numbers).
bool IsFit(const GCreature& creature) {
    const GCreatureData* data = creature.GetCreatureData();
    if (data == nullptr || creature.IsIll()) return false;
    const int64_t stop = static_cast<int64_t>(data->startHealth) * data->healthPercentsToStop / 100;
    return data->currentHealth > stop;
}

}  // namespace

void GWorld::RunThreatPass() {
    if (mPlay.currentTutorialStep == kStepNoThreats) return;
    for (GCreature* creature : ListCopy(mCreatures)) {
        if (!IsInWorld(creature)) continue;
        const int kind = TaskKindOf(creature);
        if (kind == kTaskNone || kind == kTaskRunAway || IsOutOfReach(kind)) continue;
        FaceMonsters(creature);
        if (IsInWorld(creature)) FollowUpDefence(creature);
    }
    for (GMonster* monster : ListCopy(mMonsters)) {
        if (!IsInWorld(monster)) continue;
        const int kind = TaskKindOf(monster);
        if (kind == kTaskNone) continue;
        const int state = monster->GetLastTask();
        const bool busy =
            (kind == kTaskGoToTarget && (state == kHuntAtPlace || state == kHuntAtPlace2)) ||
            kind == kTaskRunAway;
        if (!busy && kind != kTaskDefend) ChoosePrey(monster);
        if (!IsInWorld(monster) || TaskKindOf(monster) != kTaskGoToTarget ||
            monster->GetLastTask() != kHuntChasing)
            continue;
        GVWorldCreature* view = CreatureViewOf(monster);
        const GObject* prey = monster->GetPrey();
        if (view != nullptr && prey != nullptr && prey->GetView() != nullptr)
            view->GoToObject(prey->GetView(), 0.0f, false);
    }
}

void GWorld::FaceMonsters(GCreature* creature) {
    const bool lion = IsLion(*creature);
    const int16_t run = mGlobalData.distanceToRun;
    const int16_t defend = mGlobalData.distanceToDefend;
    const float reach = Squared(lion && defend > run ? defend : run);
    for (GMonster* monster : ListCopy(mMonsters)) {
        if (!IsInWorld(monster)) continue;
        const int kind = TaskKindOf(monster);
        if (kind == kTaskRunAway || kind == kTaskDefend) continue;
        const GVWorldObject* view = creature->GetView();
        const GVWorldObject* monsterView = monster->GetView();
        if (view == nullptr) return;
        if (monsterView == nullptr || DistanceSquared(*view, *monsterView) > reach) continue;
        if (!lion) {
            StartTask(kTaskRunAway, creature, monster);
            return;
        }
        // A weak or sick lion pays the monster no heed.
        if (!IsFit(*creature)) continue;
        CancelTasks(creature);
        creature->SetLastTask(kTaskDefend);
        creature->RememberTaskTargets(kTaskDefend, monster, nullptr);
        StartTask(kTaskGoToTarget, creature, monster);
        return;
    }
}

void GWorld::FollowUpDefence(GCreature* creature) {
    const GScheduleTask* task = creature->GetTask();
    if (task == nullptr || task->GetKind() != kTaskGoToTarget ||
        creature->GetLastTask() != kTaskDefend)
        return;
    const GTaskData* data = task->GetTaskData();
    const GObject* object = data != nullptr ? data->object : nullptr;
    if (object != nullptr && object->GetKind() != GObject::kMonster) return;
    if (object != nullptr) {
        const GObject* target = creature->GetBeforeTarget(kTaskDefend);
        GVWorldCreature* view = CreatureViewOf(creature);
        if (view != nullptr && target != nullptr && target->GetView() != nullptr)
            view->GoToObject(target->GetView(), 0.0f, false);
    }
    creature->SetLastTask(kTaskNone);
    creature->SetTaskTargets(kTaskDefend, nullptr, creature->GetAfterTarget(kTaskDefend));
}

void GWorld::ChoosePrey(GMonster* monster) {
    const float reach = Squared(mGlobalData.distanceToRun);
    for (GCreature* creature : ListCopy(mCreatures)) {
        if (!IsInWorld(creature) || creature == mHeld) continue;
        if (IsOutOfReach(TaskKindOf(creature))) continue;
        const GVWorldObject* view = monster->GetView();
        const GVWorldObject* creatureView = creature->GetView();
        if (view == nullptr) return;
        if (creatureView == nullptr) continue;
        const float distance = DistanceSquared(*view, *creatureView);
        const GObject* prey = monster->GetPrey();
        if (distance > reach) {
            // The prey got away: the monster gives up.
            if (creature == prey) CancelTasks(monster);
            continue;
        }
        if (creature == prey) continue;
        if (monster->GetLastTask() != kHuntChasing && prey != nullptr &&
            prey->GetView() != nullptr && DistanceSquared(*view, *prey->GetView()) <= distance)
            continue;
        if (!IsFit(*creature)) continue;
        CancelTasks(monster);
        monster->SetLastTask(kHuntChasing);
        monster->SetPrey(creature);
        StartTask(kTaskGoToTarget, monster, creature);
        return;
    }
}
