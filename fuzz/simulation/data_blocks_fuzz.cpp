// The saved parameter blocks: the input's first element is loaded as a "Data" element into a
// creature, a location and a monster block, and as the saved element of a location and of a
// monster. Each is saved, loaded into a fresh one and saved again: when every number of the first
// save lies within ±10^6 the two texts must be equal. The location queries then run on each
// location.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/xml/xmlnode.h"
#include "roundtrip.h"
#include "simulation/data/creaturedata.h"
#include "simulation/data/locationdata.h"
#include "simulation/data/monsterdata.h"
#include "simulation/location.h"
#include "simulation/monster.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/saveidregistry.h"
#include "simulation/views/worldlocation.h"

namespace {

class StockView : public GVWorldLocation {
public:
    StockView() : GVWorldLocation(nullptr, nullptr, nullptr) { SetBuildLevel(0.25f); }
    void ShowStock(float quantity, float maximum) override { total += quantity + maximum; }
    float total = 0.0f;
};

template <typename Block>
void RoundTrip(TXmlNode* element) {
    Block first;
    first.Load(element);
    fuzzcheck::SaveLoadSave(first);
}

template <typename Object>
std::string SaveObject(const Object& object) {
    SaveIdRegistry ids;
    TXmlNode node("Object");
    object.Save(&node, ids);
    return node.ToString().c_str();
}

template <typename Object>
void ObjectRoundTrip(TXmlNode* element, Object& first) {
    LoadIdRegistry ids;
    first.Load(element, ids);
    const std::string text = SaveObject(first);
    TXmlNode document;
    document.ParseString(text.c_str());
    Object second;
    second.Load(document.GetChildren().front(), ids);
    if (fuzzcheck::NumbersAreSmall(text) && text != SaveObject(second)) std::abort();
}

void AskLocation(GLocation& place) {
    StockView view;
    place.SetView(&view);
    for (int type = 0; type <= 5; ++type) {
        place.GetResourceQuantity(type);
        place.GetMaxQuantity(type);
        place.HasResourceType(type);
        place.GetRequiredEvent(type);
        place.HasWorkFor(type);
    }
    place.IsBuilt();
    place.CanUse("Puff", 3);
    place.Grow(2.5f);
    place.Grow(-1e30f);
    place.SetQuantity(1, 2147483647);
    place.SetCapacity(1, -5, -1);
    place.SetCapacity(2, 100, 7);
    place.Grow(1e30f);
    place.FinishBuilding();
    place.RefreshStockViews();
    if (const GLocationData* data = place.GetLocationData()) place.ReplaceData(*data);
    place.SetView(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(data), size);
    if (document.GetChildren().empty()) return 0;
    TXmlNode* element = document.GetChildren().front();
    RoundTrip<GCreatureData>(element);
    RoundTrip<GLocationData>(element);
    RoundTrip<GMonsterData>(element);

    GLocation place;
    ObjectRoundTrip(element, place);
    AskLocation(place);
    GLocation blockOnly;
    blockOnly.SetData(std::make_unique<GLocationData>());
    blockOnly.GetLocationData()->Load(element);
    AskLocation(blockOnly);

    GMonster monster;
    ObjectRoundTrip(element, monster);
    monster.GetAIProduction(2);
    monster.GetAIDuration(7);
    return 0;
}
