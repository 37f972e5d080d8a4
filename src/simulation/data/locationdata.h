// GLocationData: the parameter block of a location (objectdata.h): its resource records (stocks,
// building work, research and production requirements) in file order, its research components,
// who may use it from which level, its bonus and the definition it turns into once built. Each
// location owns its copy (copies are deep: every list and the table).
//
// Saved form (the location's "Data" element): the names, the children "Resources",
// "Components" and "CanUseInfos", and the attributes "AfterBuildTransform", "AnimatorStartLevel",
// "AnimatorEndLevel" (saved floats), "LocationBonusID", "LocationBonusPercents". Absent
// attributes read 0; the children of the three lists are read in document order whatever their
// names and appended. Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/str.h"
#include "simulation/data/objectdata.h"

// One resource record. Type 1 is what foraging takes, type 2 what water gathering takes, type 3
// the building work left (a place with a type-3 quantity of at least 1 is not built yet).
struct GResourceRecord {
    int type = 0;
    int requiredType = 0;
    int afterBuildQuantity = 0;
    int maxQuantity = 0;
    int quantity = 0;
    // Change of quantity per growth step.
    int addition = 0;
    // The item needed to work on this record.
    int requiredItem = 0;
    int16_t requiredItemSave = 0;
    int productionItem = 0;
    // The definition name and level a worker must have.
    str requiredName;
    int16_t requiredLevel = 0;
    int action = 0;
    // A global event that must be set.
    int requiredEvent = 0;
};

// One research component: a plant kind and what researching it takes.
struct GComponentRecord {
    int type = 0;
    int16_t researchQuantity = 0;
    str nameRequiredToResearch;
    int itemRequiredToResearch = 0;
};

class GLocationData : public GObjectData {
public:
    GLocationData() = default;
    GLocationData(const GLocationData&) = default;
    GLocationData& operator=(const GLocationData&) = default;
    ~GLocationData() override;

    void Load(TXmlNode* node) override;
    void Save(TXmlNode* node) const override;

    float animatorStartLevel = 0.0f;
    float animatorEndLevel = 1.0f;
    std::vector<GResourceRecord> resources;
    std::vector<GComponentRecord> components;
    // Creature definition name -> the level from which it may use the place.
    std::map<str, int16_t> canUse;
    int locationBonusID = 0;
    int locationBonusPercents = 0;
    // The definition the place turns into once built; empty for none.
    str afterBuildTransform;
};
