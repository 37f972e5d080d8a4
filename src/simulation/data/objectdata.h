// GObjectData: the base of the parameter blocks of world objects (creaturedata.h,
// locationdata.h, monsterdata.h). A block is a record: the definition loaders fill one prototype
// per definition, which the names registry owns, and every world object owns its own copy.
// The three names are the definition's name ("Zebra", "Hyena"), the full name that tells the
// variants apart and keys the registry, and the name of the object's visual description.
//
// Load reads the saved attributes "Name", "FullName" and "AnimatorName" (absent ones empty) and
// Save writes them in that order; each subclass adds its own after them. Main thread only.
#pragma once

#include "foundation/str.h"

class TXmlNode;

class GObjectData {
public:
    virtual ~GObjectData();

    virtual void Load(TXmlNode* node);
    virtual void Save(TXmlNode* node) const;

    str name;
    str fullName;
    str animatorName;

protected:
    GObjectData() = default;
    GObjectData(const GObjectData&) = default;
    GObjectData& operator=(const GObjectData&) = default;
};
