#include "simulation/creature.h"

#include <algorithm>
#include <utility>

#include "foundation/log.h"
#include "simulation/data/locationdata.h"
#include "simulation/data/saturate.h"
#include "simulation/itemkind.h"
#include "simulation/location.h"
#include "simulation/objectlistener.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/taskkind.h"

namespace {

// Places no creature builds at, though their records hold building work.
bool IsRefusedBuildTarget(const str& fullName) {
    return fullName == "Konut Roots" || fullName == "PreFlower" || fullName == "YayaFlower";
}

bool IsLion(const GCreatureData* data) {
    return data != nullptr && data->name == "Lion";
}

// A required item is met by the one carried; a nail serves where a hammer is asked for.
bool MeetsRequiredItem(int required, int carried) {
    return required == 0 || required == carried ||
           (required == kItemHammer && carried == kItemNail);
}

}  // namespace

GCreature::GCreature() : GObject(kCreature) {}

GCreature::~GCreature() = default;

void GCreature::OnTaskCancelled(GTaskData* taskData) {
    if (GetTask() != nullptr && GetTask()->GetTaskData() == taskData) SetTask(nullptr);
}

void GCreature::OnTaskCompleted(GTaskData* taskData) {
    if (GetTask() != nullptr && GetTask()->GetTaskData() == taskData) SetTask(nullptr);
}

void GCreature::OnTaskProgress(GTaskData*, float) {}

void GCreature::OnVisualEvent(GVWorldObject*, const GNameMask*) {}

void GCreature::SetData(std::unique_ptr<GObjectData> data) {
    if (data != nullptr && dynamic_cast<GCreatureData*>(data.get()) == nullptr) {
        LogPrintf("GCreature::SetData: not a creature block");
        return;
    }
    GObject::SetData(std::move(data));
    mDefendAllowed = IsLion(GetCreatureData());
}

void GCreature::Load(TXmlNode* node, LoadIdRegistry& ids) {
    SetData(std::make_unique<GCreatureData>());
    GObject::Load(node, ids);
}

GLocation* GCreature::AsLocation(GObject* object) {
    return dynamic_cast<GLocation*>(object);
}

int GCreature::CurrentTaskKind() const {
    return GetTask() != nullptr ? GetTask()->GetKind() : kTaskNone;
}

bool GCreature::StartTask(int kind, GObject* object) {
    return mWorld != nullptr && mWorld->StartTask(kind, this, object);
}

int GCreature::GetLevel() const {
    const GCreatureData* data = GetCreatureData();
    return data != nullptr ? data->level : 0;
}

int GCreature::GetResource(int type) const {
    const auto found = mResources.find(type);
    return found != mResources.end() ? found->second : 0;
}

bool GCreature::HasCollectedPrescriptions(const std::vector<int>& types) const {
    if (types.empty()) return true;
    if (types.size() != mPrescriptions.size()) return false;
    return std::all_of(types.begin(), types.end(), [this](int type) {
        return std::any_of(
            mPrescriptions.begin(), mPrescriptions.end(),
            [type](const GPrescription& p) { return p.type == type && p.collected; });
    });
}

void GCreature::SetLastTargets(GObject* before, GObject* after) {
    mLastBeforeTarget = before;
    mLastAfterTarget = after;
}

GTaskTargets GCreature::GetTaskTargets(int kind) const {
    const auto found = mTasksMemory.find(kind);
    return found != mTasksMemory.end() ? found->second : GTaskTargets();
}

void GCreature::SetTaskTargets(int kind, GObject* before, GObject* after) {
    const auto found = mTasksMemory.find(kind);
    if (found != mTasksMemory.end()) found->second = {before, after};
    if (mLastTask == kind) SetLastTargets(before, after);
}

void GCreature::RememberTaskTargets(int kind, GObject* before, GObject* after) {
    const auto [entry, added] = mTasksMemory.try_emplace(kind, GTaskTargets{before, after});
    if (added) return;
    if (before != nullptr) entry->second.before = before;
    if (after != nullptr) entry->second.after = after;
}

bool GCreature::IsTaskExcluded(int kind) const {
    return std::find(mExcludedTasks.begin(), mExcludedTasks.end(), kind) != mExcludedTasks.end();
}

void GCreature::ExcludeTask(int kind) {
    if (!IsTaskExcluded(kind)) mExcludedTasks.push_back(kind);
}

bool GCreature::IsValidBuildTarget(const GLocation* location) const {
    return location != nullptr && std::find(mValidBuildTargets.begin(), mValidBuildTargets.end(),
                                            location) != mValidBuildTargets.end();
}

void GCreature::AddValidBuildTarget(GLocation* location) {
    if (location == nullptr || IsValidBuildTarget(location)) return;
    const GLocationData* data = location->GetLocationData();
    if (data != nullptr && IsRefusedBuildTarget(data->fullName)) return;
    mValidBuildTargets.push_back(location);
}

bool GCreature::RemoveValidBuildTarget(const GLocation* location) {
    const auto found = std::find(mValidBuildTargets.begin(), mValidBuildTargets.end(), location);
    if (found == mValidBuildTargets.end()) return false;
    mValidBuildTargets.erase(found);
    return true;
}

