// GMusicTimer: the music manager's fade step, a task on the application clock that runs
// GMusicManager::Update every 100 ms. The manager makes it and hands it to the application
// object's task list, which owns it and deletes it when it answers false. The two forget each
// other when either goes: a timer whose owner has gone answers false and leaves the list, and a
// manager whose timer the list deleted has none.
//
// Main thread only.
#pragma once

#include "foundation/task/animtask.h"

class GMusicManager;

class GMusicTimer : public TAnimTask {
public:
    explicit GMusicTimer(GMusicManager* owner);
    ~GMusicTimer() override;
    GMusicTimer(const GMusicTimer&) = delete;
    GMusicTimer& operator=(const GMusicTimer&) = delete;

    // False once the owner has gone; otherwise the owner's Update, and true.
    bool Animate() override;

    // The owner's destructor.
    void ForgetOwner() { mOwner = nullptr; }
    GMusicManager* GetOwner() const { return mOwner; }

private:
    GMusicManager* mOwner;
};
