// Objects leaving the world. The order is the same everywhere: the object leaves its list and
// every reference to it becomes none (the world's well-known places, pairs, selection, hover and
// held creature, and what creatures and monsters remember), so that no one can choose it again;
// only then are its tasks cancelled, and those told of it may start new tasks at once. It waits
// in the deletion queue, where StartTask refuses it, until the tick deletes it with its view.
#include <algorithm>
#include <utility>

#include "simulation/views/worldmanager.h"
#include "simulation/world.h"

namespace {

template <class T>
std::unique_ptr<GObject> TakeOut(GWorld::Owned<T>& list, const GObject* object) {
    const auto found =
        std::find_if(list.begin(), list.end(),
                     [object](const std::unique_ptr<T>& entry) { return entry.get() == object; });
    if (found == list.end()) return nullptr;
    std::unique_ptr<GObject> taken(found->release());
    list.erase(found);
    return taken;
}

}  // namespace

std::unique_ptr<GObject> GWorld::TakeFromList(GObject* object) {
    if (object == nullptr) return nullptr;
    switch (object->GetKind()) {
        case GObject::kCreature:
            return TakeOut(mCreatures, object);
        case GObject::kLocation:
            return TakeOut(mLocations, object);
        case GObject::kMonster:
            return TakeOut(mMonsters, object);
        case GObject::kGrave:
            return TakeOut(mGraves, object);
        default:
            return nullptr;
    }
}

void GWorld::ForgetObject(GObject* object) {
    if (mSelected == object) SelectObject(nullptr);
    if (mHeld == object) TakeCreature(nullptr);
    // The least forms of the selection may keep it; the world never does.
    if (mSelected == object) mSelected = nullptr;
    if (mHeld == object) mHeld = nullptr;
    if (mHovered == object) mHovered = nullptr;
    for (GLocation*& place : mPlaces)
        if (place == object) place = nullptr;
    for (auto& [first, second] : mPairs) {
        if (first == object) first = nullptr;
        if (second == object) second = nullptr;
    }
    for (const std::unique_ptr<GCreature>& creature : mCreatures)
        creature->ForgetObject(object);
    for (const std::unique_ptr<GMonster>& monster : mMonsters)
        monster->ForgetObject(object);
}

void GWorld::CancelTasks(GObject* object) {
    if (object == nullptr) return;
    object->SetTask(nullptr);
    mSchedule.CancelTasksOf(object, true, 0);
}

bool GWorld::QueueForDeletion(GObject* object) {
    std::unique_ptr<GObject> taken = TakeFromList(object);
    if (taken == nullptr) return false;
    mDeletionQueue.push_back(std::move(taken));
    ForgetObject(object);
    CancelTasks(object);
    // A callback of the cancellation may have given it a task of its own again.
    if (object->GetTask() != nullptr) CancelTasks(object);
    return true;
}

void GWorld::DeleteQueuedObjects() {
    // One at a time, each staying queued (refused by StartTask) until its tasks are gone; the
    // cancellations may queue further objects, which go in the same pass.
    while (!mDeletionQueue.empty()) {
        GObject* object = mDeletionQueue.front().get();
        CancelTasks(object);
        if (mSelected == object) SelectObject(nullptr);
        if (GVWorldObject* view = object->GetView()) {
            object->SetView(nullptr);
            if (mViewManager != nullptr) mViewManager->RemoveVisual(view);
        }
        const auto entry = std::find_if(
            mDeletionQueue.begin(), mDeletionQueue.end(),
            [object](const std::unique_ptr<GObject>& queued) { return queued.get() == object; });
        // A cleared world took it already.
        if (entry == mDeletionQueue.end()) continue;
        const std::unique_ptr<GObject> deleted = std::move(*entry);
        mDeletionQueue.erase(entry);
    }
}
