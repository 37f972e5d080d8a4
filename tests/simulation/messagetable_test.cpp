#include "simulation/params/messagetable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "foundation/prefs/stringtable.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/localtext.h"
#include "simulation/params/messagefacts.h"
#include "simulation/nameregistry.h"
#include "simulation/schedule/schedule.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "testobjects.h"
#include "xmlfixture.h"

namespace {

using simtest::TestObject;
using simtest::XmlDoc;

struct Facts {
    str nickName;
    int level = 0;
    int item = 0;
    float age = 0.0f;
    bool ill = false;
    std::map<int, int> quantity;
    std::map<int, int> maxQuantity;
    str displayName;
};

class FakeFacts : public GMessageFacts {
public:
    str GetNickName(GObject* o) override { return of[o].nickName; }
    int GetLevel(GObject* o) override { return of[o].level; }
    int GetItem(GObject* o) override { return of[o].item; }
    float GetAge(GObject* o) override { return of[o].age; }
    bool IsIll(GObject* o) override { return of[o].ill; }
    int GetResourceQuantity(GObject* o, int type) override { return of[o].quantity[type]; }
    int GetMaxQuantity(GObject* o, int type) override { return of[o].maxQuantity[type]; }
    str GetDisplayName(GObject* o) override { return of[o].displayName; }

    std::map<GObject*, Facts> of;
};

class MessageTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        simtest::FillTable(strings,
                           {{"t5", "five"},
                            {"t5b", "five b"},
                            {"t7", "seven"},
                            {"t_all", "$NAME$ takes $ITEM$ to $LOCATION$ ($NAME2$): $TASK$"},
                            {"none_str", "idling"},
                            {"forage_str", "foraging"}});
        SetStringTable(&strings);
        table.Attach(&data, &names, &facts);
        puff.Data()->name = "Puff";
        bin.Data()->name = "Foodbin";
        bin.Data()->fullName = "Food bin";
    }

    void Load(const char* xml) {
        XmlDoc doc(xml);
        table.Load(doc.Top(), names);
    }

    // The texts Format gives over many draws.
    std::set<std::string> Draws(MessageTable::List list, GObject* subject, GObject* object) {
        std::set<std::string> texts;
        for (int i = 0; i < 200; ++i)
            texts.insert(table.Format(list, subject, object).c_str());
        return texts;
    }

    TStringTable strings;
    GlobalData data;
    GNameRegistry names;
    FakeFacts facts;
    MessageTable table;
    TestObject puff{"puff"};
    TestObject bin{"bin", nullptr, GObject::kLocation};
};

TEST_F(MessageTableTest, TheLowestFittingIdIsChosen) {
    Load(R"(<Messages><Message Type="Hover" ID="7" TextID="t7"/>
         <Message Type="Hover" ID="5" TextID="t5"/><Message Type="Hover" ID="5" TextID="t5b"/>
         <Message Type="Hover" ID="3" TextID="t7" NameRequired="Zebra"/>
         <Note Type="Hover" ID="1" TextID="t7"/><Message Type="hover" ID="1" TextID="t7"/>
         </Messages>)");
    EXPECT_EQ(table.GetList(MessageTable::kHover).size(), 4u);
    EXPECT_EQ(Draws(MessageTable::kHover, &puff, nullptr),
              (std::set<std::string>{"five", "five b"}));
    EXPECT_EQ(Draws(MessageTable::kSuccess, &puff, nullptr), (std::set<std::string>{""}));
}

TEST_F(MessageTableTest, IdsAbove9999AreNeverChosen) {
    Load(R"(<Messages><Message Type="Failure" ID="10000" TextID="t7"/></Messages>)");
    EXPECT_EQ(table.FormatFailure(&puff, nullptr), str(""));
    Load(R"(<Messages><Message Type="Failure" ID="9999" TextID="t5"/></Messages>)");
    EXPECT_EQ(table.FormatFailure(&puff, nullptr), str("five"));
}

