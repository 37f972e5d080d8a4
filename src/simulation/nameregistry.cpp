#include "simulation/nameregistry.h"

#include <utility>

#include "simulation/data/saturate.h"

namespace {

struct NumberedName {
    int number;
    const char* name;
};

// The tables in the order they are filled: where two numbers share a name (21 and 22,
// "failure"), the first pair inserted decides what the name leads to.
constexpr NumberedName kTasks[] = {
    {0, "none"},
    {1, "breed"},
    {2, "forage"},
    {3, "gatherwater"},
    {4, "build"},
    {5, "doctor"},
    {6, "defend"},
    {7, "flakeout"},
    {8, "research"},
    {9, "rest"},
    {11, "eating"},
    {13, "drinking"},
    {10, "go_for_food"},
    {12, "go_for_water"},
    {15, "devolve"},
    {16, "productitem"},
    {20, "runaway"},
    {17, "collectherbs"},
    {22, "failure"},
    {23, "drop"},
    {26, "waitforark"},
    {27, "specialflakeout"},
    {32, "unload"},
    {30, "explore"},
    {31, "getting_bonus"},
    {34, "training"},
    {33, "go_build_ark"},
    {14, "go_to_hospital"},
    {18, "be_ill"},
    {24, "celebrate"},
    {25, "celebrate_victory"},
    {28, "carry_ark_part"},
    {37, "go_to_graveyard"},
    {38, "go_for_medicine"},
    {21, "failure"},
};

constexpr NumberedName kResources[] = {
    {1, "Food"}, {2, "Water"}, {3, "Build"}, {4, "Devolution"}, {5, "Item"},
};

constexpr NumberedName kItems[] = {
    {1, "Stick"}, {2, "Shovel"}, {3, "Hammer"},   {4, "Tomahawk"}, {5, "Fertilizer"},
    {6, "Nail"},  {9, "Stone"},  {10, "Stone 2"}, {11, "Wood"},
};

constexpr NumberedName kPlants[] = {
    {1, "YayaFlower"},
    {2, "KonutRoot"},
    {3, "Smallberry"},
};

constexpr NumberedName kDiseases[] = {
    {1, "Sneezies"}, {2, "Tumrot"}, {4, "Fever"}, {3, "Kopox"}, {5, "Ebolio"},
};

constexpr NumberedName kDiseaseLabels[] = {
    {1, "SNEEZIES"}, {2, "TUMROT"}, {4, "FEVER"}, {3, "KOPOX"}, {5, "EBOLIO"},
};

template <size_t N>
void Fill(const NumberedName (&table)[N], std::map<int, str>* names, std::map<str, int>* numbers) {
    for (const NumberedName& entry : table) {
        // emplace never replaces: the first pair of a key stays.
        if (names != nullptr) names->emplace(entry.number, str(entry.name));
        if (numbers != nullptr) numbers->emplace(str(entry.name), entry.number);
    }
}

str NameOf(const std::map<int, str>& names, int number, const char* missing) {
    const auto found = names.find(number);
    return found != names.end() ? found->second : str(missing);
}

int NumberOf(const std::map<str, int>& numbers, const str& name) {
    const auto found = numbers.find(name);
    return found != numbers.end() ? found->second : 0;
}

template <typename Block>
const Block* FindIn(const std::map<str, std::unique_ptr<Block>>& blocks, const str& fullName) {
    const auto found = blocks.find(fullName);
    return found != blocks.end() ? found->second.get() : nullptr;
}

template <typename Block>
std::unique_ptr<Block> AddTo(std::map<str, std::unique_ptr<Block>>& blocks,
                             std::unique_ptr<Block> block) {
    if (block == nullptr) return nullptr;
    const str key = block->fullName;
    if (blocks.count(key) != 0) return block;
    blocks.emplace(key, std::move(block));
    return nullptr;
}

}  // namespace

GNameRegistry::GNameRegistry() {
    Fill(kTasks, &mTaskNames, &mTaskKinds);
    Fill(kResources, &mResourceNames, &mResourceKinds);
    Fill(kItems, &mItemNames, &mItemKinds);
    Fill(kPlants, &mPlantNames, &mPlantKinds);
    Fill(kDiseases, &mDiseaseNames, &mDiseaseKinds);
    Fill(kDiseaseLabels, &mDiseaseLabels, nullptr);
}

