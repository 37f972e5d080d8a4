#include "gv/anim/gveffect.h"

#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"

bool GVEffect::Load(TXmlNode* node, GVBase* owner) {
    if (!GVBase::Load(node, owner)) return false;
    targets = static_cast<uint32_t>(ReadIntAttr(node, "targets", 1));
    enabled = ReadBoolAttr(node, "enable", true);
    id = node->GetAttribute("id");
    return true;
}

bool GVEffect::Save(TXmlNode* node) {
    (void)node;
    return false;
}

GVBase* GVEffect::CopyTo(GVBase* target) {
    if (GVBase::CopyTo(target) == nullptr) return nullptr;
    GVEffect* effect = dynamic_cast<GVEffect*>(target);
    if (effect == nullptr) return nullptr;
    effect->id = id;
    effect->enabled = enabled;
    effect->targets = targets;
    return target;
}

bool GVEffect::IsKindOf(const str& className) const {
    return className == GetClassName() || className == "GVEffect";
}

bool GVEffect::SetTarget(GVObject* object) {
    mTarget = object;
    return object != nullptr;
}

bool GVEffect::BeforeDraw(TDrawSpec& spec) {
    (void)spec;
    return true;
}

void GVEffect::AfterDraw(TDrawSpec& spec) {
    (void)spec;
}

void GVEffect::OnFrameChanged(int32_t previousPosition) {
    (void)previousPosition;
}

void GVEffect::Apply(GVData& composed) {
    (void)composed;
}
