// GVObject: the drawable sprite object of the engine, a tree node with visual parameters (it is
// its own GVData block, kind 10: the runtime parameters game code writes), a description block,
// a texture set and a frame list, animation states, effects, a hit tester, named parameters,
// child objects and the scenes it belongs to. The texture set, frame list and hit tester are
// shared by shared pointer with the object's clones.
//
// Life: the factory (gvfactory.h) loads a description once into a template, clones it and
// activates the clone into a scene under a parent; Activate replaces the clone's children (the
// template's own, listed but not owned) by live clones, which the object owns from then on.
//
// Composition: Update folds the own block, the description block, the current state's block and
// the running effects into the composed block, builds the transform, and adds what the parent
// handed down (the inherited block). Children take the parent's composed block at the stage
// their link names (1 own, 2 with the description, 3 with state and effects; any other value:
// nothing) together with the parent's transform.
//
// Animation: the object plays one of its states (gvstate.h), one frame every defdelay × speed
// milliseconds, on a timer task (ontimercaller.h) registered with the task list of its first
// scene's host window, else with the application object's; at the end of the list it switches to
// the queued state or loops. A state without frames shows nothing (frame position −1): its steps
// only switch, once per step, to a queued state, so two such states naming each other take turns
// instead of recursing.
//
// Drawing (gvobjectdraw.cpp): a scene renders its members in depth order; an object with states,
// visible and showing a frame draws that frame's image through a copy of its draw record, moved
// by the view's top-left, unless it lies wholly outside the view (a turned object is always
// drawn) or a running effect vetoes it. Hit tests map a point back into the frame's pixels and ask
// the hit tester.
//
// Ownership: the object owns its states, its effects container, its draw cache and, once
// activated, its children (a template's child list only lists them). The task list owns the timer;
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
#include "gv/gvparams.h"
#include "gv/gvrect.h"
#include "gv/gvtexture.h"
#include "gv/keys/namemask.h"
#include "gv/anim/ontimercaller.h"
#include "math/mat3.h"
#include "math/vec2.h"

class GVChilds;
class GVHitTester;
class TDrawSpec;

class GVEffects;
class GVFrame;
class GVScene;
class GVState;
class GVStates;
class TModalWindow;

class GVObject : public GVData {
public:
    using Timer = TOnTimerCaller<GVObject, TModalWindow>;

    GVObject();
    GVObject(const GVObject&) = delete;
    GVObject& operator=(const GVObject&) = delete;
    ~GVObject() override;

    // The parent object (both).
    GVBase* GetOwner() override;
    GVBase* GetParent() override;

    // Reads the description: the blocks, "id", "params", "images" and "framelist" through the
    // factory, the hit tester, "objects" and "export", "effects", "states" (only with frames) and
    // "link". parent is the object or child list the object is loaded for; it is the object's
    // parent only while loading. True when the object has frames or children.
    bool Load(TXmlNode* node, GVBase* parent) override;
    // Writes the description: the block, "params", "id", the lists that can be saved (stale
    // elements of the others are removed) and "link" (empty text for 2). States and exported
    // children are never written.
    bool Save(TXmlNode* node) override;
    // Makes the target (an object) a clone: textures, frames and tester shared, a child list that
    // lists the same children without owning them, effects and states cloned, parameters copied;
    // then the target switches to this object's current state. Null when the target is no object.
    GVBase* CopyTo(GVBase* target) override;

    // Makes a loaded or cloned object live: joins the scene, takes the parent, binds its effects,
    // starts "normal" (startStates) or updates once, and replaces its children by live instances.
    bool Activate(GVScene* scene, GVObject* parent, bool startStates);
    // Recomposes the object (from its topmost changed ancestor) and the children it hands to.
    void Update();
    // Whether a block of the object, its current state's block or its parent's own block changed.
    bool IsChanged() const;
    // Leaves the old parent's children and joins the new parent's (when it has a child list).
    void SetParent(GVObject* parent);
    GVObject* GetParentObject() const { return mParent; }

    const str& GetName() const { return mName; }
    GVData& GetDescription() { return mDescription; }
    GVData& GetInherited() { return mInherited; }
    const TMat3& GetParentMatrix() const { return mParentMatrix; }
    int32_t GetLink() const { return mLink; }
    GVParams& GetParams() { return mParams; }
    const std::shared_ptr<GVHitTester>& GetHitTester() const { return mHitTester; }
    // The child list (null without children) and the child of that name (null without one).
    GVChilds* GetChilds() const { return mChilds; }
    int32_t GetChildCount() const;
    GVObject* GetChild(const str& name) const;

