// A saved schedule with its objects, loaded in the world's two phases (tasks and objects made by
// id, the schedule read, then each object filled from its element), then run: 100 updates in
// which every completion starts the subject's next task, every object's tasks cancelled, a save
// and a clear. The input is the text of an element holding "Schedule" and "Objects".
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/xml/xmlnode.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/object.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/saveidregistry.h"
#include "simulation/schedule/schedule.h"
#include "simulation/schedule/scheduletask.h"

namespace {

class Data : public GObjectData {};

class Creature : public GObject {
public:
    explicit Creature(GSchedule& schedule) : GObject(kCreature), mSchedule(schedule) {}

    void OnTaskCancelled(GTaskData*) override {}
    void OnTaskCompleted(GTaskData* data) override {
        // The world starts a subject's next task from here; keep the chain short.
        if (data == nullptr || data->subject != this || ++mStarted > 3) return;
        auto next = std::make_unique<GTaskData>();
        next->subject = this;
        next->object = data->object;
        auto task = std::make_unique<GScheduleTask>();
        task->Init(std::move(next), this, data->object, mNow + 1 + mStarted, 5, 2, 0);
        SetTask(mSchedule.AddTask(std::move(task)));
    }
    void OnTaskProgress(GTaskData*, float) override {}
    void OnVisualEvent(GVWorldObject*, const GNameMask*) override {}
    void Load(TXmlNode* node, LoadIdRegistry& ids) override {
        SetData(std::make_unique<Data>());
        GObject::Load(node, ids);
    }

    uint32_t mNow = 0;

private:
    GSchedule& mSchedule;
    int mStarted = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXmlNode root;
    root.ParseString(reinterpret_cast<const char*>(data), size);
    TXmlNode* world = root.FindChild("World");
    if (world == nullptr) world = &root;
    TXmlNode* scheduleNode = world->FindChild("Schedule");
    TXmlNode* objectsNode = world->FindChild("Objects");

    LoadIdRegistry ids;
    GSchedule schedule;
    std::vector<std::unique_ptr<Creature>> creatures;
    ids.EnterTasks(scheduleNode);
    ids.EnterObjects(objectsNode, [&](const str& name) {
        std::unique_ptr<GObject> made;
        if (name == str("Creature")) made = std::make_unique<Creature>(schedule);
        return made;
    });
    if (scheduleNode != nullptr) schedule.Load(scheduleNode, ids);
    if (objectsNode != nullptr) {
        for (TXmlNode* child : objectsNode->GetChildren()) {
            GObject* object = ids.ObjectToLoad(child);
            if (object == nullptr) continue;
            object->Load(child, ids);
            std::unique_ptr<GObject> claimed = ids.ClaimObject(ReadIntAttribute(child, "id"));
            creatures.emplace_back(static_cast<Creature*>(claimed.release()));
        }
    }

    for (uint32_t tick = 0; tick < 100; ++tick) {
        const uint32_t now = tick * 37;
        for (auto& creature : creatures)
            creature->mNow = now;
        schedule.Update(now, (tick & 1) != 0);
    }
    schedule.RefreshProgress(5000);
    for (auto& creature : creatures)
        schedule.CancelTasksOf(creature.get(), true, 0);
    TXmlNode saved("Schedule");
    SaveIdRegistry saveIds;
    schedule.Save(&saved, saveIds);
    for (auto& creature : creatures)
        creature->Save(saved.AddChild("Creature"), saveIds);
    schedule.Clear();
    return 0;
}
