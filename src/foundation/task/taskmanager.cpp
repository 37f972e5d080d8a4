#include "foundation/task/taskmanager.h"

#include <algorithm>

#include "foundation/task/task.h"

TTaskManager::~TTaskManager() {
    DeleteAll();
}

bool TTaskManager::IsPendingRemoval(TTask* task) const {
    return std::find(mPendingRemoval.begin(), mPendingRemoval.end(), task) != mPendingRemoval.end();
}

bool TTaskManager::IsPendingDelete(TTask* task) const {
    return std::find(mPendingDelete.begin(), mPendingDelete.end(), task) != mPendingDelete.end();
}

void TTaskManager::Forget(std::vector<TTask*>& list, TTask* task) {
    list.erase(std::remove(list.begin(), list.end(), task), list.end());
}

void TTaskManager::AddTask(TTask* task) {
    if (task == nullptr) return;
    // Still in the list, only marked for removal: keep it where it is.
    if (mUpdating && IsPendingRemoval(task) && !IsPendingDelete(task)) {
        Forget(mPendingRemoval, task);
        return;
    }
    mActive.push_back(task);
}

bool TTaskManager::RemoveTask(TTask* task) {
    auto it = std::find(mActive.begin(), mActive.end(), task);
    if (it == mActive.end()) return false;
    if (!mUpdating) {
        mActive.erase(it);
        return true;
    }
    // Asked again while still listed: the same answer, unless DeleteAll has claimed it since.
    if (IsPendingRemoval(task)) return !IsPendingDelete(task);
    mPendingRemoval.push_back(task);
    return true;
}

void TTaskManager::Update(uint32_t mode) {
    if (mUpdating) return;
    mUpdating = true;
    for (auto it = mActive.begin(); it != mActive.end();) {
        auto current = it++;
        TTask* task = *current;
        if (IsPendingRemoval(task)) continue;
        if (!task->IsReady(mode)) continue;
        if (task->Execute()) continue;
        // Finished. A task given back to its caller during its run is no longer ours, unless
        // DeleteAll marked it too; either way the walk lets go of it here.
        if (IsPendingRemoval(task) && !IsPendingDelete(task)) continue;
        mActive.erase(current);
        Forget(mPendingRemoval, task);
        Forget(mPendingDelete, task);
        delete task;
    }
    EndUpdate();
}

void TTaskManager::EndUpdate() {
    mUpdating = false;
    for (TTask* task : mPendingRemoval)
        mActive.remove(task);
    mPendingRemoval.clear();
    std::vector<TTask*> doomed;
    doomed.swap(mPendingDelete);
    for (TTask* task : doomed)
        delete task;
}

void TTaskManager::DeleteAll() {
    if (mUpdating) {
        // Every task still listed goes, those whose removal is pending included: "delete all"
        // wins over an earlier hand-back in the same update.
        for (TTask* task : mActive) {
            if (IsPendingDelete(task)) continue;  // marked by an earlier DeleteAll
            if (!IsPendingRemoval(task)) mPendingRemoval.push_back(task);
            mPendingDelete.push_back(task);
        }
        return;
    }
    std::vector<TTask*> doomed;
    for (TTask* task : mActive)
        if (!IsPendingRemoval(task)) doomed.push_back(task);
    for (TTask* task : mPendingDelete)
        if (std::find(doomed.begin(), doomed.end(), task) == doomed.end()) doomed.push_back(task);
    mActive.clear();
    mPendingRemoval.clear();
    mPendingDelete.clear();
    for (TTask* task : doomed)
        delete task;
}
