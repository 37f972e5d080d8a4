#include "simulation/grave.h"

#include <utility>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/gvobject.h"
#include "simulation/data/savedvalues.h"
#include "simulation/views/worldobject.h"
#include "simulation/worldkeys.h"

GGrave::GGrave() : GObject(kGrave) {}

GGrave::~GGrave() = default;

void GGrave::OnTaskCancelled(GTaskData*) {}

void GGrave::OnTaskCompleted(GTaskData*) {}

void GGrave::OnTaskProgress(GTaskData*, float) {}

void GGrave::OnVisualEvent(GVWorldObject*, const GNameMask*) {}

void GGrave::SetData(std::unique_ptr<GObjectData> data) {
    if (data != nullptr && dynamic_cast<GCreatureData*>(data.get()) == nullptr) {
        LogPrintf("GGrave::SetData: not a creature block");
        return;
    }
    GObject::SetData(std::move(data));
}

void GGrave::Load(TXmlNode* node, LoadIdRegistry& ids) {
    SetData(std::make_unique<GCreatureData>());
    GObject::Load(node, ids);
    mNickName = node->GetAttribute("NickName");
    mDeath = node->GetAttribute("Death");
    mTimeLeft = ReadIntAttribute(node, "TimeLeft");
}

void GGrave::Save(TXmlNode* node, SaveIdRegistry& ids) const {
    GObject::Save(node, ids);
    node->SetAttribute("NickName", mNickName);
    node->SetAttribute("Death", mDeath);
    node->SetAttributeInt("TimeLeft", mTimeLeft);
}

int GGrave::CountDown() {
    if (mTimeLeft > 0) {
        --mTimeLeft;
    } else if (mTimeLeft == 0) {
        mTimeLeft = -1;
        GVWorldObject* view = GetView();
        if (GVObject* sprite = view != nullptr ? view->GetSprite() : nullptr) {
            sprite->SetStateRecursive(WorldKeys().disappear, true, false);
        }
    }
    return mTimeLeft;
}
