#include "simulation/world.h"

#include <algorithm>

#include "simulation/itemkind.h"
#include "simulation/location.h"
#include "simulation/taskkind.h"

namespace {

// Global events the world's small answers read.
constexpr int kEventLastTreasureFound = 38;

template <class T>
bool Holds(const GWorld::Owned<T>& list, const GObject* object) {
    return std::any_of(list.begin(), list.end(),
                       [object](const std::unique_ptr<T>& entry) { return entry.get() == object; });
}

}  // namespace

GWorld::GWorld() {
    mMessages.Attach(&mGlobalData, &mNames, &mFacts);
}

GWorld::~GWorld() {
    Clear();
}

GWorld& GWorld::Instance() {
    static GWorld world;
    return world;
}

void GWorld::SetViews(GVWorldManager* viewManager, GMessageListener* listener) {
    mViewManager = viewManager;
    mListener = listener != nullptr ? listener : &mSilentListener;
}

bool GWorld::IsQueuedForDeletion(const GObject* object) const {
    return object != nullptr && Holds(mDeletionQueue, object);
}

bool GWorld::IsInWorld(const GObject* object) const {
    return object != nullptr && (Holds(mCreatures, object) || Holds(mLocations, object) ||
                                 Holds(mMonsters, object) || Holds(mGraves, object));
}

GObject* GWorld::GetArkMaterials(int index) const {
    return index >= 0 && index < kPairCount ? mPairs[index].first : nullptr;
}

GObject* GWorld::GetArkPartPlace(int index) const {
    return index >= 0 && index < kPairCount ? mPairs[index].second : nullptr;
}

void GWorld::SetPair(int index, GObject* first, GObject* second) {
    if (index < 0 || index >= kPairCount) return;
    mPairs[index] = {first, second};
}

GObject* GWorld::GetPairedObject(GObject* object) {
    if (object == nullptr) return nullptr;
    for (const auto& [first, second] : mPairs) {
        if (second == object) return first;
        if (first != nullptr && first == object) return second;
    }
    return nullptr;
}

bool GWorld::IsEventSet(int id) {
    return mGlobalData.IsEventSet(id);
}

int GWorld::GetRegistryValue(int index) {
    return mNames.GetEvolutionTotal(index);
}

void GWorld::FireWorldEvent(int id) {
    HandleWorldEvent(id);
}

bool GWorld::IsCounterClear() {
    return mGlobalData.lionsNum <= 0;
}

float GWorld::GetSpeedValue() {
    const int level = mPlay.speedLevel;
    return level >= 0 && level <= 2 ? mGlobalData.speedMults[level] : mGlobalData.speedMults[1];
}

bool GWorld::IsLastPairReady() {
    const auto* materials = dynamic_cast<const GLocation*>(GetArkMaterials(kPairCount - 1));
    return materials != nullptr && materials->HasResourceType(kItemWood) &&
           materials->GetResourceQuantity(kResourceBuild) >= 1 &&
           mGlobalData.IsEventSet(kEventLastTreasureFound);
}

// The world's rules for these arrive with the objects and rules they need.
void GWorld::OnTaskCompleted(GTaskData*) {}

bool GWorld::ResetTaskAnimations(GTaskData*) {
    return true;
}

void GWorld::Transform(GObject*, const str&) {}

void GWorld::OnObjectEvent(GObject*, GObject*) {}

int GWorld::RollOutcome() {
    return 0;
}

int GWorld::GetTaskBonusPercents(int) {
    return 0;
}

bool GWorld::IsCarrierAtStep() {
    return false;
}

void GWorld::OnVisualEvent(GVWorldObject*, const GNameMask*) {}
