// GTaskListener: how the scheduler (schedule.h) tells a task's parties that it was cancelled,
// that it ended, or how far it has come (0 to 0.99). Every world object is one; the calls come
// from inside the scheduler's operations, and a listener may add and cancel tasks while it is
// being told. Main thread only.
#pragma once

struct GTaskData;

class GTaskListener {
public:
    virtual ~GTaskListener() = default;

    virtual void OnTaskCancelled(GTaskData* taskData) = 0;
    virtual void OnTaskCompleted(GTaskData* taskData) = 0;
    virtual void OnTaskProgress(GTaskData* taskData, float progress) = 0;
};
