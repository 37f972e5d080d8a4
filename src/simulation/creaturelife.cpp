// The creature's life: needs, health by disease, hunger and thirst, speed and illness by age,
// devolving and changing form.
//
// The arithmetic on the block's floats is single precision, as the fields are: a product such as
// 10 x 0.7 comes out 7, where a double would leave it just below.
//
// Numbers come from definition files and saves and may be anything: every float-to-integer step
// saturates (NaN gives 0) to the field's range before the rule's own clamp or cap, and sums of
// two 32-bit values are taken in 64 bits. An age limit of 100 or more (no span left to age over)
// gives the old-age value past the limit instead of dividing by zero or turning the slope round.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "foundation/random.h"
#include "gv/gvobject.h"
#include "simulation/creature.h"
#include "simulation/data/saturate.h"
#include "simulation/itemkind.h"
#include "simulation/objectlistener.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldcreature.h"
#include "simulation/worldkeys.h"

namespace {

// Global event: the ark is full; nobody dies any more.
constexpr int kEventArkFull = 30;
// Hunger and thirst above this cost health, below kNeedLow they let it come back.
constexpr int kNeedHigh = 50;
constexpr int kNeedLow = 10;
constexpr int kNeedMax = 100;
// The age at which the ageing rules reach their end values.
constexpr int kOldAge = 100;

void AddNeed(int& value, float delta, const GCreatureData* data) {
    const float coef = data != nullptr ? data->hungerAddCoef : 1.0f;
    const float added = delta * coef;
    const int64_t sum = static_cast<int64_t>(value) + TruncateToInt(added);
    value = static_cast<int>(std::clamp<int64_t>(sum, 0, kNeedMax));
}

bool IsInNeed(int need, const GCreatureData* data) {
    if (data == nullptr || need <= kNeedHigh) return false;
    const float limit = static_cast<float>(data->startHealth) * data->healthPercentsToEat / 100.0f;
    return static_cast<float>(data->currentHealth) <= limit;
}

// from + (to - from) x the share of the years between the limit and old age that have passed;
// past the limit, to itself when no years are left between them.
float AgeSlope(float age, int limit, float from, float to) {
    const int64_t span = int64_t{kOldAge} - limit;
    if (span <= 0) return to;
    return from + (to - from) * (age - static_cast<float>(limit)) / static_cast<float>(span);
}

}  // namespace

void GCreature::AddHunger(float delta) {
    AddNeed(mHunger, delta, GetCreatureData());
}

void GCreature::AddThirst(float delta) {
    AddNeed(mThirst, delta, GetCreatureData());
}

bool GCreature::IsHungry() const {
    return IsInNeed(mHunger, GetCreatureData());
}

bool GCreature::IsThirsty() const {
    return IsInNeed(mThirst, GetCreatureData());
}

float GCreature::GetSpeed() const {
    const GCreatureData* data = GetCreatureData();
    if (data == nullptr) return 0.0f;
    if (mAge <= static_cast<float>(data->minAge)) return data->speed;
    const float speed = AgeSlope(mAge, data->minAge, data->speed, data->minSpeed);
    return speed >= data->minSpeed ? speed : data->minSpeed;
}

bool GCreature::ShouldFallIll() {
    TRandom* random = GetRandom();
    if (random == nullptr) return false;
    const GCreatureData* data = GetCreatureData();
    float chance = 0.0f;
    if (data != nullptr && mAge > static_cast<float>(data->diseaseMinAge)) {
        chance = AgeSlope(mAge, data->diseaseMinAge, data->diseaseProbMin, data->diseaseProbMax);
    }
    const int drawn = random->NextRange(0, 100);
    return chance > static_cast<float>(drawn);
}

float GCreature::NeedLoss(int resourceType, int need, int16_t& lostHealth) {
    const GCreatureData* data = GetCreatureData();
    const auto found = data->consumptions.find(resourceType);
    if (found == data->consumptions.end()) return 0.0f;
    const GConsumption& consumption = found->second;
    if (need > kNeedHigh) {
        const float lost =
            static_cast<float>(static_cast<int64_t>(consumption.healthLost) * need) / 100.0f;
        lostHealth = SaturateToShort(TruncateToInt(lost + static_cast<float>(lostHealth)));
        return lost;
    }
    if (need < kNeedLow) {
        const int regained = std::min<int>(consumption.healthAdd, lostHealth);
        lostHealth = SaturateToShort(
            std::max<int64_t>(static_cast<int64_t>(lostHealth) - consumption.healthAdd, 0));
        return -static_cast<float>(regained);
    }
    return 0.0f;
}

