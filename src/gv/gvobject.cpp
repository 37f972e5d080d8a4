#include "gv/gvobject.h"

#include <algorithm>
#include <cmath>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"
#include "gv/gvchilds.h"
#include "gv/anim/gveffects.h"
#include "gv/gvfactory.h"
#include "gv/hittest/gvhittester.h"
#include "gv/gvscene.h"
#include "gv/anim/gvstate.h"
#include "gv/anim/gvtaskhost.h"
#include "gv/keys/statekeys.h"
#include "platform/draw/drawspec.h"

namespace {

// The sub-object rule of Save: a list with items saves into its element (found or made); with
// nothing to save, or when the save fails, the element of that name goes.
void SaveSubObject(TXmlNode* node, const char* name, GVBase* list, int32_t count) {
    TXmlNode* element = node->FindChild(name);
    if (list != nullptr && count > 0) {
        if (element == nullptr) element = node->AddChild(name);
        if (list->Save(element)) return;
    }
    node->RemoveChild(element);
}

}  // namespace

GVObject::GVObject() : GVData(kObject), mDescription(kData), mComposed(kData), mInherited(kData) {}

GVObject::~GVObject() {
    // Leaving a scene edits the vector: walk a copy.
    const std::vector<GVScene*> scenes = mScenes;
    for (GVScene* scene : scenes)
        DetachFromScene(scene, false);
    if (mParent != nullptr && mParent->mChilds != nullptr) mParent->mChilds->Remove(this);
    mParent = nullptr;
    delete mDrawSpec;
    mDrawSpec = nullptr;
    // The running lists point into the states' effects: the object's container goes first.
    delete mEffects;
    mEffects = nullptr;
    delete mStates;
    mStates = nullptr;
    DeleteChildren();
    if (mTimer != nullptr) mTimer->Detach();
}

GVBase* GVObject::GetOwner() {
    return mParent;
}

GVBase* GVObject::GetParent() {
    return mParent;
}

void GVObject::DeleteChildren() {
    // A child that dies looks for itself in its parent's list: the list is gone by then.
    GVChilds* childs = mChilds;
    mChilds = nullptr;
    delete childs;
}

bool GVObject::Load(TXmlNode* node, GVBase* parent) {
    if (!GVBase::Load(node, parent) || !mDescription.Load(node, this)) return false;
    if (parent != nullptr && parent->GetKind() == kObject)
        mParent = static_cast<GVObject*>(parent);
    else if (parent != nullptr && parent->GetKind() == kChilds)
        mParent = static_cast<GVChilds*>(parent)->GetOwnerObject();
    else
        mParent = nullptr;
    mName = node->GetAttribute("id");
    mParams.Load(node->FindChild("params"), this);

    GVFactory& factory = GVFactory::Instance();
    mTextures = factory.LoadTextures(node->FindChild("images"), this);
    mFrames = mTextures != nullptr ? factory.LoadFrames(node->FindChild("framelist"), this)
                                   : std::shared_ptr<GVFrames>();
    const bool hasFrames = mTextures != nullptr && mFrames != nullptr;
    LoadHitTester(node);
    LoadChildren(node);
    if (TXmlNode* effects = node->FindChild("effects")) {
        auto* list = new GVEffects();
        list->Load(effects, this);
        SetEffects(list);
    }
    if (hasFrames) {
        auto* states = new GVStates(mFrames->GetCount(), this);
        states->Load(node->FindChild("states"), this);
        SetStates(states);
    }
    const str link = node->GetAttribute("link");
    mLink = link.Length() != 0 ? TextToInt(link) : 2;
    mParent = nullptr;
    return hasFrames || mChilds != nullptr;
}

void GVObject::LoadHitTester(TXmlNode* node) {
    str name = node->GetAttribute("hit_test");
    if (name.Length() == 0) {
        if (mParent == nullptr)
            name = "default";
        else
            name = mParent->mHitTester != nullptr ? mParent->mHitTester->GetTypeName()
                                                   : str("none");
    }
    std::shared_ptr<GVHitTester> tester(GVHitTesterRegistry::Create(name));
    if (tester != nullptr && !tester->Build(this)) tester.reset();
    mHitTester = std::move(tester);
}

