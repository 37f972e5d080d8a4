// GWorldFacts: what the player messages (params/messagetable.h) learn of the world's creatures and
// locations: a creature's nickname, level, carried item, age and illness, a location's stock, and
// the name the world shows for an object (its definition name). An object of another kind, or
// none, answers empty texts, 0 and false. The world attaches one to its message table.
// Main thread only.
#pragma once

#include "simulation/params/messagefacts.h"

class GWorldFacts : public GMessageFacts {
public:
    str GetNickName(GObject* creature) override;
    int GetLevel(GObject* creature) override;
    int GetItem(GObject* creature) override;
    float GetAge(GObject* creature) override;
    bool IsIll(GObject* creature) override;
    int GetResourceQuantity(GObject* location, int type) override;
    int GetMaxQuantity(GObject* location, int type) override;
    str GetDisplayName(GObject* object) override;
};
