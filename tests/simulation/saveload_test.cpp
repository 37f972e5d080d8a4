// Schedules and objects saved by id and read back in the two phases of a load: the first makes
// empty tasks and objects under their ids and loads the schedule, the second fills the objects
// one element at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/xml/xmlnode.h"
#include "gv/gvobject.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/saveidregistry.h"
#include "simulation/schedule/schedule.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/world.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "testobjects.h"

namespace {

using simtest::AddTask;
using simtest::FakeView;
using simtest::Journal;
using simtest::TestObject;

// What a load made, in a fresh world whose load registry and scheduler it fills. Declared so
// that the objects go before the schedule that names them.
struct Loaded {
    TXmlNode root;
    GWorld world;
    LoadIdRegistry& ids = world.GetLoadIds();
    GSchedule& schedule = world.GetSchedule();
    std::vector<std::unique_ptr<TestObject>> objects;
    Journal journal;
    int counted = 0;

    TestObject* Object(size_t i) const { return i < objects.size() ? objects[i].get() : nullptr; }
};

void Load(const std::string& text, Loaded& out) {
    out.root.ParseString(text.c_str());
    TXmlNode* world = out.root.FindChild("World");
    ASSERT_NE(world, nullptr);
    TXmlNode* schedule = world->FindChild("Schedule");
    TXmlNode* objects = world->FindChild("Objects");
    out.ids.Clear();
    out.ids.EnterTasks(schedule);
    out.counted = out.ids.EnterObjects(objects, [&](const str& name) {
        std::unique_ptr<GObject> made;
        if (name == str("Creature")) made = std::make_unique<TestObject>("loaded", &out.journal);
        return made;
    });
    if (schedule != nullptr) out.schedule.Load(schedule, out.ids);
    if (objects == nullptr) return;
    for (TXmlNode* child : objects->GetChildren()) {
        GObject* object = out.ids.ObjectToLoad(child);
        if (object == nullptr) continue;
        object->Load(child, out.ids);
        std::unique_ptr<GObject> claimed = out.ids.ClaimObject(ReadIntAttribute(child, "id"));
        ASSERT_EQ(claimed.get(), object);
        out.objects.emplace_back(static_cast<TestObject*>(claimed.release()));
    }
}

std::string Save(const GSchedule& schedule, const std::vector<GObject*>& objects) {
    TXmlNode world("World");
    SaveIdRegistry ids;
    schedule.Save(world.AddChild("Schedule"), ids);
    TXmlNode* list = world.AddChild("Objects");
    for (GObject* object : objects)
        object->Save(list->AddChild("Creature"), ids);
    return world.ToString().c_str();
}

std::vector<GObject*> Pointers(const Loaded& loaded) {
    std::vector<GObject*> pointers;
    for (const auto& object : loaded.objects)
        pointers.push_back(object.get());
    return pointers;
}

TEST(SaveLoadTest, ScheduleAndObjectsRoundTrip) {
    TestObject o1("o1"), o2("o2"), o3("o3");
    o1.Data()->value = 1;
    o2.Data()->value = 2;
    o3.Data()->value = 3;
    GSchedule schedule;
    AddTask(schedule, &o2, &o1, 40, 4);
    auto bare = std::make_unique<GScheduleTask>();
    bare->Init(nullptr, &o3, nullptr, 50, 10, 2, 1);
    o3.SetTask(schedule.AddTask(std::move(bare)));

    const std::string first = Save(schedule, {&o1, &o2, &o3});
    Loaded loaded;
    Load(first, loaded);
    ASSERT_EQ(loaded.objects.size(), 3u);
    EXPECT_EQ(Save(loaded.schedule, Pointers(loaded)), first);

    // The object first named by a task keeps that id in its own element.
    TXmlNode root;
    root.ParseString(first.c_str());
    TXmlNode* objects = root.FindChild("World")->FindChild("Objects");
    EXPECT_EQ(objects->GetChildren()[0]->GetAttribute("id"), str("3"));
    EXPECT_EQ(objects->GetChildren()[1]->GetAttribute("id"), str("2"));
    EXPECT_EQ(objects->GetChildren()[2]->GetAttribute("id"), str("5"));

    const std::vector<GScheduleTask*> tasks = loaded.schedule.GetTasks();
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0]->GetTaskData()->subject, loaded.Object(1));
    EXPECT_EQ(tasks[0]->GetTaskData()->object, loaded.Object(0));
    EXPECT_EQ(tasks[0]->GetKind(), 4);
    // A task saved without task data loads with neither party.
    TXmlNode* bareElement = root.FindChild("World")->FindChild("Schedule")->GetChildren()[1];
    EXPECT_EQ(bareElement->GetAttribute("TaskData_iSubject", nullptr), str(""));
    EXPECT_EQ(bareElement->GetAttribute("TaskData_iObject", nullptr), str(""));
    ASSERT_NE(tasks[1]->GetTaskData(), nullptr);
    EXPECT_EQ(tasks[1]->GetTaskData()->subject, nullptr);
    EXPECT_EQ(tasks[1]->GetTaskData()->object, nullptr);
    EXPECT_EQ(tasks[1]->GetType(), 1);
    EXPECT_EQ(loaded.Object(2)->GetTask(), tasks[1]);
    EXPECT_EQ(loaded.Object(1)->GetTask(), tasks[0]);
    EXPECT_EQ(loaded.Object(2)->Data()->value, 3);
}

