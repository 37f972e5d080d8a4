// GVEffect: a small animation attached to a visual object. It is loaded from the object's or a
// state's description, given its target object, started and stopped with the state it belongs
// to, and while it runs it changes the object's composed parameters (Apply) or takes part in its
// drawing (BeforeDraw, AfterDraw, OnFrameChanged). The targets bits choose which of these the
// object's effect container calls (gveffects.h). The plain effect does nothing; the engine's
// effects are the keyframe interpolators (gvinterpolator.h).
//
// The target is not owned: effects live in containers of that object or of its states.
// Main thread only.
#pragma once

#include <cstdint>

#include "foundation/str.h"
#include "gv/gvbase.h"

class GVData;
class GVObject;
class TDrawSpec;

class GVEffect : public GVBase {
public:
    // Bits of targets.
    enum : uint32_t { kBeforeDraw = 1, kAfterDraw = 2, kFrameChange = 4, kApply = 8 };

    explicit GVEffect(uint32_t targetBits = 0) : GVBase(kEffect), targets(targetBits) {}

    // "targets" (default 1), "enable" (default true) and "id"; true for a non-null node.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // Writes nothing: false.
    bool Save(TXmlNode* node) override;
    // Copies id, enabled and targets; null for a null target or one that is no effect.
    GVBase* CopyTo(GVBase* target) override;

    virtual const char* GetClassName() const { return "GVEffect"; }
    // True for the class's own name and for "GVEffect".
    virtual bool IsKindOf(const str& className) const;
    virtual void SetEnabled(bool on) { enabled = on; }
    // The name the interpolator registry makes the class by; empty here.
    virtual str GetTypeName() const { return str(); }
    // Whether the effect now runs (and joins the running lists).
    virtual bool Start() { return false; }
    // Whether the effect stopped (and leaves the running lists).
    virtual bool Stop() { return true; }
    // True when object is not null.
    virtual bool SetTarget(GVObject* object);
    // Whether the object may be drawn.
    virtual bool BeforeDraw(TDrawSpec& spec);
    virtual void AfterDraw(TDrawSpec& spec);
    virtual void OnFrameChanged(int32_t previousPosition);
    // Acts on the object's composed block during its update.
    virtual void Apply(GVData& composed);

    GVObject* GetTarget() const { return mTarget; }

    uint32_t targets;
    str id;
    bool enabled = true;

protected:
    GVObject* mTarget = nullptr;
};
