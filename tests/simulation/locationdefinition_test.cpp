// The location and monster definition loaders, and the files they come from.
#include <gtest/gtest.h>

#include <string>

#include "simulation/definitions/definitionfiles.h"
#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"
#include "support/printers.h"
#include "support/tempdir.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

class DefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        params.defaultTask = 12;
        registry.SetGameParams(&params);
    }

    const GLocationData* Location(const char* xml) {
        XmlDoc doc(xml);
        return static_cast<const GLocationData*>(
            registry.LoadLocationDefinition(doc.Top(), nullptr).stored);
    }
    std::unique_ptr<GLocationData> Over(const GLocationData& base, const char* xml) {
        XmlDoc doc(xml);
        GLoadedDefinition loaded = registry.LoadDefinition(doc.Top(), &base);
        EXPECT_EQ(loaded.stored, nullptr);
        return std::unique_ptr<GLocationData>(static_cast<GLocationData*>(loaded.owned.release()));
    }
    const GMonsterData* Monster(const char* xml) {
        XmlDoc doc(xml);
        return static_cast<const GMonsterData*>(registry.LoadDefinition(doc.Top()).stored);
    }

    GlobalData params;
    GNameRegistry registry;
};

TEST_F(DefinitionTest, LocationFile) {
    const GLocationData* bin = Location(R"(<Location Name="Foodbin" FullName="Food bin">
        <Animator Name="loc_foodbin" EndLevel="0.5"/>
        <Resources><Food Quantity="5"/><Wood Quantity="3"/>
        <Build Quantity="10" MaxQuantity="12" AfterBuildQuantity="0" Action="Build"
            ItemRequired="Stone 2" SaveItemRequired="1" ItemProducted="Shovel" NameRequired="Puff"
            LevelRequired="2" EventRequired="7" ResourceRequired="Water" Addition="3"
            AfterBuildTransform="First"/>
        <Water AfterBuildTransform="Second"/></Resources>
        <Bonus Action="forage" Bonus="25"/>
        <Components><KonutRoot Research="4" ItemRequiredToResearch="Stick" NameRequired="Zebra"/>
        <Food Research="1"/></Components>
        <CanUse><GuruGiraffe Level="2"/><GuruGiraffe Level="3"/><Puff/></CanUse></Location>)");
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(registry.FindLocationDefinition("Food bin"), bin);
    EXPECT_EQ(bin->name, str("Foodbin"));
    EXPECT_EQ(bin->animatorName, str("loc_foodbin"));
    EXPECT_EQ(bin->animatorStartLevel, 0.0f);
    EXPECT_EQ(bin->animatorEndLevel, 0.5f);
    ASSERT_EQ(bin->resources.size(), 3u);  // "Wood" is an item, not a resource: skipped
    const GResourceRecord& food = bin->resources[0];
    EXPECT_EQ(food.type, 1);
    EXPECT_EQ(food.quantity, 5);
    EXPECT_EQ(food.maxQuantity, 5);
    EXPECT_EQ(food.afterBuildQuantity, 5);
    const GResourceRecord& build = bin->resources[1];
    EXPECT_EQ(build.maxQuantity, 12);
    EXPECT_EQ(build.afterBuildQuantity, 0);
    EXPECT_EQ(build.action, 4);
    EXPECT_EQ(build.requiredItem, 10);
    EXPECT_EQ(build.requiredItemSave, 1);
    EXPECT_EQ(build.productionItem, 2);
    EXPECT_EQ(build.requiredName, str("Puff"));
    EXPECT_EQ(build.requiredLevel, 2);
    EXPECT_EQ(build.requiredEvent, 7);
    EXPECT_EQ(build.requiredType, 2);
    EXPECT_EQ(build.addition, 3);
    EXPECT_EQ(bin->afterBuildTransform, str("Second"));
    EXPECT_EQ(bin->locationBonusID, 2);
    EXPECT_EQ(bin->locationBonusPercents, 25);
    ASSERT_EQ(bin->components.size(), 1u);
    EXPECT_EQ(bin->components[0].type, 2);
    EXPECT_EQ(bin->components[0].researchQuantity, 4);
    EXPECT_EQ(bin->components[0].itemRequiredToResearch, 1);
    EXPECT_EQ(bin->components[0].nameRequiredToResearch, str("Zebra"));
    ASSERT_EQ(bin->canUse.size(), 1u);
    EXPECT_EQ(bin->canUse.at("GuruGiraffe"), 3);

    EXPECT_EQ(Location(R"(<Location Name="A"/>)"), nullptr);
    EXPECT_EQ(Location(R"(<Location Name="A"><Animator/></Location>)"), nullptr);
    EXPECT_EQ(Location(R"(<Location FullName="A"><Animator Name="x"/></Location>)"), nullptr);
    // A held full name: the earlier block stays and the new one gives nothing.
    EXPECT_EQ(Location(R"(<Location Name="Other" FullName="Food bin"><Animator Name="x"/>
        </Location>)"),
              nullptr);
    EXPECT_EQ(registry.FindLocationDefinition("Food bin"), bin);
}

