#include "gv/gvobject.h"

#include <algorithm>

#include "gv/attributes.h"
#include "gv/gveffects.h"
#include "gv/gvscene.h"
#include "gv/gvstate.h"
#include "gv/gvtaskhost.h"
#include "gv/statekeys.h"

GVObject::~GVObject() {
    // Leaving a scene edits the vector: walk a copy.
    const std::vector<GVScene*> scenes = mScenes;
    for (GVScene* scene : scenes)
        DetachFromScene(scene, false);
    // The running lists point into the states' effects: the object's container goes first.
    delete mEffects;
    mEffects = nullptr;
    delete mStates;
    mStates = nullptr;
    if (mTimer != nullptr) mTimer->Detach();
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
        RestartTimer(PeriodOf(*state));
        SetFrame(keepFrame && mFramePosition >= 0 ? mFramePosition : 0);
        mComposed.changed = 1;
    } else {
        mStates->queued = key;
        // A timer made now must also run, or the queued state would never play.
        if (mTimer == nullptr && EnsureTimer()) {
            if (const GVState* current = GetCurrentState()) RestartTimer(PeriodOf(*current));
        }
    }
    return SaturateToInt(static_cast<int64_t>(state->defdelay) * state->GetFrameCount());
}

int32_t GVObject::SetStateRecursive(GNameMask key, bool apply, bool keepFrame) {
    // The children join the walk with the object tree.
    return SetState(key, apply, keepFrame);
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
    (void)recursive;  // the children join the walk with the object tree
    mSpeed = factor;
    if (const GVState* state = GetCurrentState()) RestartTimer(PeriodOf(*state));
}

void GVObject::UpdateDrawSpec(const GVFrame* frame) {
    (void)frame;
}

GVScene* GVObject::GetScene(size_t index) const {
    return index < mScenes.size() ? mScenes[index] : nullptr;
}

void GVObject::AttachToScene(GVScene* scene, bool recursive) {
    (void)recursive;  // the children join with the object tree
    if (scene == nullptr) return;
    if (std::find(mScenes.begin(), mScenes.end(), scene) != mScenes.end()) return;
    mScenes.push_back(scene);
    scene->AddObject(this);
}

void GVObject::DetachFromScene(GVScene* scene, bool recursive) {
    (void)recursive;
    if (scene == nullptr) return;
    auto found = std::find(mScenes.begin(), mScenes.end(), scene);
    if (found == mScenes.end()) return;
    mScenes.erase(found);
    scene->RemoveObject(this);
}
