// A definition file: the input is served as a file of "xml/logic/" and loaded without a base and
// over a small base of each kind. Every block made is saved, loaded into a fresh block and saved
// again; when every number of the first save lies within ±10^6 the two texts must be equal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/file/fileindex.h"
#include "foundation/xml/xmlnode.h"
#include "roundtrip.h"
#include "simulation/data/creaturedata.h"
#include "simulation/params/globaldata.h"
#include "simulation/data/locationdata.h"
#include "simulation/data/monsterdata.h"
#include "simulation/nameregistry.h"

namespace {

const char kFile[] = "xml/logic/fuzzed.xml";

template <typename Block>
void RoundTrip(const GObjectData* made) {
    if (const auto* block = dynamic_cast<const Block*>(made)) fuzzcheck::SaveLoadSave(*block);
}

void Check(const GLoadedDefinition& loaded) {
    RoundTrip<GCreatureData>(loaded.Block());
    RoundTrip<GLocationData>(loaded.Block());
    RoundTrip<GMonsterData>(loaded.Block());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterMemoryFile(kFile, data, static_cast<uint32_t>(size));
    GlobalData params;
    params.hungerAddCoefMin = 0.5f;
    params.hungerAddCoefMax = 2.0f;
    params.pointsOfInterest["Beach"] = {10, 20, "poi_beach", 1, 0};
    GNameRegistry registry;
    registry.SetGameParams(&params);

    Check(registry.LoadDefinitionFile(kFile));
    Check(registry.LoadDefinitionFile(kFile));  // the same full name again

    GCreatureData creature;
    creature.name = "Puff";
    creature.fullName = "BasicPuff";
    creature.aiCoefs[2].weight = 5;
    creature.evolutionDatas.resize(1);
    GLocationData location;
    location.name = "Foodbin";
    location.fullName = "Foodbin";
    location.resources.resize(2);
    location.resources[1].type = 3;
    location.components.resize(1);
    location.components[0].type = 2;
    GMonsterData monster;
    monster.aiCoefs[7].weight = 1;
    Check(registry.LoadDefinitionFile(kFile, &creature));
    Check(registry.LoadDefinitionFile(kFile, &location));
    Check(registry.LoadDefinitionFile(kFile, &monster));
    registry.ComputeEvolutionTimes();
    RegisterMemoryFile(kFile, nullptr, 0);
    return 0;
}
