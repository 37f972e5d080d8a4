#include "gv/anim/gveffects.h"

#include <algorithm>
#include <memory>

#include "foundation/xml/xmlnode.h"
#include "gv/anim/gvinterpolatorregistry.h"

namespace {

void RemoveFirst(std::vector<GVEffect*>& list, GVEffect* effect) {
    auto found = std::find(list.begin(), list.end(), effect);
    if (found != list.end()) list.erase(found);
}

}  // namespace

bool GVCustomEffects::Load(TXmlNode* node, GVBase* owner) {
    mOwner = owner;
    return GVConteiner<GVEffect, str>::Load(node, owner);
}

GVBase* GVCustomEffects::CopyTo(GVBase* target) {
    if (GVConteiner<GVEffect, str>::CopyTo(target) == nullptr) return nullptr;
    if (auto* into = dynamic_cast<GVCustomEffects*>(target)) into->mOwner = mOwner;
    return target;
}

GVEffect* GVCustomEffects::CreateItem(TXmlNode* node) {
    GVInterpolatorRegistry::Creator creator = GVInterpolatorRegistry::Find(node->GetName());
    if (creator == nullptr) return nullptr;
    std::unique_ptr<GVEffect> effect(creator());
    if (effect == nullptr || !effect->Load(node, this)) return nullptr;
    return effect.release();
}

GVEffect* GVCustomEffects::CloneItem(GVEffect* effect) {
    GVInterpolatorRegistry::Creator creator = GVInterpolatorRegistry::Find(effect->GetTypeName());
    if (creator == nullptr) return nullptr;
    std::unique_ptr<GVEffect> clone(creator());
    if (clone == nullptr || effect->CopyTo(clone.get()) == nullptr) return nullptr;
    return clone.release();
}

const GVEffects::BitList GVEffects::kOrder[] = {{GVEffect::kBeforeDraw, kBeforeDrawList},
                                                {GVEffect::kAfterDraw, kAfterDrawList},
                                                {GVEffect::kApply, kApplyList},
                                                {GVEffect::kFrameChange, kFrameChangeList}};

GVEffects::~GVEffects() {
    for (auto& list : mLists)
        list.clear();
    mRunning.clear();
    Clear();
}

void GVEffects::StartAll(GVCustomEffects* container) {
    if (container == nullptr) return;
    for (int32_t i = 0; i < container->GetCount(); ++i) {
        GVEffect* effect = container->GetAt(i);
        if (!effect->Start()) continue;
        for (const BitList& entry : kOrder)
            if ((effect->targets & entry.bit) != 0) mLists[entry.list].push_back(effect);
        mRunning.push_back(effect);
    }
}

void GVEffects::StopAll(GVCustomEffects* container) {
    if (container == nullptr) return;
    for (int32_t i = 0; i < container->GetCount(); ++i) {
        GVEffect* effect = container->GetAt(i);
        if (!effect->Stop()) continue;
        for (const BitList& entry : kOrder)
            if ((effect->targets & entry.bit) != 0) RemoveFirst(mLists[entry.list], effect);
        RemoveFirst(mRunning, effect);
    }
}

bool GVEffects::CallBeforeDraw(TDrawSpec& spec) {
    for (GVEffect* effect : mLists[kBeforeDrawList])
        if (!effect->BeforeDraw(spec)) return false;
    return true;
}

void GVEffects::CallAfterDraw(TDrawSpec& spec) {
    for (GVEffect* effect : mLists[kAfterDrawList])
        effect->AfterDraw(spec);
}

void GVEffects::CallFrameChanged(int32_t previousPosition) {
    for (GVEffect* effect : mLists[kFrameChangeList])
        effect->OnFrameChanged(previousPosition);
}

void GVEffects::ApplyAll(GVData& composed) {
    for (GVEffect* effect : mLists[kApplyList])
        effect->Apply(composed);
}

bool GVCustomEffects::SetTargets(GVObject* object) {
    bool any = false;
    for (GVEffect* effect : mItems)
        any = effect->SetTarget(object) || any;
    return any;
}
