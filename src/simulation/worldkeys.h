// The world's fixed name keys: activity states of creatures and monsters, directions and head
// turns, diseases, shadows and marks, and the switches of building, cure, work and ark-part
// effects. A creature's visual state is its activity key with a direction key appended ("walk"
// then "NE"); effects and marks are single keys handed to the visual object.
//
// All are made together, the first time WorldKeys is called, right after the visual objects'
// "normal" and "any" (gv/keys/statekeys.h), in the order of kWorldKeyNames. Nothing may rely on the
// number a word gets; GetName turns a key back into its text. Main thread only.
#pragma once

#include <cstddef>

#include "gv/keys/namemask.h"

struct GWorldKeys {
    // Activity states.
    GNameMask normal, work, workM, celebrate, flakeOut, think, fight, hidden, failed, disappear,
        breed, forage, gatherWater, chopWoods, walk, stay;
    // Directions and head turns.
    GNameMask dirN, dirNE, dirE, dirSE, dirS, dirSW, dirW, dirNW, headLeft, headRight;
    // Diseases.
    GNameMask diseaseNone, sneezies, tumrot, fever, kopox, ebolio;
    // Shadows, selection marks, icons.
    GNameMask shadowNormal, shadowHidden, markNormal, markHidden, iconNull, iconLb, iconLbn, iconQm,
        treasureMark;
    // Building and cure effects.
    GNameMask buildingEffectsDustOn, buildingEffectsDustOff, cureKopoxOn, cureFeverOn, cureEbolioOn,
        cureTumrotOn, cureAllOff;
    // Work effects.
    GNameMask dustOnLeft, chipsOnLeft, splintersOnLeft, splashesOnLeft, dustOnRight, chipsOnRight,
        splintersOnRight, splashesOnRight, allWorkEffectsOff, pillageOnLeft, pillageOnRight,
        pillageEffectsOff;
    // Ark-part switches.
    GNameMask arkPartStickOn, arkPartStickOff, arkPartWoodOn, arkPartWoodOff, arkPartStoneOn,
        arkPartStoneOff, arkPartStone2On, arkPartStone2Off, arkPartAllMaterialsOn,
        arkPartAllMaterialsOff;
};

struct GWorldKeyName {
    const char* name;
    GNameMask GWorldKeys::*key;
};

// Every key with its text, in the order they are made.
extern const GWorldKeyName kWorldKeyNames[];
extern const size_t kWorldKeyCount;

// The keys, made in the process-wide registry on first use.
const GWorldKeys& WorldKeys();