bool GCreature::LiveCycle() {
    GCreatureData* data = GetCreatureData();
    if (data == nullptr || CurrentTaskKind() == kTaskDevolve) return false;
    if (ShouldFallIll() && mWorld != nullptr) SetDisease(mWorld->RollOutcome());

    float loss = 0.0f;
    if (mDisease != 0) {
        loss = data->diseaseHealthLost;
        data->lostHealthD = SaturateToShort(
            TruncateToInt(static_cast<float>(data->lostHealthD) + data->diseaseHealthLost));
    }
    loss += NeedLoss(kResourceFood, mHunger, data->lostHealthH);
    loss += NeedLoss(kResourceWater, mThirst, data->lostHealthT);

    data->currentHealth =
        SaturateToShort(TruncateToInt(static_cast<float>(data->currentHealth) - loss));
    const int cap = data->startHealth - data->lostHealthD;
    if (data->currentHealth > cap) data->currentHealth = SaturateToShort(cap);

    if (data->currentHealth > 0) return false;
    // Without a world the creature dies all the same; there is only nobody to ask.
    if (mWorld == nullptr) return true;
    if (mWorld->IsEventSet(kEventArkFull)) return false;
    mWorld->StartTask(kTaskGoToGraveyard, this, nullptr);
    return true;
}

bool GCreature::StartDevolve() {
    if (!StartTask(kTaskDevolve, nullptr)) return false;
    mItemType = kItemNone;
    mItemSpecial = false;
    const GCreatureData* data = GetCreatureData();
    GEvolutionMemory remembered;
    if (data != nullptr) remembered = {data->name, data->fullName, data->level};
    mEvolutionMemory.push_back(remembered);
    if (GVWorldCreature* view = GetCreatureView()) {
        const GWorldKeys& keys = WorldKeys();
        view->SetItem(kItemNone, false);
        view->SetState(keys.hidden);
        if (GVObject* sprite = view->GetSprite()) {
            sprite->SetStateRecursive(keys.shadowHidden, true, false);
            sprite->SetStateRecursive(keys.markHidden, true, false);
        }
    }
    return true;
}

void GCreature::ChangeData(const GCreatureData& definition) {
    // The copy is made while the old block still lives: the definition may be that block.
    auto block = std::make_unique<GCreatureData>(definition);
    const std::unique_ptr<GObjectData> taken = TakeData();
    const auto* old = static_cast<const GCreatureData*>(taken.get());

    const int64_t newStart = block->startHealth;
    int64_t health = newStart;
    if (old != nullptr) {
        block->curAnimator = old->curAnimator;
        block->curHeadAnimator = old->curHeadAnimator;
        block->curVoice = old->curVoice;
        // What hunger and thirst took comes back before the health is carried over.
        const int64_t oldHealth = std::min<int64_t>(
            static_cast<int64_t>(old->currentHealth) + old->lostHealthH + old->lostHealthT,
            old->startHealth);
        if (old->startHealth != 0 && newStart >= oldHealth) {
            health = newStart * oldHealth / old->startHealth;
        }
        std::copy(std::begin(old->timeSpent), std::end(old->timeSpent), block->timeSpent);
    } else {
        std::fill(std::begin(block->timeSpent), std::end(block->timeSpent), 0);
    }
    block->currentHealth = SaturateToShort(std::min(health, newStart));
    block->lostHealthD = 0;
    block->lostHealthT = 0;
    block->lostHealthH = 0;
    if (block->name == "Zebra") {
        for (int kind : {kTaskDoctor, kTaskResearch})
            block->timeSpent[kind] = std::max(block->timeSpent[kind], 1);
    }
    // GObject's: the form changes, what the creature may do stays as it was.
    GObject::SetData(std::move(block));
}
