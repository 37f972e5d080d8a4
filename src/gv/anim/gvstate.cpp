#include "gv/anim/gvstate.h"

#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"
#include "gv/keys/flagmasktext.h"
#include "gv/framelist.h"
#include "gv/gvobject.h"
#include "gv/keys/statekeys.h"

GVState::~GVState() {
    delete mEffects;
}

bool GVState::Load(TXmlNode* node, GVBase* owner) {
    if (!GVData::Load(node, owner)) return false;
    defdelay = ReadIntAttr(node, "defdelay", 100);
    const GVStates* states = dynamic_cast<const GVStates*>(owner);
    // A bad number ends the list with what came before it: the state keeps that.
    ParseFrameList(frames, states != nullptr ? states->GetFrameCount() : 0,
                   node->GetAttribute("framelist"));
    const str idText = node->GetAttribute("id");
    if (idText.Length() == 0) return false;
    id = ParseFlagMask(idText);
    nextState = ParseFlagMask(node->GetAttribute("nextstate"));
    delete mEffects;
    mEffects = nullptr;
    if (!node->GetChildren().empty()) {
        mEffects = new GVCustomEffects();
        if (!mEffects->Load(node, this)) {
            delete mEffects;
            mEffects = nullptr;
        }
    }
    return true;
}

bool GVState::Save(TXmlNode* node) {
    if (!GVData::Save(node)) return false;
    WriteIntAttr(node, "defdelay", defdelay, 100);
    node->SetAttribute("id", FormatFlagMask(id));
    if (!frames.empty()) node->SetAttribute("framelist", FormatFrameList(frames));
    node->SetAttribute("nextstate", FormatFlagMask(nextState));
    if (mEffects != nullptr) mEffects->Save(node);
    return true;
}

GVBase* GVState::CopyTo(GVBase* target) {
    if (GVData::CopyTo(target) == nullptr) return nullptr;
    GVState* state = dynamic_cast<GVState*>(target);
    if (state == nullptr) return target;
    state->defdelay = defdelay;
    state->frames = frames;
    state->id = id;
    state->nextState = nextState;
    delete state->mEffects;
    state->mEffects = nullptr;
    if (mEffects != nullptr) {
        auto* effects = new GVCustomEffects();
        mEffects->CopyTo(effects);
        // The clone belongs to the new state, not to this one.
        effects->SetOwner(state);
        state->mEffects = effects;
    }
    return target;
}

int32_t GVState::GetFrameAt(int32_t position) const {
    if (position < 0 || position >= GetFrameCount()) return -1;
    return frames[static_cast<size_t>(position)];
}

GVBase* GVStates::GetOwner() {
    return mOwner;
}

bool GVStates::Load(TXmlNode* node, GVBase* owner) {
    if (node != nullptr) GVConteiner<GVState, uint64_t>::Load(node, owner);
    const GNameMask normal = GetStateKeys().normal;
    if (FindByKey(normal) < 0) {
        auto* state = new GVState();
        state->id = normal;
        for (int32_t n = 0; n < mFrameCount; ++n)
            state->frames.push_back(n);
        Add(state);
    }
    return true;
}

void GVStates::BindEffects(GVObject* object) {
    for (GVState* state : mItems)
        if (state->GetEffects() != nullptr) state->GetEffects()->SetTargets(object);
}