TEST(SaveLoadTest, TaskAttributesInTheirOrder) {
    TestObject subject("subject"), object("object");
    GSchedule schedule;
    AddTask(schedule, &subject, &object, 3000000000u, 4, 1, 25);
    TXmlNode node("Schedule");
    SaveIdRegistry ids;
    schedule.Save(&node, ids);
    // End times past the signed range are written as "%d" writes them, and read back whole.
    const char* expected[][2] = {
        {"id", "1"},
        {"TaskID", "4"},
        {"Type", "1"},
        {"State", "1"},
        {"EndTime", "-1294967296"},
        {"Duration", "25"},
        {"SubjectListener", "2"},
        {"ObjectListener", "3"},
        {"TaskData_iObject", "3"},
        {"TaskData_iSubject", "2"},
    };
    TXmlNode* task = node.FindChild("Task");
    ASSERT_NE(task, nullptr);
    str name, value;
    task->ResetAttributes();
    for (const auto& pair : expected) {
        ASSERT_TRUE(task->GetNextAttribute(name, value));
        EXPECT_EQ(name, str(pair[0]));
        EXPECT_EQ(value, str(pair[1])) << pair[0];
    }
    EXPECT_FALSE(task->GetNextAttribute(name, value));
    LoadIdRegistry loadIds;
    loadIds.EnterTasks(&node);
    GSchedule loaded;
    loaded.Load(&node, loadIds);
    ASSERT_EQ(loaded.GetTaskCount(), 1u);
    EXPECT_EQ(loaded.GetTasks()[0]->GetEndTime(), 3000000000u);
}

TEST(SaveLoadTest, ObjectElement) {
    SaveIdRegistry ids;
    TestObject idle("idle");
    TXmlNode node("Creature");
    idle.Save(&node, ids);
    EXPECT_EQ(node.GetAttribute("id"), str("1"));
    bool quoted = false;
    EXPECT_EQ(node.GetAttribute("TaskID", &quoted), str(""));
    EXPECT_NE(node.ToString().Find("TaskID"), str::npos);
    EXPECT_EQ(node.ToString().Find("\"x\""), str::npos);
    EXPECT_EQ(node.ToString().Find(" x"), str::npos);
    ASSERT_NE(node.FindChild("Data"), nullptr);

    const struct {
        float x, y;
        const char* savedX;
        const char* savedY;
    } positions[] = {
        {12.7f, -3.9f, "12", "-3"},
        {std::numeric_limits<float>::quiet_NaN(), 1e20f, "0", "2147483647"},
        {-1e20f, 0.0f, "-2147483648", "0"},
    };
    for (const auto& row : positions) {
        FakeView view(GVWorldObject::kPlainView, new GVObject());
        view.SetPosition(row.x, row.y);
        TestObject seen("seen");
        seen.SetView(&view);
        TXmlNode element("Creature");
        seen.Save(&element, ids);
        EXPECT_EQ(element.GetAttribute("x"), str(row.savedX));
        EXPECT_EQ(element.GetAttribute("y"), str(row.savedY));
    }

    // An element without "Data" keeps the fresh block of the object.
    TXmlNode bare("Creature");
    bare.SetAttribute("TaskID", "");
    LoadIdRegistry loadIds;
    TestObject fresh("fresh");
    fresh.Load(&bare, loadIds);
    EXPECT_EQ(fresh.Data()->value, 7);
    EXPECT_EQ(fresh.GetTask(), nullptr);
}

