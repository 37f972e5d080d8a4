// The parts of a creature's sprite: body and head variants, the carried item, the forage load,
// the disease mark and the hint icon.
#include <iterator>

#include "gv/gvobject.h"
#include "simulation/views/worldcreature.h"
#include "simulation/worldkeys.h"

namespace {

// Variants 0 to 9, in that order.
constexpr const char* kBodies[] = {"body",  "body2", "body3", "body4", "body5",
                                   "body6", "body7", "body8", "body9", "body0"};
constexpr const char* kHeads[] = {"head",  "head2", "head3", "head4", "head5",
                                  "head6", "head7", "head8", "head9", "head0"};
// Items 1 to 14, in that order.
constexpr const char* kItems[] = {"stick", "shovel",   "hammer",   "tomahawk",  "fertilizer",
                                  "nail",  "food",     "water",    "rock",      "stone_2",
                                  "woods", "s-shovel", "s-hammer", "s-tomahawk"};
constexpr int kShovel = 2;
constexpr int kHammer = 3;
constexpr int kTomahawk = 4;
constexpr int kNail = 6;
constexpr int kSpecialShovel = 12;
constexpr int kSpecialHammer = 13;
constexpr int kSpecialTomahawk = 14;

}  // namespace

void GVWorldCreature::SetChildVisible(const char* name, bool visible) {
    GVObject* sprite = GetSprite();
    GVObject* child = sprite != nullptr ? sprite->GetChild(name) : nullptr;
    if (child == nullptr) return;
    child->visible = visible ? 1 : 0;
    child->changed = 1;
}

void GVWorldCreature::SetChildState(const char* name, GNameMask key) {
    GVObject* sprite = GetSprite();
    GVObject* child = sprite != nullptr ? sprite->GetChild(name) : nullptr;
    if (child != nullptr) child->SetStateRecursive(key, true, false);
}

void GVWorldCreature::ShowBody(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kBodies))) return;
    for (int i = 0; i < static_cast<int>(std::size(kBodies)); ++i)
        SetChildVisible(kBodies[i], i == index);
}

void GVWorldCreature::ShowHead(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kHeads))) return;
    for (int i = 0; i < static_cast<int>(std::size(kHeads)); ++i)
        SetChildVisible(kHeads[i], i == index);
}

void GVWorldCreature::ShowCarriedItem(int item, bool special) {
    if (special) {
        if (item == kShovel) item = kSpecialShovel;
        if (item == kHammer) item = kSpecialHammer;
        if (item == kTomahawk) item = kSpecialTomahawk;
    }
    // Nails are carried with the hammer that drives them.
    const int hammer = special ? kSpecialHammer : kHammer;
    for (int number = 1; number <= static_cast<int>(std::size(kItems)); ++number)
        SetChildVisible(kItems[number - 1], number == item || (item == kNail && number == hammer));
}

void GVWorldCreature::ShowForageLoad(bool smallberries, bool roots, bool yayaflowers) {
    SetChildVisible("smallberries", smallberries);
    SetChildVisible("roots", roots);
    SetChildVisible("yayaflowers", yayaflowers);
}

void GVWorldCreature::SetDiseaseMark(int index) {
    const GWorldKeys& keys = WorldKeys();
    const GNameMask marks[] = {keys.diseaseNone, keys.sneezies, keys.tumrot,
                               keys.kopox,       keys.fever,    keys.ebolio};
    if (index < 0 || index >= static_cast<int>(std::size(marks))) return;
    SetChildState("disease", marks[index]);
}

void GVWorldCreature::SetIcon(int index) {
    const GWorldKeys& keys = WorldKeys();
    const GNameMask icons[] = {keys.iconNull, keys.iconLb, keys.iconLbn, keys.iconQm};
    if (index < 0 || index >= static_cast<int>(std::size(icons))) return;
    SetChildState("icon", icons[index]);
}