void GVObject::LoadChildren(TXmlNode* node) {
    DeleteChildren();
    // The list exists while it loads: keys of unnamed children count the children so far.
    mChilds = new GVChilds();
    bool any = mChilds->Load(node->FindChild("objects"), this);
    const str exported = node->GetAttribute("export");
    if (exported.Length() != 0) {
        GVFactory& factory = GVFactory::Instance();
        unsigned int start = 0;
        for (;;) {
            const unsigned int end = exported.FindChar(';', 0, start);
            const str name = exported.Substring(start, end == str::npos ? str::npos : end - start);
            if (GVObject* object = factory.MakeDescObject(name)) {
                mChilds->Add(object);
                mChilds->GetExported().push_back(object);
                any = true;
            }
            if (end == str::npos) break;
            start = end + 1;
        }
    }
    if (!any) DeleteChildren();
}

bool GVObject::Save(TXmlNode* node) {
    if (!mDescription.Save(node)) return false;
    TXmlNode* params = node->FindChild("params");
    if (params == nullptr) params = node->AddChild("params");
    mParams.Save(params);
    node->SetAttribute("id", mName);
    if (mTextures != nullptr && mTextures->GetOwner() == this)
        SaveSubObject(node, "images", mTextures.get(), mTextures->GetCount());
    SaveSubObject(node, "framelist", mFrames.get(), mFrames != nullptr ? mFrames->GetCount() : 0);
    SaveSubObject(node, "objects", mChilds, GetChildCount());
    SaveSubObject(node, "effects", mEffects, mEffects != nullptr ? mEffects->GetCount() : 0);
    SaveSubObject(node, "states", mStates, mStates != nullptr ? mStates->GetCount() : 0);
    if (mLink != 2)
        node->SetAttributeInt("link", mLink);
    else
        node->SetAttribute("link", str());
    return true;
}

GVBase* GVObject::CopyTo(GVBase* target) {
    if (GVBase::CopyTo(target) == nullptr) return nullptr;
    GVObject* into = dynamic_cast<GVObject*>(target);
    if (into == nullptr || into == this) return nullptr;
    mDescription.CopyTo(&into->mDescription);
    into->mLink = mLink;
    into->mFrames = mFrames;
    into->mTextures = mTextures;
    into->mName = mName;
    into->DeleteChildren();
    if (mChilds != nullptr) {
        auto* childs = new GVChilds();
        if (mChilds->CopyTo(childs) == nullptr || childs->GetCount() == 0)
            delete childs;
        else
            into->mChilds = childs;
    }
    into->SetEffects(nullptr);
    if (mEffects != nullptr) {
        auto* effects = new GVEffects();
        mEffects->CopyTo(effects);
        effects->SetOwner(into);
        into->SetEffects(effects);
    }
    into->SetStates(nullptr);
    if (mStates != nullptr) {
        auto* states = new GVStates(mStates->GetFrameCount(), into);
        mStates->CopyTo(states);
        into->SetStates(states);
    }
    mParams.CopyInto(into->mParams);
    into->mHitTester = mHitTester;
    into->SetStateRecursive(GetStateId(), true, false);
    return target;
}

bool GVObject::Activate(GVScene* scene, GVObject* parent, bool startStates) {
    AttachToScene(scene, false);
    SetParent(parent);
    if (mEffects != nullptr) mEffects->SetTargets(this);
    if (mStates != nullptr) mStates->BindEffects(this);
    if (mStates != nullptr && startStates) {
        SetState(GetStateKeys().normal, true, false);
    } else {
        EnsureTimer();
        Update();
    }
    if (mChilds != nullptr) {
        GVFactory& factory = GVFactory::Instance();
        // The live children join the list as they take this object as parent (SetParent), in
        // order; the templates are only listed, except under a direct load, where each child
        // is made live itself.
        std::vector<GVObject*> exported;
        exported.swap(mChilds->GetExported());
        const std::vector<GVObject*> templates = mChilds->TakeAll();
        mChilds->SetOwning(true);
        for (GVObject* child : templates) {
            const bool direct = factory.GetMode() == GVFactory::kModeDirect;
            GVObject* live = factory.Instantiate(child, scene, this, startStates);
            if (live == nullptr) {
                LogPrintf("GVObject %s: the child %s could not be made live; dropped\n",
                          mName.c_str(), child->GetName().c_str());
                if (direct) delete child;
                continue;
            }
            mChilds->Add(live);
            if (std::find(exported.begin(), exported.end(), child) != exported.end())
                mChilds->GetExported().push_back(live);
        }
        mChilds->RebuildIndex();
    }
    return true;
}

