#include "simulation/worldkeys.h"

#include <iterator>

#include "gv/keys/namemaskregistry.h"
#include "gv/keys/statekeys.h"

const GWorldKeyName kWorldKeyNames[] = {
    {"normal", &GWorldKeys::normal},
    {"work", &GWorldKeys::work},
    {"workM", &GWorldKeys::workM},
    {"celebrate", &GWorldKeys::celebrate},
    {"flakeOut", &GWorldKeys::flakeOut},
    {"think", &GWorldKeys::think},
    {"fight", &GWorldKeys::fight},
    {"hidden", &GWorldKeys::hidden},
    {"failed", &GWorldKeys::failed},
    {"disappear", &GWorldKeys::disappear},
    {"breed", &GWorldKeys::breed},
    {"forage", &GWorldKeys::forage},
    {"gather_water", &GWorldKeys::gatherWater},
    {"chop_woods", &GWorldKeys::chopWoods},
    {"walk", &GWorldKeys::walk},
    {"stay", &GWorldKeys::stay},
    {"N", &GWorldKeys::dirN},
    {"NE", &GWorldKeys::dirNE},
    {"E", &GWorldKeys::dirE},
    {"SE", &GWorldKeys::dirSE},
    {"S", &GWorldKeys::dirS},
    {"SW", &GWorldKeys::dirSW},
    {"W", &GWorldKeys::dirW},
    {"NW", &GWorldKeys::dirNW},
    {"headLeft", &GWorldKeys::headLeft},
    {"headRight", &GWorldKeys::headRight},
    {"None", &GWorldKeys::diseaseNone},
    {"Sneezies", &GWorldKeys::sneezies},
    {"Tumrot", &GWorldKeys::tumrot},
    {"Fever", &GWorldKeys::fever},
    {"Kopox", &GWorldKeys::kopox},
    {"Ebolio", &GWorldKeys::ebolio},
    {"shadow_normal", &GWorldKeys::shadowNormal},
    {"shadow_hidden", &GWorldKeys::shadowHidden},
    {"mark_normal", &GWorldKeys::markNormal},
    {"mark_hidden", &GWorldKeys::markHidden},
    {"icon_null", &GWorldKeys::iconNull},
    {"icon_lb", &GWorldKeys::iconLb},
    {"icon_lbn", &GWorldKeys::iconLbn},
    {"icon_qm", &GWorldKeys::iconQm},
    {"treasure_mark", &GWorldKeys::treasureMark},
    {"building_effects_dust_on", &GWorldKeys::buildingEffectsDustOn},
    {"building_effects_dust_off", &GWorldKeys::buildingEffectsDustOff},
    {"cure_kopox_on", &GWorldKeys::cureKopoxOn},
    {"cure_fever_on", &GWorldKeys::cureFeverOn},
    {"cure_ebolio_on", &GWorldKeys::cureEbolioOn},
    {"cure_tumrot_on", &GWorldKeys::cureTumrotOn},
    {"cure_all_off", &GWorldKeys::cureAllOff},
    {"dust_on_left", &GWorldKeys::dustOnLeft},
    {"chips_on_left", &GWorldKeys::chipsOnLeft},
    {"splinters_on_left", &GWorldKeys::splintersOnLeft},
    {"splashes_on_left", &GWorldKeys::splashesOnLeft},
    {"dust_on_right", &GWorldKeys::dustOnRight},
    {"chips_on_right", &GWorldKeys::chipsOnRight},
    {"splinters_on_right", &GWorldKeys::splintersOnRight},
    {"splashes_on_right", &GWorldKeys::splashesOnRight},
    {"all_work_effects_off", &GWorldKeys::allWorkEffectsOff},
    {"pillage_on_left", &GWorldKeys::pillageOnLeft},
    {"pillage_on_right", &GWorldKeys::pillageOnRight},
    {"pillage_effects_off", &GWorldKeys::pillageEffectsOff},
    {"ark_part_stick_on", &GWorldKeys::arkPartStickOn},
    {"ark_part_stick_off", &GWorldKeys::arkPartStickOff},
    {"ark_part_wood_on", &GWorldKeys::arkPartWoodOn},
    {"ark_part_wood_off", &GWorldKeys::arkPartWoodOff},
    {"ark_part_stone_on", &GWorldKeys::arkPartStoneOn},
    {"ark_part_stone_off", &GWorldKeys::arkPartStoneOff},
    {"ark_part_stone_2_on", &GWorldKeys::arkPartStone2On},
    {"ark_part_stone_2_off", &GWorldKeys::arkPartStone2Off},
    {"ark_part_all_materials_on", &GWorldKeys::arkPartAllMaterialsOn},
    {"ark_part_all_materials_off", &GWorldKeys::arkPartAllMaterialsOff},
};
const size_t kWorldKeyCount = std::size(kWorldKeyNames);

const GWorldKeys& WorldKeys() {
    static const GWorldKeys keys = [] {
        GetStateKeys();
        GNameMaskRegistry& registry = GNameMaskRegistry::Instance();
        GWorldKeys made;
        for (const GWorldKeyName& entry : kWorldKeyNames) {
            made.*entry.key = registry.Parse(entry.name, false);
        }
        return made;
    }();
    return keys;
}
