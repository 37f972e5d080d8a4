#include "simulation/schedule/saveidregistry.h"

#include "simulation/object.h"
#include "simulation/schedule/scheduletask.h"

int SaveIdRegistry::GetId(const GObject* object) {
    return object != nullptr ? IdOf(dynamic_cast<const void*>(object)) : 0;
}

int SaveIdRegistry::GetId(const GScheduleTask* task) {
    return task != nullptr ? IdOf(task) : 0;
}

int SaveIdRegistry::GetId(const GTaskListener* listener) {
    return listener != nullptr ? IdOf(dynamic_cast<const void*>(listener)) : 0;
}

int SaveIdRegistry::IdOf(const void* address) {
    const auto found = mIds.find(address);
    if (found != mIds.end()) return found->second;
    ++mCounter;
    mIds.emplace(address, mCounter);
    return mCounter;
}
