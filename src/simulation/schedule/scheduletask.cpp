#include "simulation/schedule/scheduletask.h"

#include <utility>

#include "foundation/xml/xmlnode.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/object.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/saveidregistry.h"
#include "simulation/worldsounds.h"

namespace {

constexpr int kBuildTask = 4;
// The sound event of building, stopped with every build task.
constexpr int kBuildingSound = 62;

GObject* AsObject(GTaskListener* listener) {
    return dynamic_cast<GObject*>(listener);
}

// The object of an id attribute; none when the attribute is empty or names no object.
GObject* ObjectOf(const TXmlNode* node, const char* name, const LoadIdRegistry& ids) {
    const str text = node->GetAttribute(name);
    if (text.Length() == 0) return nullptr;
    return ids.FindObject(ParseSavedInt(text));
}

}  // namespace

GScheduleTask::GScheduleTask() = default;

GScheduleTask::~GScheduleTask() = default;

void GScheduleTask::Init(std::unique_ptr<GTaskData> taskData, GTaskListener* subjectListener,
                         GTaskListener* objectListener, uint32_t endTime, uint32_t duration,
                         int kind, int type) {
    mTaskData = std::move(taskData);
    mSubjectListener = subjectListener;
    mObjectListener = objectListener;
    mEndTime = endTime;
    mDuration = duration;
    mKind = kind;
    mType = type;
    SetState(kRunning);
}

void GScheduleTask::SetState(int state) {
    mState = state == 0 ? kRunning : state;
    if (state == kCompleted) {
        SetState(kClosed);
        if (mObjectListener != nullptr) mObjectListener->OnTaskCompleted(mTaskData.get());
        if (mSubjectListener != nullptr) mSubjectListener->OnTaskCompleted(mTaskData.get());
        ReleaseFrom(mObjectListener);
        ReleaseFrom(mSubjectListener);
    } else if (state == kCancelled) {
        SetState(kClosed);
        if (mSubjectListener != nullptr) mSubjectListener->OnTaskCancelled(mTaskData.get());
        if (mObjectListener != nullptr) mObjectListener->OnTaskCancelled(mTaskData.get());
        ReleaseFrom(mObjectListener);
        ReleaseFrom(mSubjectListener);
    }
}

void GScheduleTask::ReleaseFrom(GTaskListener* listener) {
    GObject* object = AsObject(listener);
    if (object != nullptr && object->GetTask() == this) object->SetTask(nullptr);
}

void GScheduleTask::Finish(bool completed) {
    if (mState == kClosed) return;
    GObject* subject = AsObject(mSubjectListener);
    WorldSounds().StopEvent(subject, 0.0f, 0.0f, mKind);
    if (mKind == kBuildTask) WorldSounds().StopEvent(subject, 0.0f, 0.0f, kBuildingSound);
    SetState(completed ? kCompleted : kCancelled);
}

float GScheduleTask::UpdateProgress(uint32_t now) {
    float remaining = static_cast<float>(mEndTime) - static_cast<float>(now);
    if (remaining < 0.0f) remaining = 0.0f;
    float progress = 0.99f;
    if (mDuration != 0) progress = 1.0f - remaining / static_cast<float>(mDuration);
    if (progress > 0.99f) progress = 0.99f;
    if (mObjectListener != nullptr) mObjectListener->OnTaskProgress(mTaskData.get(), progress);
    if (mSubjectListener != nullptr) mSubjectListener->OnTaskProgress(mTaskData.get(), progress);
    return progress;
}

void GScheduleTask::Save(TXmlNode* node, SaveIdRegistry& ids) const {
    node->SetAttributeInt("id", ids.GetId(this));
    node->SetAttributeInt("TaskID", mKind);
    node->SetAttributeInt("Type", mType);
    node->SetAttributeInt("State", mState);
    node->SetAttributeInt("EndTime", static_cast<int>(mEndTime));
    node->SetAttributeInt("Duration", static_cast<int>(mDuration));
    if (mSubjectListener != nullptr) {
        node->SetAttributeInt("SubjectListener", ids.GetId(mSubjectListener));
    }
    if (mObjectListener != nullptr) {
        node->SetAttributeInt("ObjectListener", ids.GetId(mObjectListener));
    }
    if (mTaskData != nullptr) {
        if (mTaskData->object != nullptr) {
            node->SetAttributeInt("TaskData_iObject", ids.GetId(mTaskData->object));
        }
        if (mTaskData->subject != nullptr) {
            node->SetAttributeInt("TaskData_iSubject", ids.GetId(mTaskData->subject));
        }
    }
}

void GScheduleTask::Load(TXmlNode* node, LoadIdRegistry& ids) {
    mKind = ReadIntAttribute(node, "TaskID");
    mType = ReadIntAttribute(node, "Type");
    mState = kRunning;
    mEndTime = static_cast<uint32_t>(ReadIntAttribute(node, "EndTime"));
    mDuration = static_cast<uint32_t>(ReadIntAttribute(node, "Duration"));
    if (node->GetAttribute("SubjectListener").Length() != 0) {
        mSubjectListener = ObjectOf(node, "SubjectListener", ids);
    }
    if (node->GetAttribute("ObjectListener").Length() != 0) {
        mObjectListener = ObjectOf(node, "ObjectListener", ids);
    }
    auto taskData = std::make_unique<GTaskData>();
    taskData->object = ObjectOf(node, "TaskData_iObject", ids);
    taskData->subject = ObjectOf(node, "TaskData_iSubject", ids);
    mTaskData = std::move(taskData);
}
