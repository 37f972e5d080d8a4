// GVBase: the root of every piece of a visual-object description (parameter blocks, objects,
// states, effects, textures, frames, hit testers and the lists that hold them). Each loads
// itself from an XML element, saves itself into one and copies itself into another instance.
// The kind number says which class an instance is; it is fixed at construction, and code that
// receives a GVBase checks it before treating the item as a particular class.
//
// Main thread only, like everything in gv.
#pragma once

#include <cstdint>

class TXmlNode;

class GVBase {
public:
    // The kind numbers of the engine's classes.
    enum Kind : int32_t {
        kHitTesterOrParams = 0,  // the hit testers and GVParams
        kData = 1,               // a plain GVData block
        kFrame = 2,
        kFrames = 3,
        kTexture = 4,
        kTextures = 5,
        kState = 6,
        kStates = 7,
        kEffect = 8,             // GVEffect and every interpolator
        kEffects = 9,            // GVCustomEffects and GVEffects
        kObject = 10,
        kChilds = 11,
    };

    explicit GVBase(int32_t kind) : mKind(kind) {}
    GVBase(const GVBase&) = default;
    GVBase& operator=(const GVBase&) { return *this; }  // the kind never changes
    virtual ~GVBase() = default;

    int32_t GetKind() const { return mKind; }

    // The item this one belongs to, and its parent object; none here.
    virtual GVBase* GetOwner() { return nullptr; }
    virtual GVBase* GetParent() { return nullptr; }
    // Reads the item from an element; owner is whatever loads it (a list, an object, a state).
    // Here: true exactly for a non-null node, reading nothing.
    virtual bool Load(TXmlNode* node, GVBase* owner);
    virtual bool Save(TXmlNode* node) = 0;
    // Copies this item's data into target and answers it, or null when the target does not fit.
    // Here: target unchanged. Derived classes call this first and stop on null.
    virtual GVBase* CopyTo(GVBase* target);

private:
    int32_t mKind;
};
