#include "simulation/schedule/loadidregistry.h"

#include <utility>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/object.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/scheduletask.h"

struct LoadIdRegistry::Entry {
    const TXmlNode* element = nullptr;
    GScheduleTask* task = nullptr;
    GObject* object = nullptr;
    // Set while the registry still owns what it made.
    std::unique_ptr<GScheduleTask> ownedTask;
    std::unique_ptr<GObject> ownedObject;
};

namespace {

void LogTaken(int id, const TXmlNode* element) {
    LogPrintf("LoadIdRegistry: the id %d is taken, a later \"%s\" with it is ignored", id,
              element != nullptr ? element->GetName().c_str() : "");
}

}  // namespace

LoadIdRegistry::LoadIdRegistry() = default;

LoadIdRegistry::~LoadIdRegistry() = default;

void LoadIdRegistry::Clear() {
    mEntries.clear();
}

void LoadIdRegistry::EnterTasks(TXmlNode* schedule) {
    if (schedule == nullptr) return;
    for (TXmlNode* child : schedule->GetChildren()) {
        AddTask(ReadIntAttribute(child, "id"), child);
    }
}

int LoadIdRegistry::EnterObjects(TXmlNode* objects, const ObjectMaker& make) {
    if (objects == nullptr) return 0;
    int count = 0;
    for (TXmlNode* child : objects->GetChildren()) {
        ++count;
        std::unique_ptr<GObject> object = make(child->GetName());
        if (object != nullptr) AddObject(ReadIntAttribute(child, "id"), std::move(object), child);
    }
    return count;
}

bool LoadIdRegistry::AddTask(int id, const TXmlNode* element) {
    if (mEntries.count(id) != 0) {
        LogTaken(id, element);
        return false;
    }
    auto entry = std::make_unique<Entry>();
    entry->element = element;
    entry->ownedTask = std::make_unique<GScheduleTask>();
    entry->task = entry->ownedTask.get();
    mEntries.emplace(id, std::move(entry));
    return true;
}

bool LoadIdRegistry::AddObject(int id, std::unique_ptr<GObject> object, const TXmlNode* element) {
    if (object == nullptr) return false;
    if (mEntries.count(id) != 0) {
        LogTaken(id, element);
        return false;
    }
    auto entry = std::make_unique<Entry>();
    entry->element = element;
    entry->object = object.get();
    entry->ownedObject = std::move(object);
    mEntries.emplace(id, std::move(entry));
    return true;
}

GScheduleTask* LoadIdRegistry::FindTask(int id) const {
    const auto found = mEntries.find(id);
    return found != mEntries.end() ? found->second->task : nullptr;
}

GObject* LoadIdRegistry::FindObject(int id) const {
    const auto found = mEntries.find(id);
    return found != mEntries.end() ? found->second->object : nullptr;
}

GScheduleTask* LoadIdRegistry::FindScheduledTask(int id) const {
    const auto found = mEntries.find(id);
    if (found == mEntries.end() || found->second->ownedTask != nullptr) return nullptr;
    return found->second->task;
}

LoadIdRegistry::Entry* LoadIdRegistry::EntryMadeBy(const TXmlNode* element) const {
    if (element == nullptr) return nullptr;
    const auto found = mEntries.find(ReadIntAttribute(element, "id"));
    if (found == mEntries.end() || found->second->element != element) return nullptr;
    return found->second.get();
}

GScheduleTask* LoadIdRegistry::TaskToLoad(const TXmlNode* element) const {
    const Entry* entry = EntryMadeBy(element);
    return entry != nullptr ? entry->ownedTask.get() : nullptr;
}

GObject* LoadIdRegistry::ObjectToLoad(const TXmlNode* element) const {
    const Entry* entry = EntryMadeBy(element);
    return entry != nullptr ? entry->ownedObject.get() : nullptr;
}

std::unique_ptr<GScheduleTask> LoadIdRegistry::ClaimTask(int id) {
    const auto found = mEntries.find(id);
    if (found == mEntries.end()) return nullptr;
    return std::move(found->second->ownedTask);
}

std::unique_ptr<GObject> LoadIdRegistry::ClaimObject(int id) {
    const auto found = mEntries.find(id);
    if (found == mEntries.end()) return nullptr;
    return std::move(found->second->ownedObject);
}

void LoadIdRegistry::DiscardTask(int id) {
    const auto found = mEntries.find(id);
    if (found == mEntries.end() || found->second->ownedTask == nullptr) return;
    mEntries.erase(found);
}
