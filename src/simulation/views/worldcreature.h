// GVWorldCreature: the view of every figure of the world: the player's creatures, the monsters,
// the graves and the movers that carry the ark parts. It turns the world's orders into animation:
// it keeps an activity state ("stay", "walk", "work", ...) and a facing ("NE", "NW", "SW", "SE")
// and shows their joined key ("walk_NE") on the sprite, walks along a path of waypoints at its
// own speed or is carried along by another view, plays idle variations (head turns) on a random
// timer, shows or hides the sprite's parts (body and head variants, the carried item, the forage
// load, the disease mark, the hint icon), answers hit tests with its own rectangle and tells its
// listeners of every change of its activity.
//
// Keys are applied to the sprite and all its children (GVObject::SetStateRecursive); an object
// without a state of that key keeps its own. The activity changes only through SetState (and
// StopMoving, Follow, GoTo, SetPath, which call it); SetDirection and the idle variations change
// only what is shown. Moving has three modes: carried (a followed view is set), walking (two
// path points or more) and standing.
//
// Idle variations draw from one generator shared by all creature views, with two shared
// toggles (ResetIdleVariations puts all three back, for tests).
//
// The followed view is borrowed: the manager lets go a view's followers before it deletes it.
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/str.h"
#include "gv/keys/namemask.h"
#include "math/vec2.h"
#include "simulation/views/worldobject.h"

class GVWorldCreature : public GVWorldObject {
public:
    // Shows the forage load of none; applies no state (the sprite keeps its first until SetState).
    GVWorldCreature(GVWorldManager* manager, GVObject* sprite);
    ~GVWorldCreature() override;

    static GVViewClass ClassId() { return GVViewClass::kCreature; }
    const char* GetClassName() const override { return "GVWorldCreature"; }
    bool IsKindOf(GVViewClass viewClass) const override {
        return viewClass == ClassId() || GVWorldObject::IsKindOf(viewClass);
    }
    // Copies the speed, the idle base and range and the hit rectangle; the idle timer and
    // threshold stay.
    void Configure(const GVViewConfig* config) override;
    // Whether the point lies strictly inside the hit rectangle; records whether it is empty.
    bool HitTest(const TVec2& point) override;
    // Whether any value of the rectangle was 0 at the last HitTest.
    bool IsHitRectEmpty() const override { return mHitRectEmpty; }
    // Carried, walking, then the idle variations (see the .cpp).
    void Refresh() override;
    int GetType() const override { return kCreatureView; }
    // The walking speed.
    float GetVisibilityValue() const override { return mSpeed; }

    // Pixels per view update at world factor 1. A speed that is not a positive finite number is
    // taken as 1.0 (logged once per view): every walk must end and take a finite time.
    void SetSpeed(float speed);
    float GetSpeed() const { return mSpeed; }
    // "ArkMover" for the ark part movers, "Grave" for graves; empty for creatures and monsters.
    void SetTag(const str& tag) { mTag = tag; }
    str GetTag() const { return mTag; }
    bool HasTag() const { return mTag.Length() != 0; }
    // The look the world chose by mode number (0 the plain look); the world shows its parts.
    void SetVariant(int mode) { mVariant = mode; }
    int GetVariant() const { return mVariant; }

    // The activity: a change is shown (joined with the facing for "walk" and "stay"; "failed"
    // faces "SW" and shows "stay_SW"; "work" becomes "workM" facing west; the left-hand work
    // effects turn to the right-hand ones facing east) and told to the listeners; leaving "walk"
    // ends the walk. The same key again does nothing at all.
    void SetState(GNameMask key);
    GNameMask GetState() const { return mState; }
    GNameMask GetDirection() const { return mDirection; }
    // Faces where the vector points; a new facing shows the state joined with it.
    void SetDirection(const TVec2& vector);
    // "NE" for right (and the zero vector), "NW" for up, "SW" for left, "SE" for down, by quarter
    // turns counter-clockwise from the right.
    static GNameMask DirectionFromVector(const TVec2& vector);
    // Faces along the first segment of the path, when there is one.
    void UpdateDirectionFromPath();
    // Gives the other view the facing of this view's first segment, when there is one.
    void CopyDirectionTo(GVWorldCreature* other) const;
    // Faces the target's position; nothing for no target.
    void TurnTo(const GVWorldObject* target);

