#include "simulation/nameregistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "support/printers.h"

namespace {

TEST(NameRegistryTest, NameLookups) {
    GNameRegistry registry;
    const struct {
        int got;
        int want;
        const char* what;
    } numbers[] = {
        {registry.GetTaskKind("Forage"), 2, "Forage"},
        {registry.GetTaskKind("forage"), 2, "forage"},
        {registry.GetTaskKind("FAILURE"), 22, "FAILURE"},
        {registry.GetTaskKind("go_for_medicine"), 38, "go_for_medicine"},
        {registry.GetTaskKind("walk"), 0, "walk"},
        {registry.GetTaskKind(""), 0, "empty task"},
        {registry.GetResourceKind("Food"), 1, "Food"},
        {registry.GetResourceKind("food"), 0, "food"},
        {registry.GetResourceKind("Item"), 5, "Item"},
        {registry.GetItemKind("Stone 2"), 10, "Stone 2"},
        {registry.GetItemKind("Stone2"), 0, "Stone2"},
        {registry.GetItemKind("Wood"), 11, "Wood"},
        {registry.GetItemKind("stick"), 0, "stick"},
        {registry.GetPlantKind("Smallberry"), 3, "Smallberry"},
        {registry.GetPlantKind("Food"), 0, "Food as a plant"},
        {registry.GetDiseaseKind("Fever"), 4, "Fever"},
        {registry.GetDiseaseKind("Kopox"), 3, "Kopox"},
        {registry.GetDiseaseKind("FEVER"), 0, "FEVER"},
    };
    for (const auto& row : numbers)
        EXPECT_EQ(row.got, row.want) << row.what;

    const struct {
        str got;
        const char* want;
    } names[] = {
        {registry.GetTaskName(21), "failure"},
        {registry.GetTaskName(22), "failure"},
        {registry.GetTaskName(19), "none"},
        {registry.GetTaskName(29), "none"},
        {registry.GetTaskName(35), "none"},
        {registry.GetTaskName(36), "none"},
        {registry.GetTaskName(0), "none"},
        {registry.GetTaskName(39), "none"},
        {registry.GetTaskName(14), "go_to_hospital"},
        {registry.GetItemName(7), "None"},
        {registry.GetItemName(8), "None"},
        {registry.GetItemName(10), "Stone 2"},
        {registry.GetDiseaseName(0), "None"},
        {registry.GetDiseaseName(5), "Ebolio"},
        {registry.GetDiseaseLabel(4), "FEVER"},
        {registry.GetDiseaseLabel(0), "None"},
        {registry.GetResourceName(3), "Build"},
        {registry.GetPlantName(2), "KonutRoot"},
    };
    for (const auto& row : names)
        EXPECT_EQ(row.got, str(row.want)) << row.want;
}

TEST(NameRegistryTest, EveryNamedTaskKindFindsItsNameBack) {
    GNameRegistry registry;
    int named = 0;
    for (int kind = 1; kind < GNameRegistry::kTaskKindCount; ++kind) {
        const str name = registry.GetTaskName(kind);
        if (name == str("none")) continue;
        ++named;
        if (kind != 21) {
            EXPECT_EQ(registry.GetTaskKind(name), kind) << name.c_str();
        }
    }
    EXPECT_EQ(named, 34);
}

std::unique_ptr<GCreatureData> Creature(const char* fullName,
                                        std::initializer_list<GEvolutionData> steps) {
    auto block = std::make_unique<GCreatureData>();
    block->name = fullName;
    block->fullName = fullName;
    block->evolutionDatas = steps;
    return block;
}

GEvolutionData Step(int kind, const char* next, int time0) {
    GEvolutionData step;
    step.taskId = kind;
    step.nextFullName = next;
    step.time[0] = time0;
    return step;
}

TEST(NameRegistryTest, EvolutionChainSetsLevelsAndTotal) {
    GNameRegistry registry;
    registry.AddCreatureDefinition(Creature("BasicPuff", {Step(2, "SkilledPuff", 100)}));
    registry.AddCreatureDefinition(
        Creature("SkilledPuff", {Step(3, "Elsewhere", 7), Step(2, "ExpertPuff", 200)}));
    registry.AddCreatureDefinition(Creature("ExpertPuff", {Step(4, "GuruPuff", 50)}));
    registry.ComputeEvolutionTimes();

    const GEvolutionData& first = registry.FindCreatureDefinition("BasicPuff")->evolutionDatas[0];
    EXPECT_EQ(first.startLevel, 0);
    EXPECT_EQ(first.maxLevel, 300);
    const GEvolutionData& second =
        registry.FindCreatureDefinition("SkilledPuff")->evolutionDatas[1];
    EXPECT_EQ(second.startLevel, 100);
    EXPECT_EQ(second.maxLevel, 300);
    // A step of another kind is not on the chain.
    EXPECT_EQ(registry.FindCreatureDefinition("SkilledPuff")->evolutionDatas[0].maxLevel, 0);
    EXPECT_EQ(registry.GetEvolutionTotal(2), 300);
    EXPECT_EQ(registry.GetEvolutionTotal(3), 0);
    EXPECT_EQ(registry.GetEvolutionTotal(39), 0);
    EXPECT_EQ(registry.GetEvolutionTotal(-1), 0);
}

TEST(NameRegistryTest, BrokenChainsAnswerTheSumSoFar) {
    {
        GNameRegistry registry;  // a cycle of two definitions
        registry.AddCreatureDefinition(Creature("BasicPuff", {Step(2, "A", 100)}));
        registry.AddCreatureDefinition(Creature("A", {Step(2, "B", 200)}));
        registry.AddCreatureDefinition(Creature("B", {Step(2, "A", 300)}));
        registry.ComputeEvolutionTimes();
        EXPECT_EQ(registry.GetEvolutionTotal(2), 600);
        EXPECT_EQ(registry.FindCreatureDefinition("A")->evolutionDatas[0].startLevel, 100);
        EXPECT_EQ(registry.FindCreatureDefinition("B")->evolutionDatas[0].startLevel, 300);
    }
    {
        GNameRegistry registry;  // a chain back to where it started
        registry.AddCreatureDefinition(Creature("BasicPuff", {Step(2, "A", 100)}));
        registry.AddCreatureDefinition(Creature("A", {Step(2, "BasicPuff", 200)}));
        registry.ComputeEvolutionTimes();
        EXPECT_EQ(registry.GetEvolutionTotal(2), 300);
        EXPECT_EQ(registry.FindCreatureDefinition("BasicPuff")->evolutionDatas[0].startLevel, 0);
    }
    {
        GNameRegistry registry;  // a next full name without a definition
        registry.AddCreatureDefinition(Creature("BasicPuff", {Step(5, "A", 100)}));
        registry.AddCreatureDefinition(Creature("A", {Step(5, "Nowhere", 40)}));
        registry.ComputeEvolutionTimes();
        EXPECT_EQ(registry.GetEvolutionTotal(5), 140);
    }
    {
        GNameRegistry registry;  // no "BasicPuff": nothing is computed
        registry.AddCreatureDefinition(Creature("SkilledPuff", {Step(2, "A", 100)}));
        registry.ComputeEvolutionTimes();
        for (int kind = 0; kind < GNameRegistry::kTaskKindCount; ++kind) {
            EXPECT_EQ(registry.GetEvolutionTotal(kind), 0);
        }
        EXPECT_EQ(registry.FindCreatureDefinition("SkilledPuff")->evolutionDatas[0].maxLevel, 0);
    }
    {
        GNameRegistry registry;  // two steps of one kind: the later sets the total
        registry.AddCreatureDefinition(
            Creature("BasicPuff", {Step(2, "A", 100), Step(2, "Nowhere", 30)}));
        registry.AddCreatureDefinition(Creature("A", {Step(2, "Nowhere", 5)}));
        registry.ComputeEvolutionTimes();
        EXPECT_EQ(registry.GetEvolutionTotal(2), 30);
        EXPECT_EQ(registry.FindCreatureDefinition("BasicPuff")->evolutionDatas[0].maxLevel, 105);
    }
    {
        GNameRegistry registry;  // times that would pass the 32-bit range stop at its end
        registry.AddCreatureDefinition(Creature("BasicPuff", {Step(2, "A", 2000000000)}));
        registry.AddCreatureDefinition(Creature("A", {Step(2, "Nowhere", 2000000000)}));
        registry.ComputeEvolutionTimes();
        EXPECT_EQ(registry.GetEvolutionTotal(2), 2147483647);
    }
}

TEST(NameRegistryTest, TheFirstPrototypeOfAFullNameStays) {
    GNameRegistry registry;
    auto first = Creature("BasicPuff", {});
    const GCreatureData* kept = first.get();
    EXPECT_EQ(registry.AddCreatureDefinition(std::move(first)), nullptr);
    auto second = Creature("BasicPuff", {Step(2, "A", 1)});
    const GCreatureData* handed = second.get();
    std::unique_ptr<GCreatureData> back = registry.AddCreatureDefinition(std::move(second));
    EXPECT_EQ(back.get(), handed);
    EXPECT_EQ(registry.FindCreatureDefinition("BasicPuff"), kept);
    EXPECT_EQ(registry.FindCreatureDefinition("basicpuff"), nullptr);

    auto location = std::make_unique<GLocationData>();
    location->fullName = "Food bin";
    EXPECT_EQ(registry.AddLocationDefinition(std::move(location)), nullptr);
    auto monster = std::make_unique<GMonsterData>();
    monster->fullName = "Hyena";
    EXPECT_EQ(registry.AddMonsterDefinition(std::move(monster)), nullptr);
    auto again = std::make_unique<GMonsterData>();
    again->fullName = "Hyena";
    EXPECT_NE(registry.AddMonsterDefinition(std::move(again)), nullptr);
    EXPECT_NE(registry.FindLocationDefinition("Food bin"), nullptr);
    EXPECT_NE(registry.FindMonsterDefinition("Hyena"), nullptr);
    EXPECT_EQ(registry.FindLocationDefinition("Hyena"), nullptr);
}

// Blocks that count their destructions, to see the registry free each prototype once.
template <typename Block>
class Counted : public Block {
public:
    Counted(const char* fullName, int* freed) : mFreed(freed) { this->fullName = fullName; }
    ~Counted() override { ++*mFreed; }

private:
    int* mFreed;
};

TEST(NameRegistryTest, DestructionFreesEveryPrototypeOnce) {
    int freed = 0;
    {
        GNameRegistry registry;
        registry.AddCreatureDefinition(
            std::make_unique<Counted<GCreatureData>>("BasicPuff", &freed));
        registry.AddCreatureDefinition(std::make_unique<Counted<GCreatureData>>("Zebra", &freed));
        registry.AddLocationDefinition(std::make_unique<Counted<GLocationData>>("Well", &freed));
        registry.AddMonsterDefinition(std::make_unique<Counted<GMonsterData>>("Hyena", &freed));
        // A block under a held name comes back, and its holder frees it.
        registry.AddLocationDefinition(std::make_unique<Counted<GLocationData>>("Well", &freed));
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 5);
}

}  // namespace
