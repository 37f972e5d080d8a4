// GVHitTester: decides whether a point inside an object's current frame rectangle really hits
// the object. The object makes its tester by name through GVHitTesterRegistry, builds it once
// for its description (Build), shares it with its clones and asks it (HitTest) with the point in
// pixels from the frame rectangle's top-left corner. Testers read no attributes, save nothing
// and are never copied.
//
// GVDefHitTester ("default") accepts every point. The alpha tester is in gvalphahittester.h.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "foundation/str.h"
#include "gv/gvbase.h"

class GVFrame;
class GVObject;

class GVHitTester : public GVBase {
public:
    GVHitTester() : GVBase(kHitTesterOrParams) {}

    // Testers write nothing: false.
    bool Save(TXmlNode* node) override;
    // (x, y) from the top-left corner of the frame's rectangle.
    virtual bool HitTest(int32_t x, int32_t y, const GVFrame& frame) = 0;
    // Prepares the tester for an object; false when it cannot serve it.
    virtual bool Build(GVObject* object) = 0;
    // The tester's name in the registry.
    virtual str GetTypeName() const = 0;
};

class GVDefHitTester : public GVHitTester {
public:
    bool HitTest(int32_t x, int32_t y, const GVFrame& frame) override;
    bool Build(GVObject* object) override;
    str GetTypeName() const override { return "default"; }
};

// The testers by name: "default" and "alpha", registered before the program starts. "none" is
// not registered, which is how an object gets no tester.
class GVHitTesterRegistry {
public:
    using Creator = std::function<GVHitTester*()>;

    // A new tester, owned by the caller; null for a name that is not registered.
    static GVHitTester* Create(const str& name);

private:
    static std::map<str, Creator>& Creators();
};
