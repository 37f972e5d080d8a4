// Graves: their count-down and saved form. Their view's fading is in views/modelglue_test.cpp.
#include "simulation/grave.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/xml/xmlnode.h"
#include "simulation/data/locationdata.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/saveidregistry.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "testobjects.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

std::string Saved(const GGrave& grave) {
    SaveIdRegistry ids;
    TXmlNode node("Grave");
    grave.Save(&node, ids);
    return node.ToString().c_str();
}

TEST(GraveTest, ANewGraveStands300TicksWithoutAView) {
    GGrave grave;
    EXPECT_EQ(grave.GetKind(), GObject::kGrave);
    EXPECT_EQ(grave.GetTimeLeft(), 300);
    EXPECT_EQ(grave.GetNickName(), str(""));
    EXPECT_EQ(grave.GetDeath(), str(""));
    for (int tick = 1; tick <= 300; ++tick)
        ASSERT_EQ(grave.CountDown(), 300 - tick);
    EXPECT_EQ(grave.CountDown(), -1);
    EXPECT_EQ(grave.CountDown(), -1);

    simtest::FakeView bare;  // a view without a sprite
    GGrave viewed;
    viewed.SetView(&bare);
    LoadIdRegistry ids;
    viewed.Load(XmlDoc("<Grave TimeLeft=\"0\"/>").Top(), ids);
    EXPECT_EQ(viewed.CountDown(), -1);
}

TEST(GraveTest, TheBlockAndTheCallbacks) {
    GGrave grave;
    auto block = std::make_unique<GCreatureData>();
    block->name = "Zebra";
    grave.SetData(std::move(block));
    ASSERT_NE(grave.GetCreatureData(), nullptr);
    {
        testing_support::LogCapture log;
        grave.SetData(std::make_unique<GLocationData>());
        EXPECT_EQ(log.Messages(),
                  std::vector<std::string>{"GGrave::SetData: not a creature block"});
    }
    EXPECT_EQ(grave.GetCreatureData()->name, str("Zebra"));

    GSchedule schedule;
    simtest::TestObject digger("digger");
    GScheduleTask* task = simtest::AddTask(schedule, &digger, &grave, 10);
    grave.OnTaskProgress(task->GetTaskData(), 0.5f);
    grave.OnTaskCompleted(task->GetTaskData());
    grave.OnTaskCancelled(task->GetTaskData());
    grave.OnVisualEvent(nullptr, nullptr);
    EXPECT_EQ(grave.GetTask(), task);
    EXPECT_EQ(grave.GetTimeLeft(), 300);
}

TEST(GraveTest, LoadedCountsFromItsTimeLeft) {
    const struct {
        const char* text;
        int first;
    } rows[] = {
        {"<Grave TimeLeft=\"0\"/>", -1},
        {"<Grave/>", -1},
        {"<Grave TimeLeft=\"\"/>", -1},
        {"<Grave TimeLeft=\"-1\"/>", -1},
        {"<Grave TimeLeft=\"-7\"/>", -7},
        {"<Grave TimeLeft=\"12\"/>", 11},
        {"<Grave TimeLeft=\"99999999999\"/>", 2147483646},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        GGrave grave;
        grave.SetNickName("Old");
        LoadIdRegistry ids;
        grave.Load(XmlDoc(row.text).Top(), ids);
        EXPECT_EQ(grave.GetNickName(), str(""));
        EXPECT_NE(grave.GetCreatureData(), nullptr);
        EXPECT_EQ(grave.CountDown(), row.first);
    }
}

TEST(GraveTest, SaveLoadSaveGivesTheSameText) {
    GGrave grave;
    auto block = std::make_unique<GCreatureData>();
    block->name = "Puff";
    block->fullName = "BasicPuff";
    block->startHealth = 80;
    block->aiCoefs[2].weight = 4;
    grave.SetData(std::move(block));
    grave.SetNickName("Bimbo");
    grave.SetDeath("death_hunger");
    for (int i = 0; i < 17; ++i)
        grave.CountDown();

    const std::string first = Saved(grave);
    TXmlNode node("Grave");
    SaveIdRegistry ids;
    grave.Save(&node, ids);
    EXPECT_EQ(node.GetAttribute("NickName"), str("Bimbo"));
    EXPECT_EQ(node.GetAttribute("Death"), str("death_hunger"));
    EXPECT_EQ(node.GetAttribute("TimeLeft"), str("283"));
    // GObject's attributes first, then the grave's in their order.
    EXPECT_LT(first.find("TaskID="), first.find("NickName="));
    EXPECT_LT(first.find("NickName="), first.find("Death="));
    EXPECT_LT(first.find("Death="), first.find("TimeLeft="));

    GGrave loaded;
    LoadIdRegistry loadIds;
    loaded.Load(XmlDoc(first.c_str()).Top(), loadIds);
    EXPECT_EQ(loaded.GetNickName(), str("Bimbo"));
    EXPECT_EQ(loaded.GetTimeLeft(), 283);
    EXPECT_EQ(loaded.GetCreatureData()->fullName, str("BasicPuff"));
    EXPECT_EQ(Saved(loaded), first);
}

}  // namespace
