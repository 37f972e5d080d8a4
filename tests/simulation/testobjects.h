// Small world objects for the simulation's tests: an object that writes what it is told into a
// shared journal and can run a hook while being told (to add or cancel tasks from inside the
// scheduler), a data block with one saved value, test doubles of the views that record what they
// are shown, and the sound calls of the recording scheme (support/worldrecorders.h) by name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/xml/xmlnode.h"
#include "simulation/data/objectdata.h"
#include "simulation/object.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/schedule.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/schedule/taskdata.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldobject.h"
#include "support/worldrecorders.h"

namespace simtest {

using Journal = std::vector<std::string>;

class TestData : public GObjectData {
public:
    void Load(TXmlNode* node) override {
        GObjectData::Load(node);
        value = node->GetAttribute("Value").ToInt();
    }
    void Save(TXmlNode* node) const override {
        GObjectData::Save(node);
        node->SetAttributeInt("Value", value);
    }

    int value = 7;
};

class TestObject : public GObject {
public:
    explicit TestObject(std::string name, Journal* journal = nullptr, int kind = kCreature)
        : GObject(kind), mName(std::move(name)), mJournal(journal) {
        SetData(std::make_unique<TestData>());
    }

    const std::string& Name() const { return mName; }
    TestData* Data() const { return static_cast<TestData*>(GetData()); }

    void OnTaskCancelled(GTaskData* taskData) override {
        Note("cancelled");
        if (onCancelled) onCancelled(taskData);
    }
    void OnTaskCompleted(GTaskData* taskData) override {
        Note("completed");
        if (onCompleted) onCompleted(taskData);
    }
    void OnTaskProgress(GTaskData* taskData, float progress) override {
        lastProgress = progress;
        Note("progress");
        if (onProgress) onProgress(taskData);
    }
    void OnVisualEvent(GVWorldObject*, const GNameMask*) override {}

    void Load(TXmlNode* node, LoadIdRegistry& ids) override {
        SetData(std::make_unique<TestData>());
        GObject::Load(node, ids);
    }

    std::function<void(GTaskData*)> onCancelled;
    std::function<void(GTaskData*)> onCompleted;
    std::function<void(GTaskData*)> onProgress;
    float lastProgress = -100.0f;

private:
    void Note(const char* what) {
        if (mJournal != nullptr) mJournal->push_back(mName + " " + what);
    }

    std::string mName;
    Journal* mJournal;
};

// A plain view without manager; with a sprite (a bare object) it can be placed.
class FakeView : public GVWorldObject {
public:
    explicit FakeView(int type = kPlainView, GVObject* sprite = nullptr)
        : GVWorldObject(nullptr, sprite, nullptr), mType(type) {}
    int GetType() const override { return mType; }

private:
    int mType;
};

// A location view without manager, sprite or layout that records what its stock display is
// shown.
class FakeLocationView : public GVWorldLocation {
public:
    FakeLocationView() : GVWorldLocation(nullptr, nullptr, nullptr) {}
    void ShowStock(float quantity, float maximum) override {
        shown.push_back(std::to_string(static_cast<int>(quantity)) + "/" +
                        std::to_string(static_cast<int>(maximum)));
    }

    std::vector<std::string> shown;
};

// A creature view without manager or sprite that records the item it shows.
class FakeCreatureView : public GVWorldCreature {
public:
    FakeCreatureView() : GVWorldCreature(nullptr, nullptr) {}
    void SetItem(int value, bool isSpecial) override {
        item = value;
        special = isSpecial;
    }

    int item = -1;
    bool special = true;
};

// "<name> <event>" for each sound call, the name "none" for no object.
inline std::vector<std::string> NamedSoundCalls(
    const std::vector<testing_support::RecordingSounds::Call>& calls) {
    std::vector<std::string> lines;
    for (const auto& call : calls) {
        const auto* named = dynamic_cast<TestObject*>(call.object);
        lines.push_back((named != nullptr ? named->Name() : std::string("none")) + " " +
                        std::to_string(call.event));
    }
    return lines;
}

// Adds a running task of subject on object; both take it as their current task.
inline GScheduleTask* AddTask(GSchedule& schedule, GObject* subject, GObject* object,
                              uint32_t endTime, int kind = 2, int type = 0,
                              uint32_t duration = 10) {
    auto data = std::make_unique<GTaskData>();
    data->subject = subject;
    data->object = object;
    auto task = std::make_unique<GScheduleTask>();
    task->Init(std::move(data), subject, object, endTime, duration, kind, type);
    GScheduleTask* added = schedule.AddTask(std::move(task));
    if (subject != nullptr) subject->SetTask(added);
    if (object != nullptr) object->SetTask(added);
    return added;
}

}  // namespace simtest
