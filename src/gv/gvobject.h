// GVObject: the drawable sprite object of the engine, a tree node with visual parameters (it is
// its own GVData block, kind 10), a texture set and a frame list, animation states, effects and
// the scenes it belongs to. The texture set and frame list are shared by shared pointer with the
// object's clones.
//
// Animation: the object plays one of its states (gvstate.h), one frame every defdelay × speed
// milliseconds, on a timer task (ontimercaller.h) registered with the task list of its first
// scene's host window, else with the application object's; at the end of the list it switches to
// the queued state or loops. A state without frames shows nothing (frame position −1): its steps
// only switch, once per step, to a queued state, so two such states naming each other take turns
// instead of recursing.
//
// Ownership: the object owns its states and its effects container. The task list owns the timer;
// the object and its timer unlink each other whichever goes first, and the object's destruction
// lets the list end the timer on its next turn. The scenes are not owned: the object leaves them
// when it dies, and a scene that dies first detaches its members.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gv/gvdata.h"
#include "gv/gvframe.h"
#include "gv/gvtexture.h"
#include "gv/namemask.h"
#include "gv/ontimercaller.h"

class GVEffects;
class GVFrame;
class GVScene;
class GVState;
class GVStates;
class TModalWindow;

class GVObject : public GVData {
public:
    using Timer = TOnTimerCaller<GVObject, TModalWindow>;

    GVObject() : GVData(kObject), mComposed(kData) {}
    GVObject(const GVObject&) = delete;
    GVObject& operator=(const GVObject&) = delete;
    ~GVObject() override;

    const std::shared_ptr<GVTextures>& GetTextures() const { return mTextures; }
    void SetTextures(std::shared_ptr<GVTextures> textures) { mTextures = std::move(textures); }
    const std::shared_ptr<GVFrames>& GetFrames() const { return mFrames; }
    void SetFrames(std::shared_ptr<GVFrames> frames) { mFrames = std::move(frames); }

    // The states and effects, owned from here on (null deletes them).
    GVStates* GetStates() const { return mStates; }
    void SetStates(GVStates* states);
    GVEffects* GetEffects() const { return mEffects; }
    void SetEffects(GVEffects* effects);

    // The result of composing the object's blocks; drawing, depth order and hit tests use it.
    GVData& GetComposed() { return mComposed; }
    const GVData& GetComposed() const { return mComposed; }

    // Switches to the state of the key ("any" when no state has it; without "any" nothing changes
    // and the answer is 0). With apply the state plays now: the old state's own effects stop, the
    // new ones start, its next state is queued and its list starts at position 0 (at the current
    // position with keepFrame). Without apply the key is only queued: the current list plays to
    // its end first. The answer is the state's defdelay × its number of frames.
    int32_t SetState(GNameMask key, bool apply, bool keepFrame);
    // SetState on the object and its children; the largest non-zero answer.
    int32_t SetStateRecursive(GNameMask key, bool apply, bool keepFrame);
    // The current state's key; 0 without one.
    GNameMask GetStateId() const;
    GVState* GetCurrentState() const;
    int32_t GetStateIndex() const { return mCurrentState; }
    int32_t GetFramePosition() const { return mFramePosition; }

    // Moves to a position of the current state's list; past its end the state ends.
    void SetFrame(int32_t position);
    // The end of the current list: the queued state, else the list again from position 0.
    void OnStateEnd();
    // The timer's step: the next frame. True.
    bool OnTimer(TCustomOnTimerCaller* timer);
    // Arms the timer (made when needed and possible) with the period, repeating, from now.
    void RestartTimer(uint32_t period);
    // Whether the object has a timer now. One is made only in a scene, with states, and when there
    // is something to animate: a queued state, a current list of two frames or more, or a running
    // effect. A new timer is unarmed until RestartTimer.
    bool EnsureTimer();
    TCustomOnTimerCaller* GetTimer() const { return mTimer; }
    void ForgetTimer(TCustomOnTimerCaller* timer);

    // The animation speed factor (1.0; larger is slower): periods are defdelay × speed.
    void SetSpeed(float factor, bool recursive);
    float GetSpeed() const { return mSpeed; }

    // Refreshes the draw record for the frame (the current one when null). Nothing yet: drawing
    // comes with the scene's drawing.
    virtual void UpdateDrawSpec(const GVFrame* frame);

    // The scene at that position of the object's scenes, or null past the end. Effects and the
    // timer use the first.
    GVScene* GetScene(size_t index) const;
    size_t GetSceneCount() const { return mScenes.size(); }
    // Joins the scene (once); null is ignored.
    void AttachToScene(GVScene* scene, bool recursive);
    // Leaves the scene when it is one of the object's.
    void DetachFromScene(GVScene* scene, bool recursive);

private:
    // The period of the state at the current speed, in whole milliseconds.
    uint32_t PeriodOf(const GVState& state) const;

    GVData mComposed;
    Timer* mTimer = nullptr;
    std::shared_ptr<GVFrames> mFrames;
    std::shared_ptr<GVTextures> mTextures;
    GVStates* mStates = nullptr;
    GVEffects* mEffects = nullptr;
    int32_t mFramePosition = -1;
    int32_t mCurrentState = -1;
    float mSpeed = 1.0f;
    std::vector<GVScene*> mScenes;
};
