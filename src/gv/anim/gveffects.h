// The effect containers. GVCustomEffects is a list of effects loaded from a description: every
// child element of its element is an effect, made through the interpolator registry by the
// element's name (unregistered names are skipped). A state's own effects are one; an object's
// effects are a GVEffects, which also keeps the running lists: which effects are running now, and
// which of them to call before and after drawing, on frame changes and on the update.
//
// Ownership: each container owns its effects; the running lists of an object's GVEffects point at
// effects of the object's and its states' containers and own none. Destroying a GVEffects frees
// those lists without stopping any effect, then deletes its own effects.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "gv/gvconteiner.h"
#include "gv/anim/gveffect.h"

class GVData;
class GVObject;
class TDrawSpec;

class GVCustomEffects : public GVConteiner<GVEffect, str> {
public:
    GVCustomEffects() : GVConteiner<GVEffect, str>(kEffects, str()) {}

    GVBase* GetOwner() override { return mOwner; }
    // Stores the owner (a state or an object), then appends the effects of every child element.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // Appends clones of the effects and takes the owner.
    GVBase* CopyTo(GVBase* target) override;
    void SetOwner(GVBase* owner) { mOwner = owner; }
    // Gives every effect of this container the object; true when any accepted it.
    bool SetTargets(GVObject* object);

    // The effect the registry makes for the element's name, loaded with this container as owner;
    // null for an unregistered name or a failed load.
    GVEffect* CreateItem(TXmlNode* node) override;
    // A new effect of the same registry name that the effect copied itself into; null for an
    // unregistered name or a failed copy.
    GVEffect* CloneItem(GVEffect* effect) override;

protected:
    str GetKey(const GVEffect* item) const override { return item->id; }

private:
    GVBase* mOwner = nullptr;
};

class GVEffects : public GVCustomEffects {
public:
    GVEffects() = default;
    ~GVEffects() override;

    // Starts each effect of the container in order; each that starts joins the list of each of its
    // targets bits and the list of all running effects.
    void StartAll(GVCustomEffects* container);
    // Stops each effect of the container in order; each that stops leaves those lists (its first
    // entry in each).
    void StopAll(GVCustomEffects* container);
    // Whether every effect of the before-draw list lets the object be drawn (asked in order until
    // one refuses); true when the list is empty.
    bool CallBeforeDraw(TDrawSpec& spec);
    void CallAfterDraw(TDrawSpec& spec);
    void CallFrameChanged(int32_t previousPosition);
    void ApplyAll(GVData& composed);
    // The number of running effects.
    int32_t GetRunningCount() const { return static_cast<int32_t>(mRunning.size()); }

private:
    enum { kBeforeDrawList, kAfterDrawList, kFrameChangeList, kApplyList, kListCount };
    // The list of each targets bit, in the order an effect enters them.
    struct BitList {
        uint32_t bit;
        int list;
    };
    static const BitList kOrder[4];

    std::vector<GVEffect*> mLists[kListCount];
    std::vector<GVEffect*> mRunning;
};
