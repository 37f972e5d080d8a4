// Binding the world's well-known locations by their definition names, and the ark materials'
// view. The binding runs for a new game and for every loaded world, so it also puts back what
// the views show of the world's progress (the hospital's cure, the flower and roots' levels, the
// ark parts' sand) and starts the treasure and hidden-object cycles of a new world.
#include "gv/gvobject.h"
#include "gv/keys/flagmasktext.h"
#include "simulation/data/saturate.h"
#include "simulation/itemkind.h"
#include "simulation/nameprefix.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldlocation.h"
#include "simulation/world.h"
#include "simulation/worldkeys.h"
#include "simulation/worldsounds.h"

namespace {

constexpr int kEventHospitalBuilt = 3;
constexpr int kEventCombinedMedicine = 11;
constexpr int kEventRootsFound = 18;
constexpr int kEventFirstFever = 25;
// Global events 35 to 38: the treasure of ark part 1 to 4 was found.
constexpr int kEventFirstTreasureFound = 35;
// The sound of the water fall.
constexpr int kSoundWaterFall = 58;

str NameOf(const GObject* object) {
    const GObjectData* data = object != nullptr ? object->GetData() : nullptr;
    return data != nullptr ? data->name : str();
}

// Switches the view's sprite and its children to the state; nothing without them.
void ShowState(const GObject* object, GNameMask key) {
    const GVWorldObject* view = object != nullptr ? object->GetView() : nullptr;
    if (GVObject* sprite = view != nullptr ? view->GetSprite() : nullptr)
        sprite->SetStateRecursive(key, true, false);
}

void ShowLevel(const GLocation* location, float level) {
    if (GVWorldLocation* view = GLocation::AsLocationView(location->GetView()))
        view->SetBuildLevel(level);
}

// The ark materials and the item a resource record of each needs, with the prefix of the view's
// states that show how far they are gathered.
struct ArkMaterial {
    int item;
    const char* statePrefix;
};
constexpr ArkMaterial kArkMaterials[] = {
    {kItemStick, "materials_sticks_level_"},
    {kItemWood, "materials_woods_level_"},
    {kItemStone, "materials_stones_level_"},
    {kItemStone2, "materials_stones_2_level_"},
};

}  // namespace

void GWorld::BindLocations() {
    mPlaces.fill(nullptr);
    for (int i = 0; i < kPairCount; ++i)
        SetPair(i, nullptr, nullptr);
    mPlay.hyenaWaveSize = 0;
    mPlay.hyenaWaveCount = 0;

    // By position, the length read again: the views and the scheme are told as the places bind.
    for (size_t i = 0; i < mLocations.size(); ++i)
        BindByExactName(mLocations[i].get(), NameOf(mLocations[i].get()));
    for (size_t i = 0; i < mLocations.size(); ++i)
        BindByName(mLocations[i].get(), NameOf(mLocations[i].get()));

    for (int i = 0; i < kPairCount; ++i) {
        const GObject* place = GetArkPartPlace(i);
        const GVWorldObject* view = place != nullptr ? place->GetView() : nullptr;
        GVObject* sprite = view != nullptr ? view->GetSprite() : nullptr;
        if (GVObject* sand = sprite != nullptr ? sprite->GetChild("sand") : nullptr) {
            sand->alpha = mPlay.arkPartAlpha[i];
            sand->changed = 1;
        }
    }
    if (mPlay.treasureSearchState < 0) {
        mPlay.treasureSearchState = 2;
        StepTreasureMap();
    }
    if (mPlay.hiddenObjectState < 0) {
        mPlay.hiddenObjectState = 0;
        StepHiddenObject();
    }
    RaisePileGates();
    for (int i = 0; i < kPairCount; ++i) {
        if (GObject* materials = GetArkMaterials(i);
            materials != nullptr && IsEventSet(kEventFirstTreasureFound + i))
            SetArkMaterials(materials);
    }
}

void GWorld::BindByExactName(GLocation* location, const str& name) {
    if (name == str("Pre_foodbin")) {
        mPlaces[kFoodBin] = location;
        mGlobalData.foodBinCapacity = 0;
    } else if (name == str("Pre_watertank")) {
        mPlaces[kWaterTank] = location;
        mGlobalData.waterTankCapacity = 0;
    } else if (name == str("Pre_hospital")) {
        mPlaces[kHospital] = location;
    } else {
        for (int i = 0; i < kPairCount; ++i) {
            if (name == str::Format("Ark Part Place %d", i + 1))
                SetPair(i, GetArkMaterials(i), location);
        }
    }
}

