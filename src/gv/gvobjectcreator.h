// The factory's two object creators: "default" makes a GVObject, "text" a GVTextObject. They
// differ in the class they make and in what an empty key without a node gives (no object, or a
// new unloaded text object). The factory registers both in its own file, so any program that
// uses the factory has them.
//
// Main thread only.
#pragma once

#include "gv/gvfactory.h"

class GVDefaultObjectCreator : public GVFactory::GVObjectCreator {
public:
    explicit GVDefaultObjectCreator(GVFactory* factory) : mFactory(factory) {}
    GVObject* Create(const str& key, TXmlNode* node, GVBase* owner) override;
    GVObject* Clone(GVObject* source) override;
    bool Activate(GVObject* object, GVScene* scene, GVObject* parent, bool startStates) override;
    str GetName() const override { return "default"; }

protected:
    // A new object of the creator's class.
    virtual GVObject* NewObject() const;
    // What an empty key without a node gives.
    virtual GVObject* CreateEmpty() const { return nullptr; }

    GVFactory* mFactory;
};

class GVTextObjectCreator : public GVDefaultObjectCreator {
public:
    explicit GVTextObjectCreator(GVFactory* factory) : GVDefaultObjectCreator(factory) {}
    str GetName() const override { return "text"; }

protected:
    GVObject* NewObject() const override;
    GVObject* CreateEmpty() const override { return NewObject(); }
};