bool GVObject::IsChanged() const {
    if (changed != 0 || mDescription.changed != 0 || mComposed.changed != 0) return true;
    if (const GVState* state = GetCurrentState(); state != nullptr && state->changed != 0)
        return true;
    return mParent != nullptr && mParent->changed != 0;
}

void GVObject::SetParent(GVObject* parent) {
    if (mParent != nullptr && mParent->mChilds != nullptr) mParent->mChilds->Remove(this);
    mParent = parent;
    if (parent != nullptr && parent->mChilds != nullptr) parent->mChilds->Add(this);
    mComposed.Compose(mInherited);
    mInherited.changed = 0;
}

int32_t GVObject::GetChildCount() const {
    return mChilds != nullptr ? mChilds->GetCount() : 0;
}

GVObject* GVObject::GetChild(const str& name) const {
    if (mChilds == nullptr) return nullptr;
    const int32_t index = mChilds->IndexOf(name);
    return index >= 0 ? mChilds->GetAt(index) : nullptr;
}

void GVObject::Update() {
    GVObject* start = this;
    while (start->mParent != nullptr && start->mParent->IsChanged())
        start = start->mParent;
    start->UpdateSelf();
}

void GVObject::UpdateSelf() {
    const float oldDepth = mComposed.deltaZ;
    changed = 0;
    GVState* state = GetCurrentState();
    if (state != nullptr) state->changed = 0;

    // The own block: GVData's copy, not the object's.
    GVData::CopyTo(&mComposed);
    changed = 0;
    HandDown(1);
    mComposed.Compose(mDescription);
    mDescription.changed = 0;
    HandDown(2);
    if (state != nullptr) {
        mComposed.Compose(*state);
        state->changed = 0;
    }
    if (mEffects != nullptr) mEffects->ApplyAll(mComposed);
    BuildMatrix();
    mComposed.changed = 0;
    HandDown(3);
    mComposed.Compose(mInherited);
    mInherited.changed = 0;
    if (mComposed.deltaZ != oldDepth) {
        mComposed.changed = 1;
        for (GVScene* scene : mScenes)
            scene->Reinsert(this, oldDepth);
    }
    mComposed.changed = 0;
    if (mChilds != nullptr) {
        // An update may not add or remove children; walk by position all the same.
        for (int32_t i = 0; i < mChilds->GetCount(); ++i) {
            GVObject* child = mChilds->GetAt(i);
            if (child->mInherited.changed != 0) child->UpdateSelf();
        }
    }
    UpdateDrawSpec(nullptr);
}

void GVObject::HandDown(int32_t link) {
    if (mChilds == nullptr) return;
    bool built = false;
    for (int32_t i = 0; i < mChilds->GetCount(); ++i) {
        GVObject* child = mChilds->GetAt(i);
        if (child->mLink != link) continue;
        if (!built) {
            BuildMatrix();
            built = true;
        }
        mComposed.CopyTo(&child->mInherited);
        child->mInherited.Compose(mInherited);
        // An object that keeps no draw record (a text object without its image) still hands
        // down the transform it would have.
        if (mDrawSpec != nullptr)
            child->mParentMatrix = mDrawSpec->mTransform;
        else
            ComposeMatrix(child->mParentMatrix);
        child->mInherited.changed = 1;
    }
}

void GVObject::BuildMatrix() {
    if (mDrawSpec == nullptr) {
        UpdateDrawSpec(nullptr);
        return;
    }
    ComposeMatrix(mDrawSpec->mTransform);
}

void GVObject::ComposeMatrix(TMat3& out) const {
    const GVData& c = mComposed;
    TMat3 matrix;
    matrix.m[6] = -c.centerX;
    matrix.m[7] = -c.centerY;
    TMat3 turn;
    turn.Rotate(c.rotate);
    turn.Scale(c.scaling);
    TMat3::Multiply(matrix, matrix, turn);
    matrix.m[6] += c.centerX * c.scaling + c.deltaX;
    matrix.m[7] += c.centerY * c.scaling + c.deltaY;
    TMat3::Multiply(out, matrix, mParentMatrix);
}

TDrawSpec* GVObject::EnsureDrawSpec() {
    if (mDrawSpec == nullptr) {
        mDrawSpec = new TDrawSpec(0.0f, 0.0f, 1.0f, 1.0f, 0);
        BuildMatrix();
    }
    return mDrawSpec;
}

