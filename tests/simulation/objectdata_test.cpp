#include "simulation/data/objectdata.h"

#include <gtest/gtest.h>

#include "foundation/xml/xmlnode.h"
#include "support/printers.h"

namespace {

// A block with nothing but the three names.
class NamesOnly : public GObjectData {};

TEST(ObjectDataTest, SavesTheThreeNamesInOrderAndReadsThemBack) {
    NamesOnly block;
    block.name = "Foodbin";
    block.fullName = "Food bin";
    block.animatorName = "loc_foodbin";
    TXmlNode node("Data");
    block.Save(&node);
    str name, value;
    const char* expected[][2] = {
        {"Name", "Foodbin"}, {"FullName", "Food bin"}, {"AnimatorName", "loc_foodbin"}};
    node.ResetAttributes();
    for (const auto& pair : expected) {
        ASSERT_TRUE(node.GetNextAttribute(name, value));
        EXPECT_EQ(name, str(pair[0]));
        EXPECT_EQ(value, str(pair[1]));
    }
    EXPECT_FALSE(node.GetNextAttribute(name, value));

    NamesOnly loaded;
    loaded.Load(&node);
    EXPECT_EQ(loaded.name, block.name);
    EXPECT_EQ(loaded.fullName, block.fullName);
    EXPECT_EQ(loaded.animatorName, block.animatorName);
}

TEST(ObjectDataTest, AbsentNamesLoadEmpty) {
    NamesOnly block;
    block.name = "old";
    TXmlNode node("Data");
    node.SetAttribute("FullName", "Only");
    block.Load(&node);
    EXPECT_EQ(block.name, str(""));
    EXPECT_EQ(block.fullName, str("Only"));
    EXPECT_EQ(block.animatorName, str(""));
}

}  // namespace