    // Walks to the target along the grid's path, progress being the part of the walk already
    // done; with progress exactly 1.0 the view is put on the target at once. No path (a target in
    // the view's own cell, outside the grid): the view stays where it is, in "stay".
    void GoTo(const TVec2& target, float progress);
    // GoTo the manager's approach point of the target seen from this view's position; nothing
    // for no target. special asks for the target's special approach cells too.
    void GoToObject(GVWorldObject* target, float progress, bool special);
    // The same with an approach point chosen at random.
    void GoToObjectAnywhere(GVWorldObject* target, float progress, bool special);
    // Puts the view at once at the target's approach point (useTarget) or on the nearest open
    // cell from where it stands.
    void PlaceAt(GVWorldObject* target, bool useTarget, bool special);
    // Walks the points in order from the current position; nothing for none.
    void SetPath(const std::vector<TVec2>& points);
    // Is carried at offset from the view's position ("walk"); no view stops the carrying.
    void Follow(GVWorldObject* view, const TVec2& offset);
    GVWorldObject* GetFollowed() const { return mFollowed; }
    // Ends the walk: the path goes, the state becomes "stay". A followed view stays followed
    // (Follow with none lets it go).
    void StopMoving();
    // The path's last point while walking, else the position.
    TVec2 GetDestination() const;
    // View updates a walk to the point takes at world factor 1: distance / speed.
    float TicksTo(float x, float y) const;
    float TicksToObject(const GVWorldObject* view) const;
    // The waypoints: the start of the segment being walked first, the destination last.
    const std::vector<TVec2>& GetPath() const { return mPath; }

    // Parts of the sprite: its direct children of these names are shown or hidden; a missing
    // child is skipped.
    // "body", "body2" ... "body9", "body0": only the one of the index (0 to 9) shows; another
    // index changes nothing.
    void ShowBody(int index);
    // "head", "head2" ... "head9", "head0" the same way.
    void ShowHead(int index);
    // The carried item (1 to 14; 0 or another number hides them all). special shows the special
    // shovel, hammer and tomahawk; a nail shows its hammer too. The world calls SetItem.
    void ShowCarriedItem(int item, bool special);
    virtual void SetItem(int item, bool special) { ShowCarriedItem(item, special); }
    // "smallberries", "roots", "yayaflowers".
    void ShowForageLoad(bool smallberries, bool roots, bool yayaflowers);
    // The child "disease" shows "None", "Sneezies", "Tumrot", "Kopox", "Fever" or "Ebolio" (0 to
    // 5); another index changes nothing (the number comes from saved worlds).
    void SetDiseaseMark(int index);
    // The child "icon" shows "icon_null", "icon_lb", "icon_lbn" or "icon_qm" (0 to 3); another
    // index changes nothing.
    void SetIcon(int index);

    const GVHitRect& GetHitRect() const { return mHitRect; }

    // Seeds the shared generator of the idle variations and clears both shared toggles.
    static void ResetIdleVariations(uint32_t seed);

private:
    // Shows the key on the sprite and its children.
    void Apply(GNameMask key);
    void SetChildVisible(const char* name, bool visible);
    // Switches the named child and its children to the key.
    void SetChildState(const char* name, GNameMask key);
    // One update of walking along the path.
    void Walk();
    // One update of the idle timer, with its variation when due.
    void UpdateIdle();
    void StoreSpeed(float speed);

    std::vector<TVec2> mPath;
    float mTravelled = 0.0f;
    float mSpeed = 1.0f;
    GVWorldObject* mFollowed = nullptr;
    TVec2 mFollowOffset;
    GNameMask mState;
    GNameMask mDirection;
    float mIdleTimer = 0.0f;
    uint32_t mIdleThreshold = 75;
    uint32_t mIdleBase = 75;
    uint32_t mIdleRange = 25;
    uint32_t mHeadTurns = 0;
    GVHitRect mHitRect;
    bool mHitRectEmpty = false;
    str mTag;
    int mVariant = 0;
    bool mSpeedLogged = false;
};