TEST_F(MessageTableTest, AlternativesMakeOneRecordPerCombination) {
    Load(R"(<Messages><Message Type="DropSuccess" ID="1" NameRequired="Puff|Zebra"
         StateRequired="Normal|Sick" TextID="t5"/></Messages>)");
    const auto& records = table.GetList(MessageTable::kDropSuccess);
    ASSERT_EQ(records.size(), 4u);
    const struct {
        const char* name;
        int state;
    } expected[] = {{"Puff", 1}, {"Puff", 3}, {"Zebra", 1}, {"Zebra", 3}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].nameRequired, str(expected[i].name));
        EXPECT_EQ(records[i].stateRequired, expected[i].state);
    }
}

TEST_F(MessageTableTest, RecordFields) {
    Load(R"(<Messages><Message Type="StandBy" ID="2" ItemRequired="Stone 2" HintIcon="lbn"
         ObjectStateRequired="HalfFull" StateRequired="old" EventRequired="12" LevelRequired="3"
         TextID="t5"/><Message Type="StandBy" ID="3" ItemRequired="KonutRoot" HintIcon="qm"
         ObjectStateRequired="Sick" StateRequired="Old"/></Messages>)");
    const auto& records = table.GetList(MessageTable::kStandBy);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].itemRequired, 10);
    EXPECT_EQ(records[0].plantRequired, 0);
    EXPECT_EQ(records[0].hintIcon, 2);
    EXPECT_EQ(records[0].objectPlaceStateRequired, MessageTable::kHalfFull);
    EXPECT_EQ(records[0].objectCreatureStateRequired, 0);
    EXPECT_EQ(records[0].stateRequired, 0);  // compared case-sensitively
    EXPECT_EQ(records[0].eventRequired, 12);
    EXPECT_EQ(records[0].levelRequired, 3);
    EXPECT_EQ(records[1].itemRequired, 0);
    EXPECT_EQ(records[1].plantRequired, 2);
    EXPECT_EQ(records[1].hintIcon, 3);
    EXPECT_EQ(records[1].objectCreatureStateRequired, MessageTable::kSick);
    EXPECT_EQ(records[1].stateRequired, MessageTable::kOld);
}

TEST_F(MessageTableTest, RequirementsMustHold) {
    Load(R"(<Messages><Message Type="Hover" ID="1" EventRequired="2" TextID="t7"/>
         <Message Type="Hover" ID="2" LevelRequired="2" TextID="t7"/>
         <Message Type="Hover" ID="3" ItemRequired="Stick" TextID="t7"/>
         <Message Type="Hover" ID="4" ObjectName="Food bin" TextID="t7"/>
         <Message Type="Hover" ID="5" TextID="t5"/></Messages>)");
    int icon = -1;
    EXPECT_EQ(table.FormatHover(&puff, nullptr, &icon), str("five"));
    EXPECT_EQ(icon, 0);
    EXPECT_EQ(table.FormatHover(&puff, &bin), str("seven"));  // the object's full name
    facts.of[&puff].item = 1;
    EXPECT_EQ(table.FormatHover(&puff, nullptr), str("seven"));
    facts.of[&puff].item = 0;
    facts.of[&puff].level = 2;
    EXPECT_EQ(table.FormatHover(&puff, nullptr), str("seven"));
    facts.of[&puff].level = 0;
    data.SetEvent(2, true);
    EXPECT_EQ(table.FormatHover(&puff, nullptr), str("seven"));
}

TEST_F(MessageTableTest, Placeholders) {
    Load(R"(<Messages><Message Type="Success" ID="1" TextID="t_all" HintIcon="lb"/></Messages>)");
    int icon = 0;
    EXPECT_EQ(table.FormatSuccess(nullptr, nullptr, &icon), str(" takes  to  (): idling"));
    EXPECT_EQ(icon, 1);
    facts.of[&puff].nickName = "Koko";
    facts.of[&puff].item = 9;
    facts.of[&bin].displayName = "Food bin (full)";
    GSchedule schedule;
    simtest::AddTask(schedule, &puff, &bin, 10, 2);
    EXPECT_EQ(table.FormatSuccess(&puff, &bin),
              str("Koko takes Stone to Food bin (full) (Food bin (full)): foraging"));
    schedule.Clear();
}