const GVFrame* GVObject::GetCurrentFrame() const {
    const GVState* state = GetCurrentState();
    if (state == nullptr || mFramePosition < 0 || mFrames == nullptr) return nullptr;
    const int32_t number = state->GetFrameAt(mFramePosition);
    // States are checked against the list they loaded with; a number past this list is none.
    if (number < 0 || number >= mFrames->GetCount()) return nullptr;
    return mFrames->GetAt(number);
}

void GVObject::SetStates(GVStates* states) {
    if (states == mStates) return;
    // The running lists must not keep effects of the states about to go.
    GVState* current = GetCurrentState();
    if (current != nullptr && mEffects != nullptr) mEffects->StopAll(current->GetEffects());
    delete mStates;
    mStates = states;
    mCurrentState = -1;
    mFramePosition = -1;
}

void GVObject::SetEffects(GVEffects* effects) {
    if (effects == mEffects) return;
    delete mEffects;
    mEffects = effects;
}

GVState* GVObject::GetCurrentState() const {
    if (mStates == nullptr || mCurrentState < 0 || mCurrentState >= mStates->GetCount())
        return nullptr;
    return mStates->GetAt(mCurrentState);
}

GNameMask GVObject::GetStateId() const {
    const GVState* state = GetCurrentState();
    return state != nullptr ? state->id : GNameMask();
}

uint32_t GVObject::PeriodOf(const GVState& state) const {
    const int32_t period =
        TruncateToInt(static_cast<double>(state.defdelay) * static_cast<double>(mSpeed));
    return period > 0 ? static_cast<uint32_t>(period) : 0;
}

int32_t GVObject::SetState(GNameMask key, bool apply, bool keepFrame) {
    if (mStates == nullptr) return 0;
    const int32_t index = mStates->FindByKey(key);
    if (index < 0) {
        const GNameMask any = GetStateKeys().any;
        return key == any ? 0 : SetState(any, apply, keepFrame);
    }
    GVState* state = mStates->GetAt(index);
    if (apply) {
        GVState* current = GetCurrentState();
        if (current != nullptr && mEffects != nullptr) mEffects->StopAll(current->GetEffects());
        mCurrentState = index;
        if (state->GetEffects() != nullptr) {
            if (mEffects == nullptr) mEffects = new GVEffects();
            mEffects->StartAll(state->GetEffects());
        }
        mStates->queued = state->nextState;
        ArmStateTimer(*state);
        SetFrame(keepFrame && mFramePosition >= 0 ? mFramePosition : 0);
        mComposed.changed = 1;
    } else {
        mStates->queued = key;
        // A timer made now must also run, or the queued state would never play.
        if (mTimer == nullptr && EnsureTimer()) {
            if (const GVState* current = GetCurrentState()) ArmStateTimer(*current);
        }
    }
    return SaturateToInt(static_cast<int64_t>(state->defdelay) * state->GetFrameCount());
}

int32_t GVObject::SetStateRecursive(GNameMask key, bool apply, bool keepFrame) {
    int32_t longest = SetState(key, apply, keepFrame);
    if (mChilds != nullptr)
        for (int32_t i = 0; i < mChilds->GetCount(); ++i)
            longest = std::max(longest, mChilds->GetAt(i)->SetStateRecursive(key, apply, keepFrame));
    return longest;
}

void GVObject::SetFrame(int32_t position) {
    const int32_t previous = mFramePosition;
    mFramePosition = position;
    const GVState* state = GetCurrentState();
    if (state == nullptr) return;
    if (state->frames.empty()) {
        // Nothing to show; the timer's steps switch to a queued state.
        mFramePosition = -1;
        return;
    }
    if (state->GetFrameAt(position) == -1) {
        OnStateEnd();
        return;
    }
    if (mEffects != nullptr) mEffects->CallFrameChanged(previous);
    UpdateDrawSpec(nullptr);
}

void GVObject::OnStateEnd() {
    const GNameMask queued = mStates != nullptr ? mStates->queued : GNameMask();
    // A queued key that names no state, with no "any" to fall back on, switches nothing: the list
    // loops instead of running its position on for ever.
    if (!queued.IsEmpty() &&
        (mStates->FindByKey(queued) >= 0 || mStates->FindByKey(GetStateKeys().any) >= 0)) {
        SetState(queued, true, false);
        return;
    }
    SetFrame(0);
}

