// SaveIdRegistry: the ids through which a saved world writes pointers between its tasks and
// objects. One registry serves one whole save: the scheduler and every object share it, so an
// object first named by a task keeps that id in its own element. Ids start at 1 and follow the
// order in which things are first named. Main thread only.
#pragma once

#include <map>

class GObject;
class GScheduleTask;
class GTaskListener;

class SaveIdRegistry {
public:
    // 0 for null.
    int GetId(const GObject* object);
    int GetId(const GScheduleTask* task);
    // A task's listener goes by the object it is, so it gets that object's id.
    int GetId(const GTaskListener* listener);

private:
    int IdOf(const void* address);

    std::map<const void*, int> mIds;
    int mCounter = 0;
};