GLocationData Prototype(const char* name, const char* fullName) {
    GLocationData base;
    base.name = name;
    base.fullName = fullName;
    base.animatorName = "loc_base";
    base.animatorStartLevel = 0.2f;
    base.animatorEndLevel = 0.8f;
    GResourceRecord build;
    build.type = 3;
    build.quantity = 0;
    build.maxQuantity = 10;
    build.afterBuildQuantity = 6;
    build.requiredItemSave = 2;
    build.requiredName = "Puff";
    build.requiredEvent = 9;
    base.resources = {build, build};
    base.components = {{1, 3, "Zebra", 4}, {1, 8, "Lion", 5}};
    base.afterBuildTransform = "";
    return base;
}

TEST_F(DefinitionTest, LayoutElementsOverAPrototype) {
    const GLocationData base = Prototype("Foodbin", "Foodbin");
    auto block = Over(base, R"(<Location Name="Foodbin" FullName="Food bin 1">
        <Resources><Build Quantity="4" RequiredItemSave="7" SaveItemRequired="7" MaxQuantity="-5"
        EventRequired="0" NameRequired="" LevelRequired="3" AfterBuildTransform="Food bin"
        ResourceRequired="Water" Action="forage" ItemProducted="Shovel" Addition="-2"/>
        <Food Quantity="9"/></Resources>
        <Components><YayaFlower Research="5" ItemRequiredToResearch="Hammer"
        NameRequired="Gorilla"/><KonutRoot Research="2"/></Components></Location>)");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(registry.FindLocationDefinition("Food bin 1"), nullptr);  // not stored
    EXPECT_EQ(block->name, str("Foodbin"));
    EXPECT_EQ(block->fullName, str("Food bin 1"));
    EXPECT_EQ(block->animatorName, str("loc_base"));  // no "Animator": as copied
    EXPECT_EQ(block->animatorEndLevel, 0.8f);
    ASSERT_EQ(block->resources.size(), 2u);  // "Food": no record of its type, skipped
    const GResourceRecord& first = block->resources[0];
    EXPECT_EQ(first.quantity, 4);
    EXPECT_EQ(first.maxQuantity, 10);
    EXPECT_EQ(first.afterBuildQuantity, 6);  // missing: no change
    EXPECT_EQ(first.requiredItemSave, 2);    // never changed
    EXPECT_EQ(first.requiredEvent, 9);
    EXPECT_EQ(first.requiredName, str("Puff"));
    EXPECT_EQ(first.requiredLevel, 3);
    EXPECT_EQ(first.requiredType, 2);
    EXPECT_EQ(first.action, 2);
    EXPECT_EQ(first.productionItem, 2);
    EXPECT_EQ(first.addition, 0);  // not above 0: no change
    EXPECT_EQ(block->resources[1].quantity, 0);  // only the first of the type
    EXPECT_EQ(block->components[0].researchQuantity, 5);
    EXPECT_EQ(block->components[0].itemRequiredToResearch, 3);
    EXPECT_EQ(block->components[0].nameRequiredToResearch, str("Zebra"));
    EXPECT_EQ(block->components[1].researchQuantity, 8);
    EXPECT_EQ(block->components.size(), 2u);
    EXPECT_EQ(block->afterBuildTransform, str("Food bin"));  // the base had none
}

