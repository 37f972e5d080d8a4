// GVData: the visual parameters of an object, a state or a step of composition: where the object
// sits (deltaX, deltaY, depth deltaZ), how it turns, scales and fades, whether it shows, its
// colour factors, flips and blend mode. Objects compose their blocks into one (Compose) and draw
// with the result; the changed flag tells an object when to compose again.
//
// "rotate" is in radians, as every angle of the engine. The centre is read from descriptions but
// never written back; the colour factors are set by game code only.
//
// Blend composition: Compose takes the other block's blend when it is not 0 and keeps its own
// otherwise, so a description's "add", "sub" or "mul" survives the blocks at 0 composed after it
// (a state's, an inherited one) and a non-zero blend later in the composition overrides it. An
// object composes its inherited block (a copy of its parent's composed block) last, so a parent's
// non-zero blend also overrides a child description's own: a parent "add" over a child "mul"
// draws the child with "add".
//
// Main thread only.
#pragma once

#include <cstdint>

#include "gv/gvbase.h"

class GVData : public GVBase {
public:
    // Bits of flip.
    enum : uint32_t { kFlipHorizontal = 1, kFlipVertical = 2 };
    // Values of blend.
    enum : int32_t { kBlendNormal = 0, kBlendAdd = 2, kBlendSub = 3, kBlendMul = 4 };

    explicit GVData(int32_t kind = kData) : GVBase(kind) {}
    GVData(const GVData& other);
    // Copies every parameter and sets the changed flag; the kind stays.
    GVData& operator=(const GVData& other);

    bool Load(TXmlNode* node, GVBase* owner) override;
    bool Save(TXmlNode* node) override;
    // Copies every parameter into the target and sets its changed flag; the target's kind is not
    // examined. Null when the target is no parameter block.
    GVBase* CopyTo(GVBase* target) override;
    virtual void ResetChanged() { changed = false; }

    // Folds other into this block: positions, rotation and centre added; scaling, alpha and
    // colour factors multiplied; visible only when both are; flips exclusive-or'ed; blend as the
    // header says. Sets the changed flag.
    void Compose(const GVData& other);

    float deltaX = 0.0f;
    float deltaY = 0.0f;
    float deltaZ = 0.0f;
    float rotate = 0.0f;
    float scaling = 1.0f;
    float centerX = 0.0f;
    float centerY = 0.0f;
    int8_t visible = 1;
    float alpha = 1.0f;
    float colors[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    uint32_t flip = 0;
    int32_t blend = kBlendNormal;
    uint8_t changed = 1;

private:
    void CopyParameters(const GVData& from);
};
