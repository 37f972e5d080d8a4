// TTaskManager: runs its tasks (task.h) in order of addition, those that are ready, each time
// Update is called. It owns the tasks in its list: a task that finishes (Execute answers false)
// is deleted, and so is every task left when the manager is destroyed. RemoveTask gives a task
// back to the caller without deleting it.
//
// Changes made while an update walks the list are safe. A task added during the walk runs in the
// same update when the walk has not passed the end yet. A removal is deferred: the task is passed
// over from then on and leaves the list when the update ends; a task that removed itself and then
// finishes is the caller's again and is not deleted. DeleteAll during an update marks every task
// still in the list, those whose removal is pending included, and they are deleted, each once,
// when the update ends (or when they finish during it). Adding a task again while
// its removal is pending cancels the removal. A manager's Update called from inside one of its own
// tasks does nothing.
//
// Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

class TTask;

class TTaskManager {
public:
    TTaskManager() = default;
    TTaskManager(const TTaskManager&) = delete;
    TTaskManager& operator=(const TTaskManager&) = delete;
    ~TTaskManager();

    // Takes ownership. A task must be in at most one manager, once.
    void AddTask(TTask* task);
    // Gives the task back without deleting it; false when it is not in the list, or when a
    // DeleteAll during this update has already marked it for deletion.
    bool RemoveTask(TTask* task);
    // Runs the ready tasks; the event pump uses mode 0, the window system mode 1.
    void Update(uint32_t mode);
    // Deletes every task still owned (at the end of the update when one is running).
    void DeleteAll();

    bool IsUpdating() const { return mUpdating; }
    // The tasks in the list, pending removals included.
    size_t GetTaskCount() const { return mActive.size(); }

private:
    bool IsPendingRemoval(TTask* task) const;
    bool IsPendingDelete(TTask* task) const;
    static void Forget(std::vector<TTask*>& list, TTask* task);
    void EndUpdate();

    bool mUpdating = false;
    std::list<TTask*> mActive;
    std::vector<TTask*> mPendingRemoval;
    std::vector<TTask*> mPendingDelete;
};