TEST_F(DefinitionTest, BaseRules) {
    {
        // A base whose name differs from its full name keeps its name.
        const GLocationData base = Prototype("Idol", "Idol Lion 1");
        auto block = Over(base, R"(<Location Name="Other"/>)");
        EXPECT_EQ(block->name, str("Idol"));
        EXPECT_EQ(block->fullName, str("Other"));
    }
    {
        // A base whose name is its full name takes the element's name.
        const GLocationData base = Prototype("Foodbin", "Foodbin");
        auto block = Over(base, R"(<Location Name="Bin" FullName="Bin 2"/>)");
        EXPECT_EQ(block->name, str("Bin"));
        EXPECT_EQ(block->fullName, str("Bin 2"));
    }
    {
        // An "Animator" without a name: the name stays, the levels are read (or defaulted).
        const GLocationData base = Prototype("A", "A");
        auto block = Over(base, R"(<Location Name="A"><Animator StartLevel="0.1"/></Location>)");
        EXPECT_EQ(block->animatorName, str("loc_base"));
        EXPECT_FLOAT_EQ(block->animatorStartLevel, 0.1f);
        EXPECT_EQ(block->animatorEndLevel, 1.0f);
        auto named = Over(base, R"(<Location Name="A"><Animator Name="new"/></Location>)");
        EXPECT_EQ(named->animatorName, str("new"));
    }
    {
        // The base's transform wins over the children's.
        GLocationData base = Prototype("A", "A");
        base.afterBuildTransform = "Kept";
        auto block = Over(base, R"(<Location Name="A"><Resources><Build
            AfterBuildTransform="Child"/></Resources></Location>)");
        EXPECT_EQ(block->afterBuildTransform, str("Kept"));
    }
    {
        // A base without records: the first child is appended with the table's defaults, the
        // ones after it change the record it made or are skipped.
        GLocationData base;
        base.name = "A";
        base.fullName = "A";
        auto block = Over(base, R"(<Location Name="A"><Resources><Build Quantity="4"/>
            <Build Quantity="2"/><Food Quantity="1"/></Resources><Components>
            <Smallberry Research="1" NameRequired="Lion"/><Smallberry Research="3"/>
            <KonutRoot Research="2"/></Components></Location>)");
        ASSERT_EQ(block->resources.size(), 1u);
        EXPECT_EQ(block->resources[0].quantity, 2);
        EXPECT_EQ(block->resources[0].maxQuantity, 4);
        EXPECT_EQ(block->resources[0].afterBuildQuantity, 4);
        ASSERT_EQ(block->components.size(), 1u);
        EXPECT_EQ(block->components[0].researchQuantity, 3);
        EXPECT_EQ(block->components[0].nameRequiredToResearch, str("Lion"));
    }
    {
        // A base of another kind makes nothing.
        GMonsterData monster;
        XmlDoc doc(R"(<Location Name="A"><Animator Name="x"/></Location>)");
        EXPECT_EQ(registry.LoadDefinition(doc.Top(), &monster).Block(), nullptr);
    }
}

TEST_F(DefinitionTest, Monsters) {
    const GMonsterData* hyena = Monster(R"(<Monster Name="Hyena">
        <Animator Name="hyena_l1" Speed="3" AnimatorsNum="5"/>
        <AI><Task Action="forage" Weight="4" Production="2" Duration="0"/>
        <Task Action="forage" Weight="9" Production="1"/>
        <Task Action="gatherwater" Weight="4"/>
        <Task Action="flakeout" Weight="4" Production="-1"/>
        <Task Action="defend" Production="3"/>
        <Task Action="runaway" Weight="1" Production="0" Duration="70"/></AI>
        <Health StartHealth="60"/></Monster>)");
    ASSERT_NE(hyena, nullptr);
    EXPECT_EQ(registry.FindMonsterDefinition("Hyena"), hyena);
    EXPECT_EQ(hyena->speed, 3.0f);
    EXPECT_EQ(hyena->runSpeed, 3.0f);
    EXPECT_EQ(hyena->runAnimSpeedKoef, 1.0f);
    EXPECT_EQ(hyena->animatorsNum, 5);
    EXPECT_EQ(hyena->currentAnimator, -1);
    EXPECT_EQ(hyena->startHealth, 60);
    EXPECT_EQ(hyena->currentHealth, 60);
    EXPECT_EQ(hyena->tomahawkVulnerability, 0);
    ASSERT_EQ(hyena->aiCoefs.size(), 2u);
    EXPECT_EQ(hyena->aiCoefs.at(2).weight, 4);
    EXPECT_EQ(hyena->aiCoefs.at(2).duration, 12);
    EXPECT_EQ(hyena->aiCoefs.at(20).duration, 70);

    EXPECT_EQ(Monster(R"(<Monster Name="B"><Animator Name="x"/></Monster>)"), nullptr);
    EXPECT_EQ(Monster(R"(<Monster Name="B"><Animator Name="x"/><Health/></Monster>)"), nullptr);
    EXPECT_EQ(Monster(R"(<Monster Name="B"><Animator/><Health StartHealth="1"/></Monster>)"),
              nullptr);
    EXPECT_NE(Monster(R"(<Monster Name="B"><Animator Name="x"/><Health StartHealth="1"/>
        </Monster>)"),
              nullptr);
}

