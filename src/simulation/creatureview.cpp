// The glue between a creature and its view: the activity and work effect its current task shows,
// the walk toward the task's object, and the marks of what it carries, its disease and its
// collected prescriptions. Activities go through the view's SetState; work effects and marks are
// keys switched on the view's sprite and its children. Nothing happens without a creature view.
#include "gv/gvobject.h"
#include "simulation/creature.h"
#include "simulation/itemkind.h"
#include "simulation/nameprefix.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldcreature.h"
#include "simulation/worldkeys.h"

namespace {

// The highest prescription type that has a mark.
constexpr int kMarkedPrescriptions = 3;

str FullNameOf(const GObject* object) {
    const GObjectData* data = object != nullptr ? object->GetData() : nullptr;
    return data != nullptr ? data->fullName : str();
}

GObject* TaskObject(const GScheduleTask* task) {
    const GTaskData* data = task != nullptr ? task->GetTaskData() : nullptr;
    return data != nullptr ? data->object : nullptr;
}

}  // namespace

GVWorldCreature* GCreature::GetCreatureView() const {
    GVWorldObject* view = GetView();
    if (view == nullptr || !view->IsKindOf(GVViewClass::kCreature)) return nullptr;
    return static_cast<GVWorldCreature*>(view);
}

void GCreature::SetDisease(int disease) {
    mDisease = disease;
    if (GVWorldCreature* view = GetCreatureView()) view->SetDiseaseMark(disease);
}

void GCreature::SetMode(int16_t mode) {
    mMode = mode;
    if (GVWorldCreature* view = GetCreatureView()) view->SetVariant(mode);
}

void GCreature::UpdateViewState() {
    GVWorldCreature* view = GetCreatureView();
    if (view == nullptr) return;
    const GWorldKeys& keys = WorldKeys();
    const GScheduleTask* task = GetTask();
    if (task == nullptr) {
        view->SetState(keys.stay);
        RefreshViewMarks();
        return;
    }
    const int kind = task->GetKind();
    switch (kind) {
        case kTaskGoToTarget:
        case kTaskGoForFood:
        case kTaskGoForWater:
        case kTaskGoBuildArk:
        case kTaskGoForMedicine:
            // Only the walker moves: a creature that is the walk's object stays as it is.
            if (GObject* object = TaskObject(task); object != nullptr && object != this) {
                // A doctor on its round and the medicine fetch run.
                const GCreatureData* data = GetCreatureData();
                if (data != nullptr && (mLastTask == kTaskDoctor || kind == kTaskGoForMedicine)) {
                    view->SetSpeed(data->runSpeed);
                }
                view->GoToObject(object->GetView(), 0.0f, false);
            }
            break;
        case kTaskFlakeOut:
        case kTaskBeIll:
            break;
        case kTaskBreed: {
            const GTaskData* data = task->GetTaskData();
            const bool subject = data != nullptr && data->subject == this;
            view->SetState(subject ? keys.breed : keys.hidden);
            break;
        }
        case kTaskSpecialFlakeOut:
            view->SetState(keys.think);
            break;
        case kTaskFailure:
            view->SetState(keys.failed);
            break;
        case kTaskRest:
        case kTaskWaitForArk:
            view->SetState(keys.flakeOut);
            break;
        case kTaskCelebrate:
        case kTaskCelebrateVictory:
            view->SetState(keys.celebrate);
            break;
        default:
            ShowWork();
            break;
    }
    RefreshViewMarks();
}

GNameMask GCreature::GetWorkEffect() const {
    const GWorldKeys& keys = WorldKeys();
    const GScheduleTask* task = GetTask();
    if (task == nullptr) return keys.allWorkEffectsOff;
    switch (task->GetKind()) {
        case kTaskBuild:
            return FullNameOf(TaskObject(task)).Find("Idol") != str::npos ? keys.splintersOnLeft
                                                                          : keys.chipsOnLeft;
        case kTaskGatherWater:
            return keys.splashesOnLeft;
        case kTaskProductItem:
            return mItemInWork == kItemWood ? keys.splintersOnLeft : keys.allWorkEffectsOff;
        case kTaskUnload:
            return BeginsWith(FullNameOf(TaskObject(task)), "Water Tank") ? keys.splashesOnLeft
                                                                          : keys.dustOnLeft;
        default:
            return keys.allWorkEffectsOff;
    }
}

void GCreature::ShowWork() {
    GVWorldCreature* view = GetCreatureView();
    if (view == nullptr) return;
    view->SetState(WorldKeys().work);
    if (GVObject* sprite = view->GetSprite())
        sprite->SetStateRecursive(GetWorkEffect(), true, false);
}

void GCreature::RefreshViewMarks() {
    GVWorldCreature* view = GetCreatureView();
    if (view == nullptr) return;
    view->SetItem(mItemType, mItemSpecial);
    view->SetDiseaseMark(mDisease);
    bool collected[kMarkedPrescriptions + 1] = {};
    for (const GPrescription& prescription : mPrescriptions) {
        if (prescription.collected && prescription.type >= 1 &&
            prescription.type <= kMarkedPrescriptions) {
            collected[prescription.type] = true;
        }
    }
    view->ShowForageLoad(collected[3], collected[2], collected[1]);
}

void GCreature::PassToView(int value) {
    if (GVWorldCreature* view = GetCreatureView()) view->SetIcon(value);
}
