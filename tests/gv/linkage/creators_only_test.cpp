// Names no creator or object class: the factory alone must know "default" and "text".
#include <gtest/gtest.h>

#include <memory>

#include "gv/gvfactory.h"
#include "gv/gvobject.h"

namespace {

TEST(FactoryCreatorLinkTest, BuiltInCreatorsAreThereWithoutBeingNamed) {
    GVFactory& factory = GVFactory::Instance();
    for (const char* name : {"default", "text"}) {
        GVFactory::GVObjectCreator* creator = factory.GetCreator(str("x?") + name);
        ASSERT_NE(creator, nullptr) << name;
        EXPECT_STREQ(creator->GetName().c_str(), name);
    }
    EXPECT_STREQ(factory.GetCreator("x")->GetName().c_str(), "default");
    EXPECT_EQ(factory.GetCreator("x?none"), nullptr);
    // The text creator makes an object from nothing.
    std::unique_ptr<GVObject> text(factory.GetCreator("?text")->Create("", nullptr, nullptr));
    EXPECT_NE(text, nullptr);
}

}  // namespace
