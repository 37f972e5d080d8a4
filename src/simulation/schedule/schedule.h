// GSchedule: the world's one task scheduler. Every activity that takes time is a task
// (scheduletask.h) that ends at a world time; on each tick the world calls Update with its time,
// and the scheduler completes the due tasks in order of end time (ties in the order they were
// added), telling both parties of each.
//
// The schedule owns its tasks. A task leaves it exactly once (completed by Update or RemoveTask,
// cancelled by RemoveTask or CancelTasksOf) and then waits in the finished list, which is
// emptied at the end of the next Update or by Clear, so a listener may add and cancel tasks,
// its own or another's, from inside any call that tells it, and no task it was handed is freed
// under it. Only the outermost of nested calls frees anything.
//
// Every listener must take a task data subject of none (a saved world may lack one).
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

class GScheduleTask;
class GTaskListener;
class LoadIdRegistry;
class SaveIdRegistry;
class TXmlNode;

class GSchedule {
public:
    GSchedule();
    virtual ~GSchedule();
    GSchedule(const GSchedule&) = delete;
    GSchedule& operator=(const GSchedule&) = delete;

    // Inserts an initialised task after every task with the same end time; nobody is told.
    // Answers the task.
    GScheduleTask* AddTask(std::unique_ptr<GScheduleTask> task);
    // Completes every due task: those of type 1 only while simulating, none that is closed. The
    // scan starts again after each completion, so a task added with an end time of now or
    // earlier completes in the same call. Then frees the finished tasks.
    void Update(uint32_t now, bool simulating);
    // Completes or cancels a scheduled task; nothing for one that is not scheduled.
    void RemoveTask(GScheduleTask* task, bool completed);
    // Cancels the tasks the listener works on (and, with alsoAsObject, those done to it), of one
    // kind or of any (0). All of them leave the schedule before anyone is told.
    void CancelTasksOf(GTaskListener* listener, bool alsoAsObject, int kind);
    int16_t CountTasksOfKind(int kind) const;
    int16_t CountTasksOf(GTaskListener* listener, bool alsoAsObject) const;
    // The end time of the first task, whatever its type and state; 0 when there is none.
    uint32_t NextEndTime() const;
    // Tells every scheduled task's listeners its progress, over a copy of the schedule taken
    // first.
    void RefreshProgress(uint32_t now);
    // Frees every task; nobody is told.
    void Clear();

    bool IsScheduled(const GScheduleTask* task) const;
    size_t GetTaskCount() const { return mTasks.size(); }
    // The scheduled tasks in order.
    std::vector<GScheduleTask*> GetTasks() const;

    // Writes a child "Task" per scheduled task, in order.
    virtual void Save(TXmlNode* node, SaveIdRegistry& ids) const;
    // Loads every child whose "id" made a task in ids, and schedules it once. A task whose kind
    // lies outside the task kinds is deleted instead and its id forgotten.
    virtual void Load(TXmlNode* node, LoadIdRegistry& ids);

private:
    struct ByEndTime {
        bool operator()(const GScheduleTask* a, const GScheduleTask* b) const;
    };
    using Tasks = std::multiset<GScheduleTask*, ByEndTime>;

    // Marks a call that may tell listeners; the outermost one frees what Clear left behind.
    class Telling;

    Tasks::iterator Find(const GScheduleTask* task) const;
    void FreeFinished();

    Tasks mTasks;
    std::vector<GScheduleTask*> mFinished;
    int mTellingDepth = 0;
    // An Update or a Clear ran inside the current calls: free the finished tasks when they end.
    bool mFreeAtEnd = false;
    bool mClearPending = false;
};