    // The draw record (null until first needed), the transform and the frame shown now.
    const TDrawSpec* GetDrawSpec() const { return mDrawSpec; }
    // The draw cache's matrix from the composed block: ((p - c)·R·s + c·s + d)·P. Without a draw
    // cache UpdateDrawSpec makes one, which builds it.
    void BuildMatrix();
    // The current state's frame at the frame position, or null (also for a frame number the
    // frame list does not have).
    const GVFrame* GetCurrentFrame() const;

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

    // The animation speed factor (1.0; larger is slower): periods are defdelay × speed. A factor
    // that is not finite parks the state timer (the frames stop) until a finite one re-arms it.
    void SetSpeed(float factor, bool recursive);
    float GetSpeed() const { return mSpeed; }

    // Draws the object against the view rectangle (its scene's view port): only with states,
    // visible and a current frame; skipped when its bounds miss the view and it is not turned.
    virtual void Render(const GVRect& view);
    // The image of the object's texture set that the frame names draws itself with the draw
    // spec; nothing for an image the set lacks.
    virtual void DrawFrame(TDrawSpec& spec, const GVFrame* frame);
    // The frame's (the current one when null) rectangle in view coordinates, rotation ignored;
    // (0, 0, 0, 0) without a frame. When all four values are equal and the object has children,
    // the first child's bounds instead.
    virtual void GetBounds(GVRect& bounds, const GVFrame* frame);
    // Refreshes the draw record for the frame (the current one when null): made when missing,
    // then alpha, blend and colour from the composed block, the frame's source rectangle, its
    // registration corner for the composed flip as origin, flags 12 plus the mirror bits.
    virtual void UpdateDrawSpec(const GVFrame* frame);

    // The point in the frame's pixels: the point plus the draw record's origin × scaling, through
    // the inverse of the transform. False, with local the point unchanged, when the transform has
    // no inverse (a scaling of 0 somewhere up the chain).
    bool ScreenToLocal(const TVec2& point, TVec2& local);
    // Whether the point hits a visible pixel of the current frame, as the hit tester judges it:
    // inside the frame's rectangle (its right and bottom edges outside), mirrored as the object
    // is, at a composed scaling above 0.
    bool HitTest(const TVec2& point);
    // The object under the point (moved by the offset when one is given): this object when it is
    // hit, else with depth above 0 the first child, in child order, that answers with depth − 1.
    GVObject* FindObjectAt(float x, float y, int32_t depth, const TVec2* offset);

    // The scene at that position of the object's scenes, or null past the end. Effects and the
    // timer use the first.
    GVScene* GetScene(size_t index) const;
    size_t GetSceneCount() const { return mScenes.size(); }
    // Joins the scene (once); null is ignored.
    void AttachToScene(GVScene* scene, bool recursive);
    // Leaves the scene when it is one of the object's.
    void DetachFromScene(GVScene* scene, bool recursive);

protected:
    // The draw record, made when missing (with the transform then built from the composed block).
    TDrawSpec* EnsureDrawSpec();
    // The transform from the composed block and the parent matrix, as BuildMatrix stores it.
    void ComposeMatrix(TMat3& out) const;

private:
    // The period of the state at the current speed, in whole milliseconds.
    uint32_t PeriodOf(const GVState& state) const;
    // Arms the timer with the state's period, or parks it while the speed is not finite.
    void ArmStateTimer(const GVState& state);
    // The update proper, on this object.
    void UpdateSelf();
    // Hands the composed block and the transform to the children of that link.
    void HandDown(int32_t link);
    // The hit tester of the description (see Load).
    void LoadHitTester(TXmlNode* node);
    // The children of "objects" and "export"; kept only when there is one.
    void LoadChildren(TXmlNode* node);
    void DeleteChildren();

    GVData mDescription;
    GVData mComposed;
    GVData mInherited;
    TMat3 mParentMatrix;
    int32_t mLink = 2;
    Timer* mTimer = nullptr;
    std::shared_ptr<GVFrames> mFrames;
    std::shared_ptr<GVTextures> mTextures;
    GVParams mParams;
    GVStates* mStates = nullptr;
    GVChilds* mChilds = nullptr;
    GVEffects* mEffects = nullptr;
    int32_t mFramePosition = -1;
    int32_t mCurrentState = -1;
    float mSpeed = 1.0f;
    str mName;
    std::shared_ptr<GVHitTester> mHitTester;
    TDrawSpec* mDrawSpec = nullptr;
    GVObject* mParent = nullptr;
    std::vector<GVScene*> mScenes;
};
