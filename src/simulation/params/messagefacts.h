// GMessageFacts: what the player messages (messagetable.h) need to know of creatures and places
// beyond their kind, names and current task: a creature's nickname, level, carried item, age and
// illness, a place's stock, and the name the world shows for an object. The world answers it for
// its creatures and locations; tests answer it with fakes. Main thread only.
#pragma once

#include "foundation/str.h"

class GObject;

class GMessageFacts {
public:
    virtual ~GMessageFacts() = default;

    virtual str GetNickName(GObject* creature) = 0;
    virtual int GetLevel(GObject* creature) = 0;
    virtual int GetItem(GObject* creature) = 0;
    virtual float GetAge(GObject* creature) = 0;
    virtual bool IsIll(GObject* creature) = 0;
    // Summed over the place's records of the resource type.
    virtual int GetResourceQuantity(GObject* location, int type) = 0;
    virtual int GetMaxQuantity(GObject* location, int type) = 0;
    // The object's name as the world shows it.
    virtual str GetDisplayName(GObject* object) = 0;
};
