#include "simulation/world.h"

GWorld::GWorld() {
    mMessages.Attach(&mGlobalData, &mNames, nullptr);
}

GWorld::~GWorld() = default;

void GWorld::SetViews(GVWorldManager* viewManager, GMessageListener* listener) {
    mViewManager = viewManager;
    mListener = listener != nullptr ? listener : &mSilentListener;
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

// The world's rules for these arrive with the objects and rules they need.
void GWorld::OnTaskCompleted(GTaskData*) {}

bool GWorld::ResetTaskAnimations(GTaskData*) {
    return true;
}

bool GWorld::StartTask(int, GObject*, GObject*) {
    return false;
}

void GWorld::Transform(GObject*, const str&) {}

void GWorld::OnObjectEvent(GObject*, GObject*) {}

void GWorld::FireWorldEvent(int) {}

bool GWorld::IsCounterClear() {
    return false;
}

bool GWorld::OnCreatureDeath(GObject*, int) {
    return false;
}

int GWorld::RollOutcome() {
    return 0;
}

int GWorld::GetTaskBonusPercents(int) {
    return 0;
}

float GWorld::GetSpeedValue() {
    return 1.0f;
}

void GWorld::SetArkMaterials(GObject*) {}

bool GWorld::IsLastPairReady() {
    return false;
}

bool GWorld::IsCarrierAtStep() {
    return false;
}

void GWorld::OnVisualEvent(GVWorldObject*, const GNameMask*) {}
