#include "simulation/monster.h"

#include <utility>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/data/savedvalues.h"
#include "simulation/views/worldcreature.h"

GMonster::GMonster() : GObject(kMonster) {}

GMonster::~GMonster() = default;

void GMonster::OnTaskCancelled(GTaskData*) {}

void GMonster::OnTaskCompleted(GTaskData*) {}

void GMonster::OnTaskProgress(GTaskData*, float) {}

void GMonster::OnVisualEvent(GVWorldObject*, const GNameMask*) {}

void GMonster::SetData(std::unique_ptr<GObjectData> data) {
    if (data != nullptr && dynamic_cast<GMonsterData*>(data.get()) == nullptr) {
        LogPrintf("GMonster::SetData: not a monster block");
        return;
    }
    GObject::SetData(std::move(data));
}

void GMonster::Load(TXmlNode* node, LoadIdRegistry& ids) {
    SetData(std::make_unique<GMonsterData>());
    GObject::Load(node, ids);
    mNickName = node->GetAttribute("NickName");
    mItemType = ReadIntAttribute(node, "item_type");
    if (const TXmlNode* last = node->FindChild("LastTasks")) {
        mLastTask = ReadIntAttribute(last, "LastTask");
    }
}

void GMonster::Save(TXmlNode* node, SaveIdRegistry& ids) const {
    GObject::Save(node, ids);
    node->SetAttribute("NickName", mNickName);
    node->SetAttributeInt("item_type", mItemType);
    node->AddChild("LastTasks")->SetAttributeInt("LastTask", mLastTask);
}

void GMonster::ForgetObject(const GObject* object) {
    if (object == nullptr) return;
    if (mAttacker == object) mAttacker = nullptr;
    if (mPrey == object) mPrey = nullptr;
}

void GMonster::SetItemType(int item) {
    mItemType = item;
    GVWorldObject* view = GetView();
    if (view != nullptr && view->IsKindOf(GVViewClass::kCreature)) {
        static_cast<GVWorldCreature*>(view)->SetItem(item, false);
    }
}

int GMonster::GetAIProduction(int kind) const {
    const GMonsterData* data = GetMonsterData();
    if (data == nullptr) return 0;
    const auto found = data->aiCoefs.find(kind);
    return found != data->aiCoefs.end() ? found->second.production : 0;
}

int GMonster::GetAIDuration(int kind) const {
    const GMonsterData* data = GetMonsterData();
    if (data == nullptr) return 0;
    const auto found = data->aiCoefs.find(kind);
    return found != data->aiCoefs.end() ? found->second.duration : 0;
}