bool GVObject::OnTimer(TCustomOnTimerCaller* timer) {
    (void)timer;
    const GVState* state = GetCurrentState();
    if (state != nullptr && state->frames.empty()) {
        // One switch per step at most: a frameless state's own next state waits for the next.
        if (!mStates->queued.IsEmpty()) SetState(mStates->queued, true, false);
        return true;
    }
    SetFrame(mFramePosition < 0 ? 0 : mFramePosition + 1);
    return true;
}

void GVObject::RestartTimer(uint32_t period) {
    if (mTimer == nullptr && !EnsureTimer()) return;
    mTimer->SetTimer(period, true, true, false);
}

bool GVObject::EnsureTimer() {
    if (mTimer != nullptr) return true;
    if (mScenes.empty() || mStates == nullptr) return false;
    const GVState* current = GetCurrentState();
    const int32_t frames = current != nullptr ? current->GetFrameCount() : 0;
    const int32_t running = mEffects != nullptr ? mEffects->GetRunningCount() : 0;
    if (mStates->queued.IsEmpty() && frames < 2 && running == 0) return false;
    auto* timer = new Timer(this, &GVObject::OnTimer);
    timer->Stop();  // unarmed until RestartTimer
    if (!AddTimerTask(mScenes.front(), timer)) {
        delete timer;
        return false;
    }
    mTimer = timer;
    return true;
}

void GVObject::ForgetTimer(TCustomOnTimerCaller* timer) {
    if (mTimer == timer) mTimer = nullptr;
}

void GVObject::SetSpeed(float factor, bool recursive) {
    if (recursive && mChilds != nullptr)
        for (int32_t i = 0; i < mChilds->GetCount(); ++i)
            mChilds->GetAt(i)->SetSpeed(factor, true);
    mSpeed = factor;
    if (const GVState* state = GetCurrentState()) ArmStateTimer(*state);
}

void GVObject::ArmStateTimer(const GVState& state) {
    if (std::isfinite(mSpeed)) {
        RestartTimer(PeriodOf(state));
        return;
    }
    // No period to convert (a paused world gives an infinite factor): the frames stand still
    // until a finite speed arms the timer again.
    if (mTimer != nullptr) mTimer->Stop();
}

void GVObject::UpdateDrawSpec(const GVFrame* frame) {
    EnsureDrawSpec();
    if (frame == nullptr) frame = GetCurrentFrame();
    if (frame == nullptr) return;
    TDrawSpec& spec = *mDrawSpec;
    spec.mOpacity = mComposed.alpha;
    spec.mBlendMode = mComposed.blend;
    spec.mColor = TVec4{mComposed.colors[0], mComposed.colors[1], mComposed.colors[2],
                        mComposed.colors[3]};
    spec.mSourceRect = TRect{frame->left, frame->top, frame->right, frame->bottom};
    const uint32_t flip = mComposed.flip;
    spec.mOffset = frame->GetRegCorner(static_cast<int32_t>(flip & 3u));
    spec.mFlags = TDrawSpec::kUseSourceRect | TDrawSpec::kUseOffset;
    if ((flip & kFlipVertical) != 0) spec.mFlags |= TDrawSpec::kFlipVertical;
    if ((flip & kFlipHorizontal) != 0) spec.mFlags |= TDrawSpec::kFlipHorizontal;
}

GVScene* GVObject::GetScene(size_t index) const {
    return index < mScenes.size() ? mScenes[index] : nullptr;
}

void GVObject::AttachToScene(GVScene* scene, bool recursive) {
    if (scene == nullptr) return;
    if (recursive && mChilds != nullptr)
        for (int32_t i = 0; i < mChilds->GetCount(); ++i)
            mChilds->GetAt(i)->AttachToScene(scene, true);
    if (std::find(mScenes.begin(), mScenes.end(), scene) != mScenes.end()) return;
    mScenes.push_back(scene);
    scene->AddObject(this);
}

void GVObject::DetachFromScene(GVScene* scene, bool recursive) {
    if (recursive && mChilds != nullptr)
        for (int32_t i = 0; i < mChilds->GetCount(); ++i)
            mChilds->GetAt(i)->DetachFromScene(scene, true);
    if (scene == nullptr) return;
    auto found = std::find(mScenes.begin(), mScenes.end(), scene);
    if (found == mScenes.end()) return;
    mScenes.erase(found);
    scene->RemoveObject(this);
}
