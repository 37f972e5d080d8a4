// GScheduleTask: one task of the scheduler (schedule.h): an activity of a subject, maybe on an
// object, that ends at a world time. It owns its task data (the two parties handed to every
// listener) and borrows its two listeners; a world object is its own listener.
//
// States: 1 running, 2 completed, 3 cancelled, 4 closed. Finishing a task closes it first and
// then tells the listeners: a completion the object before the subject, a cancellation the
// subject before the object; each party's current task is cleared only after both were told,
// the object's first. A closed task is never told again.
//
// Types: 0 ends by time; 1 ends by time only while the world catches up on the time it was
// closed. No code makes tasks of other types, but a saved world may hold one: such a task ends by
// time like type 0, so a damaged save cannot hold a creature for ever.
//
// Listeners must take a task data subject of none: a task read from a saved world may lack one.
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "simulation/schedule/taskdata.h"

class GTaskListener;
class LoadIdRegistry;
class SaveIdRegistry;
class TXmlNode;

class GScheduleTask {
public:
    enum State { kRunning = 1, kCompleted = 2, kCancelled = 3, kClosed = 4 };
    enum Type { kByTime = 0, kByTimeWhileSimulating = 1 };

    // An empty task, as a load makes it before reading it.
    GScheduleTask();
    ~GScheduleTask();
    GScheduleTask(const GScheduleTask&) = delete;
    GScheduleTask& operator=(const GScheduleTask&) = delete;

    // Stores everything and sets State 1; nobody is told.
    void Init(std::unique_ptr<GTaskData> taskData, GTaskListener* subjectListener,
              GTaskListener* objectListener, uint32_t endTime, uint32_t duration, int kind,
              int type);

    // A state of 0 is stored as 1; 2 and 3 close the task and tell the listeners.
    void SetState(int state);
    // Stops the subject's sound of the task (and of building for a build task) and completes or
    // cancels the task; nothing for a closed task.
    void Finish(bool completed);
    // Tells both listeners how far the task has come at now (object first) and answers it:
    // 1 - remaining / Duration, at most 0.99 and without a lower bound; 0.99 for a Duration of 0.
    float UpdateProgress(uint32_t now);

    void Save(TXmlNode* node, SaveIdRegistry& ids) const;
    // Reads the attributes; parties resolve through ids, and an id that names no object gives
    // none. A State other than running reads as running: only running tasks are saved.
    void Load(TXmlNode* node, LoadIdRegistry& ids);

    int GetKind() const { return mKind; }
    int GetType() const { return mType; }
    int GetState() const { return mState; }
    GTaskData* GetTaskData() const { return mTaskData.get(); }
    GTaskListener* GetSubjectListener() const { return mSubjectListener; }
    GTaskListener* GetObjectListener() const { return mObjectListener; }
    uint32_t GetEndTime() const { return mEndTime; }
    uint32_t GetDuration() const { return mDuration; }

private:
    // Clears the listener's current task when it is this one.
    void ReleaseFrom(GTaskListener* listener);

    int mKind = 0;
    int mType = 0;
    int mState = 0;
    std::unique_ptr<GTaskData> mTaskData;
    GTaskListener* mSubjectListener = nullptr;
    GTaskListener* mObjectListener = nullptr;
    uint32_t mEndTime = 0;
    uint32_t mDuration = 0;
};