TEST_F(MessageTableTest, CreatureStates) {
    data.oldAge = 80;
    const struct {
        float age;
        bool ill;
        bool normal, old, sick;
    } rows[] = {
        {79.99f, false, true, false, false},
        {80.0f, false, false, true, false},
        {80.0f, true, false, true, true},
        {10.0f, true, false, false, true},
    };
    for (const auto& row : rows) {
        facts.of[&puff].age = row.age;
        facts.of[&puff].ill = row.ill;
        EXPECT_EQ(table.CreatureIsIn(MessageTable::kNormal, &puff), row.normal) << row.age;
        EXPECT_EQ(table.CreatureIsIn(MessageTable::kOld, &puff), row.old) << row.age;
        EXPECT_EQ(table.CreatureIsIn(MessageTable::kSick, &puff), row.sick) << row.age;
        EXPECT_FALSE(table.CreatureIsIn(9, &puff));
    }
    EXPECT_TRUE(table.CreatureIsIn(MessageTable::kSick, nullptr));
    EXPECT_TRUE(table.CreatureIsIn(MessageTable::kSick, &bin));  // not a creature
}

TEST_F(MessageTableTest, PlaceStates) {
    // q and m by type (1 food, 2 water, 3 building left).
    const struct {
        int q1, m1, q2, m2, q3;
        bool notBuilt, built, empty, halfFull, full;
    } rows[] = {
        {0, 0, 0, 0, 1, true, false, false, false, false},
        {0, 0, 0, 0, 0, false, true, true, false, false},
        {25, 100, 0, 0, 0, false, true, false, true, false},   // 25 %: half full
        {26, 100, 0, 0, 0, false, true, false, false, false},  // above 25 %
        {50, 100, 0, 0, 0, false, true, false, false, true},   // 50 %: full
        {49, 99, 0, 0, 0, false, true, false, false, true},    // 99 x 50 / 100 = 49
        {24, 99, 0, 0, 0, false, true, false, true, false},    // 99 x 25 / 100 = 24
        {0, 0, 2, 10, 0, false, true, false, true, false},     // water 2 <= 10 x 25 / 100
        {0, 0, 5, 10, 0, false, true, false, false, true},     // water 5 >= 10 x 50 / 100
        {2000000000, 2000000000, 0, 0, 0, false, true, false, false, true},
    };
    for (const auto& row : rows) {
        Facts& f = facts.of[&bin];
        f.quantity = {{1, row.q1}, {2, row.q2}, {3, row.q3}};
        f.maxQuantity = {{1, row.m1}, {2, row.m2}};
        const std::string what = std::to_string(row.q1) + "/" + std::to_string(row.m1) + " " +
                                 std::to_string(row.q2) + "/" + std::to_string(row.m2);
        EXPECT_EQ(table.PlaceIsIn(MessageTable::kNotBuilt, &bin), row.notBuilt) << what;
        EXPECT_EQ(table.PlaceIsIn(MessageTable::kBuilt, &bin), row.built) << what;
        EXPECT_EQ(table.PlaceIsIn(MessageTable::kEmpty, &bin), row.empty) << what;
        EXPECT_EQ(table.PlaceIsIn(MessageTable::kHalfFull, &bin), row.halfFull) << what;
        EXPECT_EQ(table.PlaceIsIn(MessageTable::kFull, &bin), row.full) << what;
    }
    EXPECT_TRUE(table.PlaceIsIn(MessageTable::kFull, nullptr));
    EXPECT_TRUE(table.PlaceIsIn(MessageTable::kFull, &puff));  // not a location
}

TEST_F(MessageTableTest, HugeMessagesAreSkipped) {
    testing_support::LogCapture log;
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += (i ? "|n" : "n") + std::to_string(i);
    const std::string xml =
        "<Messages><Message Type=\"Hover\" ID=\"1\" TextID=\"t5\" NameRequired=\"" + many +
        "\"/><Message Type=\"Hover\" ID=\"2\" TextID=\"t7\" "
        "ObjectName=\"a|b|c|d|e|f|g|h\" ItemRequired=\"a|b|c|d|e|f|g|h\" "
        "EventRequired=\"1|2|3|4|5|6|7|8\"/></Messages>";
    Load(xml.c_str());
    EXPECT_EQ(table.GetList(MessageTable::kHover).size(), 512u);
    EXPECT_EQ(log.Messages().size(), 1u);
}

}  // namespace
