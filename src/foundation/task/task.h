// TTask: a piece of periodic work that a task manager (taskmanager.h) asks, on every update,
// whether it is ready and then runs. A task whose Execute answers false is finished: the manager
// that ran it deletes it (unless it was taken out of the manager first, see TTaskManager).
//
// Tasks are made with new, handed to a manager, and run on the main thread only.
#pragma once

#include <cstdint>

class TTask {
public:
    virtual ~TTask() = default;

    // Whether the task wants to run in an update of this mode. The plain task runs in every mode.
    virtual bool IsReady(uint32_t mode);
    // Does the work; false means finished.
    virtual bool Execute() = 0;
};
