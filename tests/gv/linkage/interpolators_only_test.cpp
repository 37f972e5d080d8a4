// Names no interpolator class: the registry alone must know the built-in interpolators.
#include <gtest/gtest.h>

#include <memory>

#include "gv/anim/gveffect.h"
#include "gv/anim/gvinterpolatorregistry.h"

namespace {

TEST(InterpolatorRegistryLinkTest, BuiltInInterpolatorsAreThereWithoutBeingNamed) {
    for (const char* name : {"ScaleInterpolator", "DeltaMoveInterpolator", "AlphaInterpolator",
                             "RotateInterpolator"}) {
        GVInterpolatorRegistry::Creator creator = GVInterpolatorRegistry::Find(name);
        ASSERT_NE(creator, nullptr) << name;
        std::unique_ptr<GVEffect> effect(creator());
        EXPECT_STREQ(effect->GetTypeName().c_str(), name);
        EXPECT_TRUE(effect->IsKindOf("GVEffect"));
        EXPECT_EQ(effect->targets, 8u);
    }
    EXPECT_EQ(GVInterpolatorRegistry::Find("scaleinterpolator"), nullptr);  // exact names
    EXPECT_EQ(GVInterpolatorRegistry::Instance().size(), 4u);
}

}  // namespace