// Damaged saves: each loads without a crash, schedules nothing twice, and the next Update and
// Clear free every task once (the sanitizers check).
TEST(SaveLoadTest, DamagedSaves) {
    const struct {
        const char* what;
        const char* xml;
        std::function<void(Loaded&)> check;
        int logLines;
    } rows[] = {
        {"unknown ids",
         R"(<World><Schedule><Task id="1" TaskID="2" EndTime="10" Duration="5" SubjectListener="99"
            ObjectListener="2" TaskData_iSubject="98" TaskData_iObject="2"/></Schedule>
            <Objects><Creature id="2" TaskID="77"/><Creature id="3" TaskID="1"/></Objects></World>)",
         [](Loaded& l) {
             ASSERT_EQ(l.schedule.GetTaskCount(), 1u);
             GScheduleTask* task = l.schedule.GetTasks()[0];
             EXPECT_EQ(task->GetSubjectListener(), nullptr);
             EXPECT_EQ(task->GetObjectListener(), l.Object(0));
             EXPECT_EQ(task->GetTaskData()->subject, nullptr);
             EXPECT_EQ(task->GetTaskData()->object, l.Object(0));
             EXPECT_EQ(l.Object(0)->GetTask(), nullptr);
             EXPECT_EQ(l.Object(1)->GetTask(), nullptr);  // not a party of task 1
         },
         0},
        {"duplicate task id",
         R"(<World><Schedule><Task id="1" TaskID="2" EndTime="10" SubjectListener="2"/>
            <Task id="1" TaskID="3" EndTime="20" SubjectListener="2"/></Schedule>
            <Objects><Creature id="2" TaskID="1"/></Objects></World>)",
         [](Loaded& l) {
             ASSERT_EQ(l.schedule.GetTaskCount(), 1u);
             EXPECT_EQ(l.schedule.GetTasks()[0]->GetEndTime(), 10u);
             EXPECT_EQ(l.Object(0)->GetTask(), l.schedule.GetTasks()[0]);
         },
         1},
        {"duplicate object id",
         R"(<World><Objects><Creature id="2"><Data Value="5"/></Creature>
            <Creature id="2"><Data Value="9"/></Creature><Arks/></Objects></World>)",
         [](Loaded& l) {
             EXPECT_EQ(l.counted, 3);
             ASSERT_EQ(l.objects.size(), 1u);
             EXPECT_EQ(l.Object(0)->Data()->value, 5);
         },
         1},
        {"a task and an object with one id",
         R"(<World><Schedule><Task id="2" TaskID="2" EndTime="10" SubjectListener="2"/></Schedule>
            <Objects><Creature id="2" TaskID="2"/><Creature id="3" TaskID="2"/></Objects></World>)",
         [](Loaded& l) {
             ASSERT_EQ(l.schedule.GetTaskCount(), 1u);
             EXPECT_EQ(l.schedule.GetTasks()[0]->GetSubjectListener(), nullptr);
             EXPECT_EQ(l.counted, 2);
             ASSERT_EQ(l.objects.size(), 1u);  // the object of id 2 was never made
             EXPECT_EQ(l.Object(0)->GetTask(), nullptr);
         },
         1},
        {"task id naming an object",
         R"(<World><Objects><Creature id="2" TaskID="3"/><Creature id="3"/></Objects></World>)",
         [](Loaded& l) {
             EXPECT_EQ(l.Object(0)->GetTask(), nullptr);
             EXPECT_EQ(l.ids.FindTask(3), nullptr);
             EXPECT_EQ(l.ids.FindObject(3), l.Object(1));
         },
         0},
        {"listener ids naming a task",
         R"(<World><Schedule><Task id="1" TaskID="2" EndTime="10" SubjectListener="1"
            ObjectListener="1" TaskData_iSubject="1" TaskData_iObject="1"/></Schedule></World>)",
         [](Loaded& l) {
             ASSERT_EQ(l.schedule.GetTaskCount(), 1u);
             GScheduleTask* task = l.schedule.GetTasks()[0];
             EXPECT_EQ(task->GetSubjectListener(), nullptr);
             EXPECT_EQ(task->GetObjectListener(), nullptr);
             EXPECT_EQ(task->GetTaskData()->subject, nullptr);
             EXPECT_EQ(l.ids.FindObject(1), nullptr);
         },
         0},
        {"task kinds out of range",
         R"(<World><Schedule><Task id="1" TaskID="39" EndTime="10" SubjectListener="2"/>
            <Task id="4" TaskID="-1" EndTime="10" SubjectListener="3"/>
            <Task id="5" TaskID="38" EndTime="10" SubjectListener="3"/></Schedule>
            <Objects><Creature id="2" TaskID="1"/><Creature id="3" TaskID="4"/></Objects></World>)",
         [](Loaded& l) {
             ASSERT_EQ(l.schedule.GetTaskCount(), 1u);
             EXPECT_EQ(l.schedule.GetTasks()[0]->GetKind(), 38);
             EXPECT_EQ(l.Object(0)->GetTask(), nullptr);
             EXPECT_EQ(l.Object(1)->GetTask(), nullptr);
             EXPECT_EQ(l.ids.FindTask(1), nullptr);
         },
         0},
        {"closed state",
         R"(<World><Schedule><Task id="1" TaskID="2" State="4" EndTime="10"
            SubjectListener="2"/></Schedule><Objects><Creature id="2" TaskID="1"/></Objects></World>)",
         [](Loaded& l) {
             ASSERT_EQ(l.schedule.GetTaskCount(), 1u);
             EXPECT_EQ(l.schedule.GetTasks()[0]->GetState(), GScheduleTask::kRunning);
             l.schedule.Update(10, false);
             EXPECT_EQ(l.journal, (Journal{"loaded completed"}));
             EXPECT_EQ(l.Object(0)->GetTask(), nullptr);
         },
         0},
        {"another pair's task",
         R"(<World><Schedule><Task id="1" TaskID="2" EndTime="10" SubjectListener="2"
            ObjectListener="3"/></Schedule><Objects><Creature id="2" TaskID="1"/>
            <Creature id="3" TaskID="1"/><Creature id="4" TaskID="1"/></Objects></World>)",
         [](Loaded& l) {
             GScheduleTask* task = l.schedule.GetTasks()[0];
             EXPECT_EQ(l.Object(0)->GetTask(), task);
             EXPECT_EQ(l.Object(1)->GetTask(), task);
             EXPECT_EQ(l.Object(2)->GetTask(), nullptr);
         },
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        testing_support::LogCapture log;
        Loaded loaded;
        Load(row.xml, loaded);
        row.check(loaded);
        EXPECT_EQ(log.Messages().size(), static_cast<size_t>(row.logLines));
        const std::vector<GScheduleTask*> tasks = loaded.schedule.GetTasks();
        EXPECT_EQ(std::set<GScheduleTask*>(tasks.begin(), tasks.end()).size(), tasks.size());
        std::set<GObject*> objects;
        for (const auto& object : loaded.objects)
            EXPECT_TRUE(objects.insert(object.get()).second);
        for (const auto& object : loaded.objects)
            loaded.schedule.CancelTasksOf(object.get(), true, 0);
        loaded.schedule.Update(1000, true);
        loaded.schedule.Clear();
    }
}

TEST(SaveLoadTest, UnclaimedThingsGoWithTheRegistry) {
    TXmlNode root;
    root.ParseString(R"(<Schedule><Task id="1"/><Task id="2"/></Schedule>)");
    LoadIdRegistry ids;
    ids.EnterTasks(root.FindChild("Schedule"));
    EXPECT_NE(ids.FindTask(1), nullptr);
    EXPECT_EQ(ids.FindScheduledTask(1), nullptr);
    EXPECT_EQ(ids.FindObject(1), nullptr);
    ids.Clear();
    EXPECT_EQ(ids.FindTask(1), nullptr);
    ids.EnterTasks(root.FindChild("Schedule"));
    ids.AddObject(7, std::make_unique<TestObject>("kept"), nullptr);
    EXPECT_FALSE(ids.AddObject(7, std::make_unique<TestObject>("dropped"), nullptr));
}

}  // namespace
