// Small helpers of the world's passes over its objects (the tick and its creature and monster
// passes): the kind of an object's current task, an object's view as a creature view, and the
// list a pass walks.
//
// A pass that calls out (asks for tasks, runs a creature's cycle) walks a copy of the list taken
// before it starts and asks IsInWorld of each entry before using it: an object that left the
// world during the pass waits in the deletion queue until the next tick, so its pointer stays
// good, and it is passed over; one that came during the pass waits for the next. Nobody is
// visited twice and nobody is skipped. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "simulation/object.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldcreature.h"

namespace worldpass {

// The kind of the object's current task; kTaskNone without one.
inline int TaskKindOf(const GObject* object) {
    const GScheduleTask* task = object->GetTask();
    return task != nullptr ? task->GetKind() : kTaskNone;
}

// The object's view when it is a creature view; none otherwise.
inline GVWorldCreature* CreatureViewOf(const GObject* object) {
    GVWorldObject* view = object != nullptr ? object->GetView() : nullptr;
    return view != nullptr && view->IsKindOf(GVViewClass::kCreature)
               ? static_cast<GVWorldCreature*>(view)
               : nullptr;
}

// The objects of a list as the pass starts.
template <class T>
std::vector<T*> ListCopy(const std::vector<std::unique_ptr<T>>& list) {
    std::vector<T*> copy;
    copy.reserve(list.size());
    for (const std::unique_ptr<T>& entry : list)
        copy.push_back(entry.get());
    return copy;
}

}  // namespace worldpass
