#include "simulation/object.h"

#include <utility>

#include "foundation/xml/xmlnode.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/saveidregistry.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/views/worldobject.h"

GObject::~GObject() = default;

void GObject::SetData(std::unique_ptr<GObjectData> data) {
    mData = std::move(data);
}

void GObject::Load(TXmlNode* node, LoadIdRegistry& ids) {
    const str taskId = node->GetAttribute("TaskID");
    if (taskId.Length() != 0) {
        GScheduleTask* task = ids.FindScheduledTask(ParseSavedInt(taskId));
        const GTaskListener* self = this;
        if (task != nullptr &&
            (task->GetSubjectListener() == self || task->GetObjectListener() == self)) {
            mTask = task;
        }
    }
    TXmlNode* data = node->FindChild("Data");
    if (data != nullptr && mData != nullptr) mData->Load(data);
}

void GObject::Save(TXmlNode* node, SaveIdRegistry& ids) const {
    node->SetAttributeInt("id", ids.GetId(this));
    if (mView != nullptr) {
        node->SetAttributeInt("x", TruncateToInt(mView->GetX()));
        node->SetAttributeInt("y", TruncateToInt(mView->GetY()));
    }
    if (mTask != nullptr) {
        node->SetAttributeInt("TaskID", ids.GetId(mTask));
    } else {
        node->SetAttribute("TaskID", str(""));
    }
    TXmlNode* data = node->AddChild("Data");
    if (mData != nullptr) mData->Save(data);
}
