#include "simulation/schedule/schedule.h"

#include <utility>

#include "foundation/xml/xmlnode.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/taskkind.h"
#include "simulation/schedule/tasklistener.h"

class GSchedule::Telling {
public:
    explicit Telling(GSchedule& schedule) : mSchedule(schedule) { ++mSchedule.mTellingDepth; }
    ~Telling() {
        if (--mSchedule.mTellingDepth == 0 && (mSchedule.mFreeAtEnd || mSchedule.mClearPending)) {
            mSchedule.FreeFinished();
        }
    }
    Telling(const Telling&) = delete;
    Telling& operator=(const Telling&) = delete;

private:
    GSchedule& mSchedule;
};

bool GSchedule::ByEndTime::operator()(const GScheduleTask* a, const GScheduleTask* b) const {
    return a->GetEndTime() < b->GetEndTime();
}

GSchedule::GSchedule() = default;

GSchedule::~GSchedule() {
    Clear();
}

GScheduleTask* GSchedule::AddTask(std::unique_ptr<GScheduleTask> task) {
    if (task == nullptr) return nullptr;
    GScheduleTask* added = task.release();
    // A multiset inserts after the elements equal to the new one.
    mTasks.insert(added);
    return added;
}

void GSchedule::Update(uint32_t now, bool simulating) {
    Telling telling(*this);
    mFreeAtEnd = true;
    for (;;) {
        auto next = mTasks.begin();
        while (next != mTasks.end() &&
               (((*next)->GetType() == GScheduleTask::kByTimeWhileSimulating && !simulating) ||
                (*next)->GetState() == GScheduleTask::kClosed)) {
            ++next;
        }
        if (next == mTasks.end() || (*next)->GetEndTime() > now) break;
        GScheduleTask* task = *next;
        mTasks.erase(next);
        mFinished.push_back(task);
        task->Finish(true);
    }
}

GSchedule::Tasks::iterator GSchedule::Find(const GScheduleTask* task) const {
    if (task == nullptr) return mTasks.end();
    auto [first, last] = mTasks.equal_range(const_cast<GScheduleTask*>(task));
    for (auto it = first; it != last; ++it) {
        if (*it == task) return it;
    }
    return mTasks.end();
}

bool GSchedule::IsScheduled(const GScheduleTask* task) const {
    return Find(task) != mTasks.end();
}

void GSchedule::RemoveTask(GScheduleTask* task, bool completed) {
    const auto found = Find(task);
    if (found == mTasks.end()) return;
    Telling telling(*this);
    mTasks.erase(found);
    mFinished.push_back(task);
    task->Finish(completed);
}

void GSchedule::CancelTasksOf(GTaskListener* listener, bool alsoAsObject, int kind) {
    if (listener == nullptr) return;
    Telling telling(*this);
    std::vector<GScheduleTask*> taken;
    for (auto it = mTasks.begin(); it != mTasks.end();) {
        GScheduleTask* task = *it;
        const bool matches = (kind == 0 || task->GetKind() == kind) &&
                             (task->GetSubjectListener() == listener ||
                              (alsoAsObject && task->GetObjectListener() == listener));
        if (matches) {
            it = mTasks.erase(it);
            taken.push_back(task);
        } else {
            ++it;
        }
    }
    // In the finished list before anyone is told, so that everything taken is freed once
    // whatever the listeners do.
    mFinished.insert(mFinished.end(), taken.begin(), taken.end());
    for (GScheduleTask* task : taken)
        task->Finish(false);
}

int16_t GSchedule::CountTasksOfKind(int kind) const {
    int count = 0;
    for (const GScheduleTask* task : mTasks) {
        if (task->GetKind() == kind) ++count;
    }
    return static_cast<int16_t>(count);
}

int16_t GSchedule::CountTasksOf(GTaskListener* listener, bool alsoAsObject) const {
    int count = 0;
    for (const GScheduleTask* task : mTasks) {
        if (task->GetSubjectListener() == listener ||
            (alsoAsObject && task->GetObjectListener() == listener)) {
            ++count;
        }
    }
    return static_cast<int16_t>(count);
}

uint32_t GSchedule::NextEndTime() const {
    return mTasks.empty() ? 0 : (*mTasks.begin())->GetEndTime();
}

void GSchedule::RefreshProgress(uint32_t now) {
    Telling telling(*this);
    const std::vector<GScheduleTask*> tasks(mTasks.begin(), mTasks.end());
    for (GScheduleTask* task : tasks) {
        // A task a listener cancelled meanwhile has been told its end; it hears no more.
        if (task->GetState() != GScheduleTask::kClosed) task->UpdateProgress(now);
    }
}

void GSchedule::Clear() {
    if (mTellingDepth == 0) {
        FreeFinished();
        Tasks tasks;
        tasks.swap(mTasks);
        for (GScheduleTask* task : tasks)
            delete task;
        return;
    }
    // Called while listeners are being told: close everything now, free it when the outermost
    // call returns.
    for (GScheduleTask* task : mTasks)
        mFinished.push_back(task);
    mTasks.clear();
    for (GScheduleTask* task : mFinished)
        task->SetState(GScheduleTask::kClosed);
    mClearPending = true;
}

void GSchedule::FreeFinished() {
    std::vector<GScheduleTask*> finished;
    finished.swap(mFinished);
    for (GScheduleTask* task : finished)
        delete task;
    mFreeAtEnd = false;
    mClearPending = false;
}

std::vector<GScheduleTask*> GSchedule::GetTasks() const {
    return std::vector<GScheduleTask*>(mTasks.begin(), mTasks.end());
}

void GSchedule::Save(TXmlNode* node, SaveIdRegistry& ids) const {
    for (const GScheduleTask* task : mTasks)
        task->Save(node->AddChild("Task"), ids);
}

void GSchedule::Load(TXmlNode* node, LoadIdRegistry& ids) {
    for (TXmlNode* child : node->GetChildren()) {
        GScheduleTask* task = ids.TaskToLoad(child);
        if (task == nullptr) continue;
        task->Load(child, ids);
        const int id = ReadIntAttribute(child, "id");
        if (IsTaskKind(task->GetKind())) {
            AddTask(ids.ClaimTask(id));
        } else {
            ids.DiscardTask(id);
        }
    }
}
