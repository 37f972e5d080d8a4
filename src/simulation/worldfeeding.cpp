// The feeding cycle of the tick: once every cycle length the places regrow, the tribe eats and
// drinks from its stores as a whole, every creature grows hungrier and thirstier by the shortage
// or recovers by a fixed relief, and each creature lives its cycle (illness, health).
//
// Food comes from the food bin once it is built and holds something, else from the fields (the
// places other than the bin that admit a "Puff"). Water comes from the tank once it is built,
// else from the "Water Fall" (none while the piranhas are there), and from the pool once the snow
// has melted when the rest gives nothing.
//
// The tuning and the stores come from data files and saves and may hold any number: sums are
// taken in 64 bits, and a hunger or thirst change is clamped before it becomes a whole number.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "simulation/data/saturate.h"
#include "simulation/itemkind.h"
#include "simulation/taskkind.h"
#include "simulation/world.h"
#include "simulation/worldpass.h"

namespace {

constexpr int kEventFoodBinBuilt = 1;
constexpr int kEventWaterTankBuilt = 2;
constexpr int kEventSnowMelted = 5;
constexpr int kEventPiranhas = 16;
// The skill level whose needs are the easy ones.
constexpr int kEasySkillLevel = 1;
constexpr int kParkedPeriod = 60;
// A change of hunger or thirst beyond this is as good as it: the creature's value stays within
// 0 and 100 whatever it is.
constexpr double kLargestNeedChange = 1000000.0;

// Whether the place is one the tribe feeds on before the bin: it admits a "Puff" of any level.
bool IsField(const GLocation& location) {
    return location.CanUse("Puff", INT_MAX);
}

// A cycle's need of the tribe: count x need per creature (as unsigned whole numbers, as the
// tuning has it) x the speed factor, truncated.
int TribeNeed(size_t count, int perCreature, float speed) {
    const uint32_t need = static_cast<uint32_t>(count) * static_cast<uint32_t>(perCreature);
    return TruncateToInt(static_cast<float>(need) * speed);
}

// The change a shortage gives each creature: the share each lacks (whole-number division) x the
// coefficient, truncated.
float ShortageChange(int need, int stock, size_t count, float coefficient) {
    const int64_t share = (static_cast<int64_t>(need) - stock) / static_cast<int64_t>(count);
    const float change = static_cast<float>(share) * coefficient;
    return static_cast<float>(
        TruncateToInt(std::clamp<double>(change, -kLargestNeedChange, kLargestNeedChange)));
}

// The change a fed cycle gives each creature: minus the relief.
float ReliefChange(int relief) {
    return static_cast<float>(
        std::clamp<double>(-static_cast<double>(relief), -kLargestNeedChange, kLargestNeedChange));
}

void SetStock(GLocation* location, int type, int64_t quantity) {
    if (location == nullptr) return;
    location->SetQuantity(type, SaturateToInt(quantity));
    location->RefreshStockViews();
}

}  // namespace

