// GObject: everything placed in the world (creatures, locations, monsters, graves). An object
// joins its current task (a task of the scheduler, not owned), its own parameter block (owned)
// and its view (borrowed from the view manager), and holds the world's random generator
// (borrowed). It hears its tasks as a GTaskListener and its view as a GVWorldObjectListener.
//
// Saved form: the object's element holds "id", "x" and "y" (the view's position, truncated;
// only while a view exists), "TaskID" (the id of the current task, empty when idle) and a child
// "Data" that the block writes. Ids come from one registry per save (saveidregistry.h) and are
// read back through the world's load registry (loadidregistry.h). Main thread only.
#pragma once

#include <memory>

#include "simulation/data/objectdata.h"
#include "simulation/schedule/tasklistener.h"
#include "simulation/worldobjectlistener.h"

class GScheduleTask;
class GVWorldObject;
class LoadIdRegistry;
class SaveIdRegistry;
class TRandom;
class TXmlNode;

class GObject : public GTaskListener, public GVWorldObjectListener {
public:
    enum Kind { kBase = 0, kCreature = 1, kLocation = 2, kMonster = 3, kGrave = 4 };

    GObject(const GObject&) = delete;
    GObject& operator=(const GObject&) = delete;
    // Frees the block; the task and the view belong to others.
    ~GObject() override;

    int GetKind() const { return mKind; }

    GScheduleTask* GetTask() const { return mTask; }
    void SetTask(GScheduleTask* task) { mTask = task; }

    GObjectData* GetData() const { return mData.get(); }
    // Attaches the block; the object owns it from now on and frees a block it replaces. Code
    // that replaces a block and still reads the old one afterwards (a location turning into
    // another definition, a creature changing form) takes the old one out with TakeData first.
    virtual void SetData(std::unique_ptr<GObjectData> data);
    std::unique_ptr<GObjectData> TakeData() { return std::move(mData); }

    GVWorldObject* GetView() const { return mView; }
    void SetView(GVWorldObject* view) { mView = view; }
    TRandom* GetRandom() const { return mRandom; }
    void SetRandom(TRandom* random) { mRandom = random; }

    // Subclasses attach a fresh block of their own type first. "TaskID" names the current task
    // only when it is a scheduled task that has this object as a party; otherwise the object
    // stays idle. A "Data" child is read by the block.
    virtual void Load(TXmlNode* node, LoadIdRegistry& ids);
    virtual void Save(TXmlNode* node, SaveIdRegistry& ids) const;

protected:
    explicit GObject(int kind = kBase) : mKind(kind) {}

private:
    const int mKind;
    GScheduleTask* mTask = nullptr;
    std::unique_ptr<GObjectData> mData;
    GVWorldObject* mView = nullptr;
    TRandom* mRandom = nullptr;
};