GNameRegistry::~GNameRegistry() = default;

str GNameRegistry::GetTaskName(int kind) const {
    return NameOf(mTaskNames, kind, "none");
}

int GNameRegistry::GetTaskKind(str name) const {
    name.ToLower();
    return NumberOf(mTaskKinds, name);
}

str GNameRegistry::GetResourceName(int kind) const {
    return NameOf(mResourceNames, kind, "None");
}

int GNameRegistry::GetResourceKind(const str& name) const {
    return NumberOf(mResourceKinds, name);
}

str GNameRegistry::GetItemName(int kind) const {
    return NameOf(mItemNames, kind, "None");
}

int GNameRegistry::GetItemKind(const str& name) const {
    return NumberOf(mItemKinds, name);
}

str GNameRegistry::GetPlantName(int kind) const {
    return NameOf(mPlantNames, kind, "None");
}

int GNameRegistry::GetPlantKind(const str& name) const {
    return NumberOf(mPlantKinds, name);
}

str GNameRegistry::GetDiseaseName(int kind) const {
    return NameOf(mDiseaseNames, kind, "None");
}

str GNameRegistry::GetDiseaseLabel(int kind) const {
    return NameOf(mDiseaseLabels, kind, "None");
}

int GNameRegistry::GetDiseaseKind(const str& name) const {
    return NumberOf(mDiseaseKinds, name);
}

const GCreatureData* GNameRegistry::FindCreatureDefinition(const str& fullName) const {
    return FindIn(mCreatures, fullName);
}

const GLocationData* GNameRegistry::FindLocationDefinition(const str& fullName) const {
    return FindIn(mLocations, fullName);
}

void GNameRegistry::ForEachDefinition(const std::function<void(const GObjectData&)>& visit) const {
    for (const auto& [name, block] : mCreatures)
        visit(*block);
    for (const auto& [name, block] : mLocations)
        visit(*block);
    for (const auto& [name, block] : mMonsters)
        visit(*block);
}

const GMonsterData* GNameRegistry::FindMonsterDefinition(const str& fullName) const {
    return FindIn(mMonsters, fullName);
}

std::unique_ptr<GCreatureData> GNameRegistry::AddCreatureDefinition(
    std::unique_ptr<GCreatureData> block) {
    return AddTo(mCreatures, std::move(block));
}

std::unique_ptr<GLocationData> GNameRegistry::AddLocationDefinition(
    std::unique_ptr<GLocationData> block) {
    return AddTo(mLocations, std::move(block));
}

std::unique_ptr<GMonsterData> GNameRegistry::AddMonsterDefinition(
    std::unique_ptr<GMonsterData> block) {
    return AddTo(mMonsters, std::move(block));
}

void GNameRegistry::ComputeEvolutionTimes() {
    const auto basic = mCreatures.find("BasicPuff");
    if (basic == mCreatures.end()) return;
    for (GEvolutionData& step : basic->second->evolutionDatas) {
        std::set<str> visited = {basic->first};
        step.startLevel = 0;
        step.maxLevel = WalkChain(step.nextFullName, step.taskId, step.time[0], visited);
        if (step.taskId >= 0 && step.taskId < kTaskKindCount) {
            mEvolutionTotals[step.taskId] = step.maxLevel;
        }
    }
}

int GNameRegistry::WalkChain(const str& fullName, int kind, int sum, std::set<str>& visited) {
    const auto found = mCreatures.find(fullName);
    if (found == mCreatures.end() || !visited.insert(fullName).second) return sum;
    for (GEvolutionData& step : found->second->evolutionDatas) {
        if (step.taskId != kind) continue;
        step.startLevel = sum;
        step.maxLevel =
            WalkChain(step.nextFullName, kind, SaturatingAdd(sum, step.time[0]), visited);
        return step.maxLevel;
    }
    return sum;
}

int GNameRegistry::GetEvolutionTotal(int kind) const {
    if (kind < 0 || kind >= kTaskKindCount) return 0;
    return mEvolutionTotals[kind];
}
