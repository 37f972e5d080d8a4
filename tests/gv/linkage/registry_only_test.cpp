// Names no tester class: the registry alone must know the built-in testers.
#include <gtest/gtest.h>

#include <memory>

#include "gv/hittest/gvhittester.h"

namespace {

TEST(HitTesterRegistryLinkTest, BuiltInTestersAreThereWithoutBeingNamed) {
    for (const char* name : {"default", "alpha"}) {
        std::unique_ptr<GVHitTester> tester(GVHitTesterRegistry::Create(name));
        ASSERT_NE(tester, nullptr) << name;
        EXPECT_STREQ(tester->GetTypeName().c_str(), name);
    }
    EXPECT_EQ(GVHitTesterRegistry::Create("none"), nullptr);
}

}  // namespace