void GWorld::BindByName(GLocation* location, const str& name) {
    // Names that bind a role as they are; none is the beginning of another, so their order does
    // not matter.
    static const struct {
        const char* name;
        Role role;
    } kRoles[] = {
        {"Sticks Pile", kSticksPile},
        {"Metal Pile", kMetalPile},
        {"Hospital", kHospital},
        {"Hyena Pit", kHyenaPit},
        {"Devolution Pool", kDevolutionPool},
        {"Ark", kArk},
        {"Fertilizer", kFertilizer},
        // The treasure object is the map part, and the treasure once the map is whole.
        {"Treasure map part", kTreasure},
        {"Treasure", kTreasure},
        {"Tree", kTree},
        {"Rock Oblings Pile", kRockOblingsPile},
        {"Rock Wedges Pile", kRockWedgesPile},
        {"Dummy", kDummy},
        {"Pool", kPool},
        {"Water Fall", kWaterFall},
    };

    if (BeginsWith(name, "Food Bin")) {
        mPlaces[kFoodBin] = location;
        mGlobalData.foodBinCapacity = location->GetMaxQuantity(kResourceFood);
    } else if (BeginsWith(name, "Water Tank")) {
        mPlaces[kWaterTank] = location;
        mGlobalData.waterTankCapacity = location->GetMaxQuantity(kResourceWater);
    } else if (BeginsWith(name, "Bonus")) {
        mPlaces[kBonus] = location;
    } else if (name == str("PreFlower")) {
        if (IsEventSet(kEventFirstFever)) {
            ShowLevel(location, 1.0f);
        } else if (IsEventSet(kEventHospitalBuilt)) {
            ShowLevel(location, 0.5f);
        }
    } else if (name == str("Konut Roots")) {
        if (IsEventSet(kEventRootsFound)) ShowLevel(location, 1.0f);
    }
    for (int i = 0; i < kPairCount; ++i) {
        if (name == str::Format("Ark Part %d", i + 1)) SetPair(i, GetArkMaterials(i), location);
        if (name == str::Format("Ark Materials %d", i + 1))
            SetPair(i, location, GetArkPartPlace(i));
    }
    for (const auto& entry : kRoles) {
        if (name != str(entry.name)) continue;
        mPlaces[entry.role] = location;
        if (entry.role == kHospital && IsEventSet(kEventCombinedMedicine))
            ShowState(location, WorldKeys().cureEbolioOn);
        // An object's sound: the scheme places it at the fall's view.
        if (entry.role == kWaterFall)
            WorldSounds().PlayEvent(location, 0.0f, 0.0f, kSoundWaterFall, 0);
    }
}

void GWorld::RaisePileGates() {
    // Stone, wedge stone and wood are made only once a treasure has been found: the first
    // making record of each pile waits for event 35 at least.
    constexpr int kTreasureGate = 35;
    const struct {
        Role pile;
        int item;
    } kPiles[] = {
        {kRockOblingsPile, kItemStone}, {kRockWedgesPile, kItemStone2}, {kTree, kItemWood}};
    for (const auto& entry : kPiles) {
        GLocation* pile = mPlaces[entry.pile];
        GLocationData* data = pile != nullptr ? pile->GetLocationData() : nullptr;
        if (data == nullptr) continue;
        for (GResourceRecord& record : data->resources) {
            if (record.type != kResourceItem || record.action != kTaskProductItem ||
                record.productionItem != entry.item)
                continue;
            if (record.requiredEvent < kTreasureGate) record.requiredEvent = kTreasureGate;
            break;
        }
    }
}

void GWorld::SetArkMaterials(GObject* materials) {
    auto* location = dynamic_cast<GLocation*>(materials);
    const GLocationData* data = location != nullptr ? location->GetLocationData() : nullptr;
    if (data == nullptr || !BeginsWith(data->name, "Ark Materials") ||
        location->GetView() == nullptr)
        return;
    const auto* place = dynamic_cast<const GLocation*>(GetPairedObject(location));
    const GWorldKeys& keys = WorldKeys();
    ShowState(location, ParseFlagMask("materials_all_off"));
    ShowState(location, keys.arkPartWoodOff);
    // While the paired place still has building work, every material shows its first level.
    const bool placeUnfinished =
        place != nullptr && place->GetMaxQuantity(kResourceBuild) > 0 &&
        place->GetResourceQuantity(kResourceBuild) < place->GetMaxQuantity(kResourceBuild);
    for (const ArkMaterial& material : kArkMaterials) {
        for (const GResourceRecord& record : data->resources) {
            if (record.type != kResourceBuild || record.requiredItem != material.item ||
                record.maxQuantity <= 0)
                continue;
            const double left = 1.0 - static_cast<double>(static_cast<float>(record.quantity) /
                                                          static_cast<float>(record.maxQuantity));
            int level = SaturateToShort(TruncateToInt(left * 3.0 + 0.01));
            if (placeUnfinished) level = 0;
            if (level == 0) {
                if (record.quantity != record.maxQuantity) {
                    level = 1;
                } else {
                    ShowState(location, keys.arkPartWoodOn);
                }
            } else if (level >= 3) {
                level = record.quantity > 0 ? 2 : 3;
            }
            ShowState(location, ParseFlagMask(str::Format("%s%d", material.statePrefix, level)));
        }
    }
}
