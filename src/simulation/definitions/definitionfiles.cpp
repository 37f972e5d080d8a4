#include "simulation/definitions/definitionfiles.h"

#include <iterator>
#include <memory>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/definitions/documentelement.h"
#include "simulation/nameregistry.h"
#include "simulation/params/globaldata.h"

const char* const kDefinitionFiles[] = {
    "puff_basic",
    "puff_skilled",
    "puff_expert",
    "puff_guru",
    "lion_basic",
    "lion_skilled",
    "lion_expert",
    "lion_guru",
    "giraffe_basic",
    "giraffe_skilled",
    "giraffe_expert",
    "giraffe_guru",
    "zebra_basic",
    "zebra_skilled",
    "zebra_expert",
    "zebra_guru",
    "elephant_basic",
    "elephant_skilled",
    "elephant_expert",
    "elephant_guru",
    "gorilla_basic",
    "gorilla_skilled",
    "gorilla_expert",
    "gorilla_guru",
    "hyena",
    "konutbush",
    "pre_konutbush2",
    "konutbush2",
    "konutbush3",
    "konutbush4",
    "konutbush_small",
    "pre_flower",
    "flower1",
    "flower2",
    "roots",
    "foodbin",
    "foodbin_broken",
    "well_1",
    "well_2",
    "well_3",
    "pool",
    "watertank",
    "watertank_broken",
    "hospital",
    "hospital_broken",
    "waterfall",
    "devpool",
    "metalpile",
    "rockoblingspile",
    "rockwedgespile",
    "stickspile",
    "saltwater",
    "snow",
    "hyena_pit",
    "fertilizer",
    "idol_elephant_1",
    "idol_elephant_2",
    "idol_elephant_3",
    "idol_elephant_4",
    "idol_giraffe_1",
    "idol_giraffe_2",
    "idol_giraffe_3",
    "idol_giraffe_4",
    "idol_lion_1",
    "idol_lion_2",
    "idol_lion_3",
    "idol_lion_4",
    "idol_monkey_1",
    "idol_monkey_2",
    "idol_monkey_3",
    "idol_monkey_4",
    "idol_zebra_1",
    "idol_zebra_2",
    "idol_zebra_3",
    "idol_zebra_4",
    "ark",
    "ark_part_1",
    "ark_part_2",
    "ark_part_3",
    "ark_part_4",
    "ark_part_place_1",
    "ark_part_place_2",
    "ark_part_place_3",
    "ark_part_place_4",
    "ark_pre_part_1",
    "ark_pre_part_2",
    "ark_pre_part_3",
    "ark_pre_part_4",
    "dummy",
    "pre_hospital",
    "pre_foodbin",
    "pre_watertank",
    "beach",
    "channel",
    "totem",
    "treasure_map_part",
    "bonus_hidden_konuts",
    "bonus_special_hammer",
    "bonus_special_shovel",
    "bonus_special_tomahawk",
    "bonus_water_cactus",
    "tree",
};
const size_t kDefinitionFileCount = std::size(kDefinitionFiles);

GLoadedDefinition GNameRegistry::LoadDefinitionFile(const str& fileName, const GObjectData* base) {
    TXmlNode document;
    document.LoadFile(fileName);
    return LoadDefinition(DocumentElement(document), base);
}

GLoadedDefinition GNameRegistry::LoadDefinition(TXmlNode* element, const GObjectData* base) {
    if (element == nullptr) return GLoadedDefinition();
    const str name = element->GetName();
    // A base of another kind is not a base for this element: nothing is made.
    if (name == str("Creature")) {
        const auto* typed = dynamic_cast<const GCreatureData*>(base);
        if (base != nullptr && typed == nullptr) return GLoadedDefinition();
        return LoadCreatureDefinition(element, typed);
    }
    if (name == str("Location")) {
        const auto* typed = dynamic_cast<const GLocationData*>(base);
        if (base != nullptr && typed == nullptr) return GLoadedDefinition();
        return LoadLocationDefinition(element, typed);
    }
    if (name == str("Monster")) {
        const auto* typed = dynamic_cast<const GMonsterData*>(base);
        if (base != nullptr && typed == nullptr) return GLoadedDefinition();
        return LoadMonsterDefinition(element, typed);
    }
    return GLoadedDefinition();
}

void GNameRegistry::LoadDefinitionFiles(const str& folder) {
    for (const char* name : kDefinitionFiles) {
        LoadDefinitionFile(folder + str(name) + str(".xml"));
    }
    ComputeEvolutionTimes();
}

GlobalData* GNameRegistry::ParamsFor(const char* loader) const {
    if (mGameParams == nullptr) {
        LogPrintf("GNameRegistry::%s: the game parameters are not set", loader);
    }
    return mGameParams;
}

const GObjectData* GNameRegistry::Store(std::unique_ptr<GCreatureData> block) {
    const GObjectData* kept = block.get();
    return AddCreatureDefinition(std::move(block)) == nullptr ? kept : nullptr;
}

const GObjectData* GNameRegistry::Store(std::unique_ptr<GLocationData> block) {
    const GObjectData* kept = block.get();
    return AddLocationDefinition(std::move(block)) == nullptr ? kept : nullptr;
}

const GObjectData* GNameRegistry::Store(std::unique_ptr<GMonsterData> block) {
    const GObjectData* kept = block.get();
    return AddMonsterDefinition(std::move(block)) == nullptr ? kept : nullptr;
}