bool GCreature::HasValidBuildTargets(int item) {
    const auto empty = std::find(mValidBuildTargets.begin(), mValidBuildTargets.end(), nullptr);
    if (empty != mValidBuildTargets.end()) mValidBuildTargets.erase(empty);
    return std::any_of(
        mValidBuildTargets.begin(), mValidBuildTargets.end(),
        [item](const GLocation* place) { return place != nullptr && place->HasWorkFor(item); });
}

void GCreature::SetOverrideTask(int kind) {
    if (kind != mOverrideTask) {
        mOverrideTask = kind;
        mOverrideTarget = nullptr;
    }
    mBreedAllowed = mOverrideTask == kTaskBreed;
    mDefendAllowed = mOverrideTask == kTaskDefend || IsLion(GetCreatureData());
}

void GCreature::ForgetObject(const GObject* object) {
    if (object == nullptr) return;
    for (auto& [kind, targets] : mTasksMemory) {
        if (targets.before == object) targets.before = nullptr;
        if (targets.after == object) targets.after = nullptr;
    }
    if (mLastBeforeTarget == object) mLastBeforeTarget = nullptr;
    if (mLastAfterTarget == object) mLastAfterTarget = nullptr;
    if (mOverrideTarget == object) mOverrideTarget = nullptr;
    for (GLocation*& place : mValidBuildTargets)
        if (place == object) place = nullptr;
    for (GLocation*& place : mPlaces)
        if (place == object) place = nullptr;
}

GLocation* GCreature::GetPlace(int needKind) const {
    if (needKind < kFoodPlace || needKind > kBuildPlace) return nullptr;
    return mPlaces[needKind - kFoodPlace];
}

void GCreature::SetPlace(int needKind, GLocation* location) {
    if (needKind < kFoodPlace || needKind > kBuildPlace) return;
    mPlaces[needKind - kFoodPlace] = location;
}

bool GCreature::HasTaskData(int kind) const {
    const GCreatureData* data = GetCreatureData();
    return data != nullptr ? data->HasTaskData(kind) : kind == kTaskNone;
}

int GCreature::GetTaskDuration(int kind) const {
    const GCreatureData* data = GetCreatureData();
    return data != nullptr ? data->GetTaskDuration(kind) : 0;
}

int GCreature::GetTaskProduction(int kind) const {
    const GCreatureData* data = GetCreatureData();
    if (data == nullptr) return 0;
    const auto found = data->aiCoefs.find(kind);
    if (found == data->aiCoefs.end()) return 0;
    const int production = found->second.production;
    int p = production;
    if (mItemSpecial && kind == kTaskBuild) {
        if (mItemType == kItemShovel || mItemType == kItemTomahawk) {
            p *= 2;
        } else if (mItemType == kItemHammer) {
            p *= 3;
        }
    }
    if (kind == kTaskBreed) return p;
    const float speed = mWorld != nullptr ? mWorld->GetSpeedValue() : 1.0f;
    // Single precision, as the speed value is: 0.7 x 10 is 7.
    const float scaled = speed * static_cast<float>(p);
    p = TruncateToInt(scaled);
    if (speed < 1.0f && p == 0 && production > 0) return 1;
    return p;
}

void GCreature::RaiseTaskWeight(int kind, int percent) {
    if (GCreatureData* data = GetCreatureData()) data->RaiseTaskWeight(kind, percent);
}

int GCreature::GetStrongestTask() const {
    const GCreatureData* data = GetCreatureData();
    if (data == nullptr) return kTaskNone;
    const int kind = data->GetHeaviestTask();
    if (kind == kTaskBreed && !mBreedAllowed) return kTaskNone;
    if (kind == kTaskDefend && !mDefendAllowed) return kTaskNone;
    return kind;
}

bool GCreature::CanResearch(const GComponentRecord& component) const {
    return HasTaskData(kTaskResearch) &&
           (component.itemRequiredToResearch == 0 ||
            component.itemRequiredToResearch == mItemType) &&
           component.researchQuantity > 0;
}

bool GCreature::MeetsRequirements(const GResourceRecord& record) const {
    const GCreatureData* data = GetCreatureData();
    if (record.requiredName.Length() != 0 && (data == nullptr || record.requiredName != data->name))
        return false;
    if (record.requiredLevel > GetLevel()) return false;
    return record.requiredEvent == 0 ||
           (mWorld != nullptr && mWorld->IsEventSet(record.requiredEvent));
}

bool GCreature::CanDoAction(const GResourceRecord& record) const {
    return HasTaskData(record.action) && MeetsRequiredItem(record.requiredItem, mItemType) &&
           (record.requiredType == 0 || GetResource(record.requiredType) >= 1) &&
           MeetsRequirements(record);
}

bool GCreature::CanProduceItem(const GResourceRecord& record) {
    const int item = record.productionItem;
    if (item == kItemNone || !MeetsRequiredItem(record.requiredItem, mItemType)) return false;
    if (item == mItemType || record.requiredItemSave == 0) return false;
    if (!MeetsRequirements(record)) return false;
    // Wood for a hammer holder only once the last ark pair is ready.
    if (item == kItemWood && mItemType == kItemHammer &&
        (mWorld == nullptr || !mWorld->IsLastPairReady()))
        return false;
    mItemInWork = item;
    return true;
}