TEST_F(DefinitionTest, RootNames) {
    const char* rows[] = {
        R"(<creature Name="A"/>)",
        R"(<Thing Name="A"/>)",
    };
    for (const char* row : rows) {
        XmlDoc doc(row);
        EXPECT_EQ(registry.LoadDefinition(doc.Top()).Block(), nullptr) << row;
    }
    EXPECT_EQ(registry.LoadDefinition(nullptr).Block(), nullptr);
}

// A file of the definition list for a folder the test fills.
void Write(const testing_support::TempDir& dir, const std::string& name, const std::string& text) {
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(name + ".xml"), text));
}

std::string Puff(const char* fullName, const char* next, int time) {
    return std::string("<Creature Name=\"Puff\" FullName=\"") + fullName +
           "\"><Animator Name=\"puff\"/><Evolution><Evolve Action=\"forage\" Next=\"" + next +
           "\" Time=\"" + std::to_string(time) +
           "\"/></Evolution><AI/><Health StartHealth=\"10\"/></Creature>";
}

TEST_F(DefinitionTest, DefinitionFiles) {
    EXPECT_EQ(kDefinitionFileCount, 102u);
    testing_support::TempDir dir;
    EXPECT_EQ(registry.LoadDefinitionFile(str("::") + dir.File("missing.xml").c_str()).Block(),
              nullptr);
    Write(dir, "puff_basic",
          "<?xml version=\"1.0\"?>\n<!-- first -->\n" + Puff("BasicPuff", "SkilledPuff", 100));
    Write(dir, "puff_skilled", Puff("SkilledPuff", "ExpertPuff", 200));
    // puff_expert is missing; puff_guru has another root; hyena fails.
    Write(dir, "puff_guru", "<Thing Name=\"X\"/>");
    Write(dir, "hyena", "<Monster Name=\"Hyena\"><Animator Name=\"h\"/></Monster>");
    Write(dir, "foodbin", "<Location Name=\"Foodbin\"><Animator Name=\"f\"/></Location>");
    Write(dir, "tree", "<Location Name=\"Tree\"><Animator Name=\"t\"/></Location>");
    // A later file with a held full name: the first stays.
    Write(dir, "dummy",
          "<Location Name=\"Foodbin\" FullName=\"Foodbin\"><Animator Name=\"d\"/>"
          "</Location>");
    registry.LoadDefinitionFiles(str("::") + dir.Path().c_str() + "/");
    ASSERT_NE(registry.FindCreatureDefinition("BasicPuff"), nullptr);
    EXPECT_NE(registry.FindCreatureDefinition("SkilledPuff"), nullptr);
    EXPECT_EQ(registry.FindMonsterDefinition("Hyena"), nullptr);
    EXPECT_EQ(registry.FindLocationDefinition("Foodbin")->animatorName, str("f"));
    EXPECT_NE(registry.FindLocationDefinition("Tree"), nullptr);
    EXPECT_EQ(registry.GetEvolutionTotal(2), 300);  // the chain ends at the missing form
    const GEvolutionData& step = registry.FindCreatureDefinition("SkilledPuff")->evolutionDatas[0];
    EXPECT_EQ(step.startLevel, 100);
    EXPECT_EQ(step.maxLevel, 300);
}

}  // namespace
