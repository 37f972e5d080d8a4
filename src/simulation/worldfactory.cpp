// The object factories: every creature, location and monster comes into being here, as a copy of
// its definition's block, appended to the world's list of its kind, with its view when the world
// has a view manager; creatures and monsters then start to wander. Clear is their counterpart.
//
// The world's generator is drawn in a fixed order (a creature's hunger coefficient, its view's
// look and place, its death age): two new games give the same world.
#include <cstdint>
#include <memory>

#include "foundation/random.h"
#include "simulation/taskkind.h"
#include "simulation/world.h"
#include "simulation/worldsounds.h"

namespace {

// The sound of a new monster.
constexpr int kSoundNewMonster = 50;

// lo + trunc(u x (hi - lo + 1)); a range whose minimum exceeds its maximum gives the minimum.
int DrawDeathAge(TRandom& random, int lo, int hi) {
    if (hi < lo) return lo;
    const double span = static_cast<double>(hi) - lo + 1.0;
    return lo + static_cast<int>(random.NextDouble() * span);
}

}  // namespace

bool GWorld::CreateCreature(const str& fullName, int16_t x, int16_t y) {
    return AddCreature(mNames.FindCreatureDefinition(fullName), x, y);
}

bool GWorld::CreateLocation(const str& fullName, int16_t x, int16_t y) {
    return AddLocation(mNames.FindLocationDefinition(fullName), x, y);
}

bool GWorld::CreateMonster(const str& fullName, int16_t x, int16_t y) {
    return AddMonster(mNames.FindMonsterDefinition(fullName), x, y);
}

bool GWorld::AddCreature(const GCreatureData* definition, int16_t x, int16_t y) {
    if (definition == nullptr) return false;
    auto owned = std::make_unique<GCreature>();
    GCreature* creature = owned.get();
    creature->SetData(std::make_unique<GCreatureData>(*definition));
    creature->SetNickName(mGlobalData.PickRandomName());
    creature->SetBirthDate(static_cast<int>(mPlay.currentTime));
    creature->SetWorld(this);
    creature->SetRandom(&mRandom);
    creature->SetTask(nullptr);
    creature->SetPlace(GCreature::kFoodPlace, mPlaces[kFoodBin]);
    creature->SetPlace(GCreature::kWaterPlace, mPlaces[kWaterTank]);
    creature->SetOverrideProb(mGlobalData.overrideProbPercents);
    creature->GetCreatureData()->hungerAddCoef = GlobalData::DrawHundredths(
        mRandom, mGlobalData.hungerAddCoefMin, mGlobalData.hungerAddCoefMax);
    mCreatures.push_back(std::move(owned));
    mPlay.creaturesChanged = true;
    if (mViewManager != nullptr) MakeCreatureView(creature, x, y);

    const GLocation* hospital = mPlaces[kHospital];
    const bool cared = hospital != nullptr && hospital->IsBuilt();
    creature->SetDeathAge(
        cared ? DrawDeathAge(mRandom, mGlobalData.deathAgeMinHosp, mGlobalData.deathAgeMaxHosp)
              : DrawDeathAge(mRandom, mGlobalData.deathAgeMin, mGlobalData.deathAgeMax));
    StartTask(kTaskFlakeOut, creature, nullptr);
    return true;
}

bool GWorld::AddLocation(const GLocationData* definition, int16_t x, int16_t y) {
    if (definition == nullptr) return false;
    auto owned = std::make_unique<GLocation>();
    GLocation* location = owned.get();
    location->SetData(std::make_unique<GLocationData>(*definition));
    location->SetTask(nullptr);
    mLocations.push_back(std::move(owned));
    if (mViewManager != nullptr) MakeLocationView(location, x, y);
    return true;
}

bool GWorld::AddMonster(const GMonsterData* definition, int16_t x, int16_t y) {
    if (definition == nullptr) return false;
    auto block = std::make_unique<GMonsterData>(*definition);
    block->tomahawkVulnerability = mGlobalData.tomahawkVulnerability;
    auto owned = std::make_unique<GMonster>();
    GMonster* monster = owned.get();
    monster->SetData(std::move(block));
    monster->SetNickName("Hyena");
    monster->SetWorld(this);
    monster->SetRandom(&mRandom);
    monster->SetTask(nullptr);
    mMonsters.push_back(std::move(owned));
    if (mViewManager != nullptr) MakeMonsterView(monster, x, y);
    StartTask(kTaskFlakeOut, monster, nullptr);
    // Even when its view could not be made. An object that leaves is deleted only by the tick,
    // so the monster is still there.
    WorldSounds().PlayEvent(monster, 0.0f, 0.0f, kSoundNewMonster, 0);
    return true;
}

void GWorld::Clear() {
    mPlay.currentTime = 0;
    mPlay.lastCycleTime = 0;
    mPlay.lastAutoSaveTime = 0;
    mPlay.lastPeriodicTime = 0;
    mPlay.catchUpTarget = 0;
    mPlay.catchUpStart = 0;
    mPlay.catchUpSpan = 0;
    mPlay.simulating = false;
    mPlaces.fill(nullptr);
    for (auto& pair : mPairs)
        pair = {nullptr, nullptr};
    mSelected = nullptr;
    mHovered = nullptr;
    mHeld = nullptr;
    // The schedule first, telling nobody: no task outlives the objects it names.
    mSchedule.Clear();
    mCreatures.clear();
    mPlay.creaturesChanged = true;
    mLocations.clear();
    mMonsters.clear();
    mGraves.clear();
    mDeletionQueue.clear();
    mEvents.clear();
}