void GWorld::RunFeedingCycle() {
    if (mSchedule.CountTasksOfKind(kTaskFrozenPause) > 0 ||
        mSchedule.CountTasksOfKind(kTaskFrozenPause2) > 0)
        return;
    GLocation* const bin = mPlaces[kFoodBin];
    GLocation* const tank = mPlaces[kWaterTank];
    GLocation* const fall = mPlaces[kWaterFall];
    GLocation* const pool = mPlaces[kPool];
    const bool binBuilt = IsEventSet(kEventFoodBinBuilt);
    const bool tankBuilt = IsEventSet(kEventWaterTankBuilt);
    const bool snowMelted = IsEventSet(kEventSnowMelted);

    const int binFood = binBuilt && bin != nullptr ? bin->GetResourceQuantity(kResourceFood) : 0;
    const bool fromFields = binFood == 0;
    int water = 0;
    if (tankBuilt) {
        water = tank != nullptr ? tank->GetResourceQuantity(kResourceWater) : 0;
    } else if (!IsEventSet(kEventPiranhas)) {
        water = fall != nullptr ? fall->GetResourceQuantity(kResourceWater) : 0;
    }
    const bool poolApplies = snowMelted && water == 0 && pool != nullptr;

    const float speed = GetSpeedValue();
    for (const std::unique_ptr<GLocation>& location : mLocations)
        location->Grow(speed);
    int food = binFood;
    if (fromFields) {
        int64_t sum = 0;
        for (const std::unique_ptr<GLocation>& location : mLocations) {
            if (location.get() != bin && IsField(*location))
                sum += location->GetResourceQuantity(kResourceFood);
        }
        food = SaturateToInt(sum);
    }
    if (binBuilt && bin != nullptr) bin->RefreshStockViews();
    if (poolApplies) water = pool->GetResourceQuantity(kResourceWater);

    const size_t count = mCreatures.size();
    if (count == 0) return;
    const bool easy = mPrefs.GetInt("currentskilllevel", 0) == kEasySkillLevel;
    const int foodNeed =
        TribeNeed(count, easy ? mGlobalData.needFoodEasy : mGlobalData.needFood, speed);
    const int waterNeed =
        TribeNeed(count, easy ? mGlobalData.needWaterEasy : mGlobalData.needWater, speed);

    float hunger = 0.0f;
    if (foodNeed > food) {
        hunger = ShortageChange(foodNeed, food, count, mGlobalData.hungerHRR);
        if (binBuilt) {
            SetStock(bin, kResourceFood, 0);
        } else {
            for (const std::unique_ptr<GLocation>& location : mLocations) {
                if (IsField(*location)) SetStock(location.get(), kResourceFood, 0);
            }
        }
    } else {
        hunger = ReliefChange(mGlobalData.hungerReduction);
        if (fromFields) {
            int64_t rest = foodNeed;
            for (const std::unique_ptr<GLocation>& location : mLocations) {
                if (rest <= 0) break;
                if (location.get() == bin || !IsField(*location)) continue;
                const int64_t stock = location->GetResourceQuantity(kResourceFood);
                if (stock <= 0) continue;
                const int64_t taken = std::min(stock, rest);
                SetStock(location.get(), kResourceFood, stock - taken);
                rest -= taken;
            }
        } else {
            SetStock(bin, kResourceFood, static_cast<int64_t>(binFood) - foodNeed);
        }
    }
    for (const std::unique_ptr<GCreature>& creature : mCreatures)
        creature->AddHunger(hunger);

    float thirst = 0.0f;
    if (waterNeed > water) {
        thirst = ShortageChange(waterNeed, water, count, mGlobalData.thirstHRR);
        if (tankBuilt) {
            SetStock(tank, kResourceWater, 0);
            SetStock(fall, kResourceWater, 0);
        }
        if (poolApplies) SetStock(pool, kResourceWater, 0);
        // Before the snow melts a shortage of water hurts nobody.
        if (!snowMelted) thirst = 0.0f;
    } else {
        thirst = ReliefChange(mGlobalData.thirstReduction);
        GLocation* source = poolApplies ? pool : tankBuilt ? tank : fall;
        SetStock(source, kResourceWater, static_cast<int64_t>(water) - waterNeed);
    }
    for (const std::unique_ptr<GCreature>& creature : mCreatures)
        creature->AddThirst(thirst);

    // A creature's cycle may end with its walk to the graveyard, which may take it away at once.
    for (GCreature* creature : worldpass::ListCopy(mCreatures)) {
        if (!IsInWorld(creature)) continue;
        const bool wasIll = creature->IsIll();
        if (creature->LiveCycle() || wasIll || !creature->IsIll() || mPlay.simulating) continue;
        const auto found = std::find_if(mCreatures.begin(), mCreatures.end(),
                                        [creature](const std::unique_ptr<GCreature>& entry) {
                                            return entry.get() == creature;
                                        });
        if (found == mCreatures.end()) continue;
        mPlay.parkedA = SaturateToShort(found - mCreatures.begin());
        mPlay.parkedCountdown = kParkedPeriod;
        mPlay.parkedB = -1;
    }
}
