// LoadIdRegistry: the world's table from the ids of a saved world to the tasks and objects made
// for them. A load runs in two phases. The first makes an empty task for every child of
// "Schedule" and an empty object for every child of "Objects" (EnterTasks, EnterObjects), each
// under its element's "id"; the scheduler then loads its tasks (GSchedule::Load), which find their
// parties here. The second phase fills the objects one element at a time (ObjectToLoad,
// ClaimObject), and they find their tasks here.
//
// A saved world is untrusted text, so:
//   - ids are typed: a task id resolves only to a task, an object id only to an object; a wrong
//     kind reads as none, like an unknown id;
//   - the first element of an id wins: a later element with the same id makes nothing (one log
//     line), and only the element that made an entry loads into it, so nothing is loaded,
//     scheduled, listed or deleted twice;
//   - an object's current task must be a task the scheduler took (FindScheduledTask).
//
// Ownership: the registry owns what it made until the scheduler claims a task or the world claims
// an object; whatever is never claimed is deleted with the next Clear or with the registry. The
// pointers stay readable here after a claim, until Clear; a claimed task is freed by the
// scheduler once it ends, so the second phase runs before the scheduler's first Update. Clear
// the scheduler before an unclaimed object it may name goes. Main thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "foundation/str.h"

class GObject;
class GScheduleTask;
class TXmlNode;

class LoadIdRegistry {
public:
    LoadIdRegistry();
    ~LoadIdRegistry();
    LoadIdRegistry(const LoadIdRegistry&) = delete;
    LoadIdRegistry& operator=(const LoadIdRegistry&) = delete;

    // Forgets every entry and deletes what was never claimed. The start of every load.
    void Clear();

    // First phase: an empty task per child of the "Schedule" element.
    void EnterTasks(TXmlNode* schedule);
    // First phase: for every child of the "Objects" element, make answers the empty object of
    // that element name (or null: "Arks" and unknown names make nothing). Answers the number of
    // children, every one of which counts for the load's progress.
    using ObjectMaker = std::function<std::unique_ptr<GObject>(const str& elementName)>;
    int EnterObjects(TXmlNode* objects, const ObjectMaker& make);

    // Enter one task or object made for element under id. False (logged, the object deleted)
    // when the id is taken.
    bool AddTask(int id, const TXmlNode* element);
    bool AddObject(int id, std::unique_ptr<GObject> object, const TXmlNode* element);

    // Typed lookups; null for an unknown id or one of the other kind.
    GScheduleTask* FindTask(int id) const;
    GObject* FindObject(int id) const;
    // A task the scheduler has claimed.
    GScheduleTask* FindScheduledTask(int id) const;

    // The task or object that element made under its "id", while still unclaimed; null for an
    // element that made nothing (an unknown id, or a later element with a taken id).
    GScheduleTask* TaskToLoad(const TXmlNode* element) const;
    GObject* ObjectToLoad(const TXmlNode* element) const;

    // Hands over what was made under id (null when there is none or it was claimed already).
    std::unique_ptr<GScheduleTask> ClaimTask(int id);
    std::unique_ptr<GObject> ClaimObject(int id);
    // Deletes an unclaimed task and forgets its id, so that nothing can name it.
    void DiscardTask(int id);

private:
    struct Entry;

    Entry* EntryMadeBy(const TXmlNode* element) const;

    std::map<int, std::unique_ptr<Entry>> mEntries;
};
