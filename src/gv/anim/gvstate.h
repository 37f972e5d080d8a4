// Animation states. A GVState is a named list of frames of its object, shown one after another
// every defdelay milliseconds, with its own parameter block (composed into the object's while the
// state is current), its own effects (started and stopped with it) and, optionally, the key of the
// state that follows when its list ends. GVStates holds an object's states in description order,
// found by key (the first state of a key wins); it always holds a state "normal".
//
// Frame numbers are positions in the object's frame list, checked against its count when the
// states load (framelist.h). A state whose list ends up empty shows nothing (see GVObject).
//
// Ownership: the object owns its GVStates, which owns its states, each its own effects.
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "gv/gvconteiner.h"
#include "gv/gvdata.h"
#include "gv/anim/gveffects.h"
#include "gv/keys/namemask.h"

class GVObject;
class GVStates;

class GVState : public GVData {
public:
    GVState() : GVData(kState) {}
    GVState(const GVState&) = delete;
    GVState& operator=(const GVState&) = delete;
    ~GVState() override;

    // The parameter block, "defdelay" (default 100), "framelist" against the states' frame count
    // (owner is the GVStates; without one the count is 0), "id" (required) and "nextstate" as name
    // keys; own effects from the element's children when it has any. False without "id".
    bool Load(TXmlNode* node, GVBase* owner) override;
    // The parameter block, "defdelay" (empty at 100), "id", "framelist" (only with frames),
    // "nextstate".
    bool Save(TXmlNode* node) override;
    // The parameter block, defdelay, frames, keys and a clone of the own effects.
    GVBase* CopyTo(GVBase* target) override;

    // The frame number at the position; -1 outside the list.
    int32_t GetFrameAt(int32_t position) const;
    int32_t GetFrameCount() const { return static_cast<int32_t>(frames.size()); }
    GVCustomEffects* GetEffects() const { return mEffects; }

    int32_t defdelay = 100;
    std::vector<int32_t> frames;
    GNameMask id;
    GNameMask nextState;

private:
    GVCustomEffects* mEffects = nullptr;
};

// The key of the index is the state's id key.
class GVStates : public GVConteiner<GVState, uint64_t> {
public:
    // frameCount: the number of frames of the owner's frame list.
    GVStates(int32_t frameCount, GVObject* owner)
        : GVConteiner<GVState, uint64_t>(kStates, "state"),
          mOwner(owner),
          mFrameCount(frameCount) {}

    GVBase* GetOwner() override;
    // The "state" children (node may be null), then "normal" over every frame when no state has
    // that key. Always true.
    bool Load(TXmlNode* node, GVBase* owner) override;

    // The position of the first state of the key, or -1.
    int32_t FindByKey(GNameMask key) const { return Find(key.Bits()); }
    // Gives the own effects of every state the object as target.
    void BindEffects(GVObject* object);

    int32_t GetFrameCount() const { return mFrameCount; }
    // The state to switch to when the current list ends; 0 for none.
    GNameMask queued;

protected:
    uint64_t GetKey(const GVState* item) const override { return item->id.Bits(); }

private:
    GVObject* mOwner;
    int32_t mFrameCount;
};
