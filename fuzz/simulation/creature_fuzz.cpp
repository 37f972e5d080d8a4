// A creature's life and choices: the input's first element is loaded as the creature's "Data"
// block; its state, its generator's seed and every answer of its world are read from the input's
// bytes in turn. It then lives a hundred cycles, each with needs added, the cycle run, its next
// task chosen and its block queried. Aborts when health passes its cap, a need leaves 0 to 100,
// or one choice asks the world for more tasks than the rounds of the choice can.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "foundation/random.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/creature.h"
#include "simulation/data/creaturedata.h"
#include "simulation/data/locationdata.h"
#include "simulation/location.h"
#include "simulation/objectlistener.h"

namespace {

// The input's bytes, read in turn and from the start again when they run out.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    uint8_t Next() {
        if (mSize == 0) return 0;
        const uint8_t byte = mData[mAt];
        mAt = (mAt + 1) % mSize;
        return byte;
    }
    int32_t NextInt() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Next();
        int32_t signedValue;
        std::memcpy(&signedValue, &value, sizeof(value));
        return signedValue;
    }
    // Mostly ordinary values, sometimes the extremes a damaged save may hold.
    float NextFloat() {
        static const float kOdd[] = {0.0f,
                                     -1.0f,
                                     1e30f,
                                     -1e30f,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     0.5f,
                                     1e-30f};
        const uint8_t byte = Next();
        if (byte < 16) return kOdd[byte % 8];
        return static_cast<float>(static_cast<int8_t>(Next())) * 0.75f;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
};

class ByteWorld : public GObjectListener {
public:
    explicit ByteWorld(Bytes& bytes) : mBytes(bytes) {}

    void OnTaskCompleted(GTaskData*) override {}
    bool ResetTaskAnimations(GTaskData*) override { return true; }
    bool StartTask(int, GObject*, GObject*) override {
        ++starts;
        return (mBytes.Next() & 1) != 0;
    }
    void Transform(GObject*, const str&) override {}
    void OnObjectEvent(GObject*, GObject*) override {}
    bool IsEventSet(int) override { return (mBytes.Next() & 1) != 0; }
    void FireWorldEvent(int) override {}
    bool IsCounterClear() override { return (mBytes.Next() & 1) != 0; }
    bool OnCreatureDeath(GObject*, int) override { return false; }
    int RollOutcome() override { return mBytes.Next() % 7; }
    int GetRegistryValue(int) override { return mBytes.NextInt(); }
    int GetTaskBonusPercents(int) override { return mBytes.NextInt(); }
    GObject* GetPairedObject(GObject*) override { return nullptr; }
    float GetSpeedValue() override { return mBytes.NextFloat(); }
    void SetArkMaterials(GObject*) override {}
    bool IsLastPairReady() override { return (mBytes.Next() & 1) != 0; }
    bool IsCarrierAtStep() override { return (mBytes.Next() & 1) != 0; }

    int starts = 0;

private:
    Bytes& mBytes;
};

std::unique_ptr<GLocation> Place(Bytes& bytes) {
    auto place = std::make_unique<GLocation>();
    auto block = std::make_unique<GLocationData>();
    block->fullName = "Well";
    for (int i = bytes.Next() % 4; i > 0; --i) {
        GResourceRecord record;
        record.type = bytes.Next() % 6;
        record.action = bytes.Next() % 40;
        record.quantity = bytes.NextInt();
        record.requiredItem = bytes.Next() % 12;
        record.requiredType = bytes.Next() % 3;
        record.requiredEvent = bytes.Next() % 3;
        record.requiredLevel = static_cast<int16_t>(bytes.Next() % 4);
        record.productionItem = bytes.Next() % 12;
        record.requiredItemSave = static_cast<int16_t>(bytes.Next() & 1);
        block->resources.push_back(record);
    }
    place->SetData(std::move(block));
    return place;
}

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXmlNode root;
    root.ParseString(reinterpret_cast<const char*>(data), size);
    auto block = std::make_unique<GCreatureData>();
    if (!root.GetChildren().empty()) block->Load(root.GetChildren().front());

    Bytes bytes(data, size);
    ByteWorld world(bytes);
    TRandom random;
    random.Seed(static_cast<uint32_t>(bytes.NextInt()));
    GCreature creature;
    creature.SetData(std::move(block));
    creature.SetWorld(&world);
    creature.SetRandom(&random);
    creature.SetAge(bytes.NextFloat());
    creature.SetHunger(bytes.Next() % 101);
    creature.SetThirst(bytes.Next() % 101);
    creature.SetItemType(bytes.Next() % 12);
    creature.SetDisease(bytes.Next() % 7);
    creature.SetOverrideTask(bytes.Next() % 40);
    creature.SetOverrideProb(static_cast<int16_t>(bytes.NextInt()));
    creature.SetLastTask(bytes.Next() % 40);
    for (int i = bytes.Next() % 4; i > 0; --i)
        creature.GetPrescriptions().push_back({bytes.Next() % 6, (bytes.Next() & 1) != 0});
    std::unique_ptr<GLocation> first = Place(bytes);
    std::unique_ptr<GLocation> second = Place(bytes);
    for (int kind : {2, 3, 4, 5, creature.GetLastTask()})
        creature.RememberTaskTargets(kind, first.get(), second.get());
    creature.SetLastTargets(first.get(), second.get());
    creature.AddValidBuildTarget(first.get());
    creature.AppendValidBuildTarget(nullptr);

    GCreatureData* own = creature.GetCreatureData();
    const int rounds = static_cast<int>(own->aiCoefs.size()) + 6;
    for (int cycle = 0; cycle < 100; ++cycle) {
        creature.AddHunger(bytes.NextFloat());
        creature.AddThirst(bytes.NextFloat());
        Check(creature.GetHunger() >= 0 && creature.GetHunger() <= 100);
        Check(creature.GetThirst() >= 0 && creature.GetThirst() <= 100);
        creature.SetAge(creature.GetAge() + bytes.NextFloat());
        creature.LiveCycle();
        Check(own->currentHealth <= own->startHealth - own->lostHealthD ||
              own->currentHealth == std::numeric_limits<int16_t>::min());
        world.starts = 0;
        creature.ChooseNextTask();
        // Each round asks at most for food, water and one walk or flakeout.
        Check(world.starts <= 3 * rounds);
        creature.GetSpeed();
        creature.IsHungry();
        creature.IsThirsty();
        creature.GetStrongestTask();
        creature.HasValidBuildTargets(bytes.Next() % 12);
        for (int kind = 0; kind < 39; kind += 1 + bytes.Next() % 8)
            creature.GetTaskProduction(kind);
        for (const GResourceRecord& record : first->GetLocationData()->resources) {
            creature.CanDoAction(record);
            GResourceRecord copy = record;
            creature.CanProduceItem(copy);
        }
        if ((bytes.Next() & 7) == 0) creature.SetDisease(0);
    }
    if ((bytes.Next() & 1) != 0) creature.StartDevolve();
    creature.ChangeData(*own);
    return 0;
}
