// GVWorldCreature: the view of a creature, a monster, a grave or an ark-part mover, as the
// world's model sees it. So far: the carried item it shows. The world views implement it.
#pragma once

#include "simulation/worldobject.h"

class GVWorldCreature : public GVWorldObject {
public:
    int GetType() const override { return kCreatureView; }
    bool IsKindOf(GVViewClass viewClass) const override {
        return viewClass == GVViewClass::kCreature || GVWorldObject::IsKindOf(viewClass);
    }

    // Shows the carried item (0 none); special marks an item the holder treats specially.
    virtual void SetItem(int item, bool special) = 0;
};
