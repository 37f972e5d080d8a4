// A world as its objects see it (GObjectListener), for the tests of creatures: it records every
// task it is asked to start and answers each request as the test says (accepting every task
// unless told otherwise). Also small makers of creature blocks and places, and a generator
// seeded so that its next draws are the ones a test wants.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "simulation/creature.h"
#include "simulation/data/creaturedata.h"
#include "simulation/data/locationdata.h"
#include "simulation/location.h"
#include "simulation/objectlistener.h"

namespace simtest {

class RecordingWorld : public GObjectListener {
public:
    struct Start {
        int kind;
        GObject* subject;
        GObject* object;
    };

    void OnTaskCompleted(GTaskData*) override {}
    bool ResetTaskAnimations(GTaskData*) override { return true; }
    bool StartTask(int kind, GObject* subject, GObject* object) override {
        starts.push_back({kind, subject, object});
        if (onStart) onStart(kind, object);
        return accepts(kind, object);
    }
    void Transform(GObject*, const str&) override {}
    void OnObjectEvent(GObject*, GObject*) override {}
    bool IsEventSet(int id) override {
        ++eventQuestions;
        return events.count(id) != 0;
    }
    void FireWorldEvent(int) override {}
    bool IsCounterClear() override { return false; }
    bool OnCreatureDeath(GObject*, int) override { return false; }
    int RollOutcome() override {
        ++rolls;
        return disease;
    }
    int GetRegistryValue(int) override { return 0; }
    int GetTaskBonusPercents(int) override { return 0; }
    GObject* GetPairedObject(GObject*) override { return nullptr; }
    float GetSpeedValue() override { return speedValue; }
    void SetArkMaterials(GObject*) override {}
    bool IsLastPairReady() override {
        ++pairQuestions;
        return lastPairReady;
    }
    bool IsCarrierAtStep() override { return false; }

    // The kinds asked for, in order.
    std::vector<int> Kinds() const {
        std::vector<int> kinds;
        for (const Start& start : starts)
            kinds.push_back(start.kind);
        return kinds;
    }
    // Refuses every task of the kinds.
    void Refuse(std::set<int> kinds) {
        accepts = [kinds](int kind, GObject*) { return kinds.count(kind) == 0; };
    }

    std::vector<Start> starts;
    std::function<bool(int kind, GObject* object)> accepts = [](int, GObject*) { return true; };
    // Runs before the answer of each start.
    std::function<void(int kind, GObject* object)> onStart;
    std::set<int> events;
    float speedValue = 1.0f;
    int disease = 0;
    bool lastPairReady = false;
    int eventQuestions = 0;
    int rolls = 0;
    int pairQuestions = 0;
};

// A creature block of the name with AI weights by kind (no other AI values).
inline std::unique_ptr<GCreatureData> CreatureBlock(const char* name,
                                                    std::vector<std::pair<int, int>> weights = {}) {
    auto block = std::make_unique<GCreatureData>();
    block->name = name;
    block->fullName = std::string("Basic").append(name).c_str();
    for (const auto& [kind, weight] : weights)
        block->aiCoefs[kind].weight = weight;
    return block;
}

// A creature of the world with the block and, when given, the generator.
inline std::unique_ptr<GCreature> MakeCreature(RecordingWorld* world,
                                               std::unique_ptr<GCreatureData> block,
                                               TRandom* random = nullptr) {
    auto creature = std::make_unique<GCreature>();
    creature->SetData(std::move(block));
    creature->SetWorld(world);
    creature->SetRandom(random);
    return creature;
}

inline GResourceRecord ResourceRecord(int type, int quantity, int action = 0) {
    GResourceRecord record;
    record.type = type;
    record.quantity = quantity;
    record.maxQuantity = quantity;
    record.action = action;
    return record;
}

inline std::unique_ptr<GLocation> MakePlace(const char* fullName,
                                            std::vector<GResourceRecord> records = {}) {
    auto place = std::make_unique<GLocation>();
    auto block = std::make_unique<GLocationData>();
    block->name = fullName;
    block->fullName = fullName;
    block->resources = std::move(records);
    place->SetData(std::move(block));
    return place;
}

// A generator whose next draws satisfy wanted, which is tried on a copy of each candidate
// (seeds 1, 2, ...). The test computes the draws it expects the same way.
inline TRandom SeedWhere(const std::function<bool(TRandom&)>& wanted) {
    for (uint32_t seed = 1; seed < 1000000; ++seed) {
        TRandom random;
        random.Seed(seed);
        TRandom copy = random;
        if (wanted(copy)) return random;
    }
    ADD_FAILURE() << "no seed gives the draws";
    return TRandom();
}

}  // namespace simtest
