// GVWorldObject: the view of one object of the world, its drawable side. A view owns one sprite
// (a GVObject the sprite factory made from the object's description): it places the sprite in the
// world, gives it its drawing depth, scales the speed of its animations by the world's factor and
// its own, answers hit tests on it and keeps the listeners its subclasses tell of their changes.
// GVWorldCreature (worldcreature.h) is the view of creatures, monsters and graves,
// GVWorldLocation (worldlocation.h) the view of locations.
//
// Position: the sprite's own deltaX and deltaY are the view's position and deltaZ its depth; the
// view keeps no copy. Without a sprite (the model's test doubles) every operation on it does
// nothing and the position reads (0, 0).
//
// Ownership: the world view manager (worldmanager.h) makes, steps and deletes views; the world's
// objects only borrow theirs. The view owns its sprite; the manager, the layout (the layout
// cache's) and the listeners are borrowed. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/str.h"
#include "math/vec2.h"

class GVLayout;
class GVObject;
class GVWorldManager;
class GVWorldObjectListener;

// The view classes IsKindOf answers for (a creature view is also a plain one).
enum class GVViewClass { kObject, kCreature, kLocation };

// A creature's hit rectangle: the anchor's offsets from its position, and its size, in pixels.
struct GVHitRect {
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// What Configure takes, filled by the world from the object's definition: the walking speed, the
// timing of the idle variations and the hit rectangle.
struct GVViewConfig {
    float speed = 1.0f;
    uint32_t idleBase = 75;
    uint32_t idleRange = 25;
    GVHitRect hitRect;
};

class GVWorldObject {
public:
    // GetType's answers.
    enum { kPlainView = 0, kCreatureView = 1, kLocationView = 2 };
    // The depth of the creature the player carries: in front of everything the formula gives.
    static constexpr float kHeldDepth = 32000.0f;

    // Keeps the three pointers (the sprite is owned from here on) and gives the sprite the speed
    // of both factors at 1.0.
    GVWorldObject(GVWorldManager* manager, GVObject* sprite, GVLayout* layout);
    // Deletes the sprite.
    virtual ~GVWorldObject();
    GVWorldObject(const GVWorldObject&) = delete;
    GVWorldObject& operator=(const GVWorldObject&) = delete;

    static GVViewClass ClassId() { return GVViewClass::kObject; }
    virtual const char* GetClassName() const { return "GVWorldObject"; }
    // Whether the view is of that class or has it as a base.
    virtual bool IsKindOf(GVViewClass viewClass) const { return viewClass == ClassId(); }
    // Takes the object's settings; a null record is ignored. Plain views take nothing.
    virtual void Configure(const GVViewConfig* config) { (void)config; }
    // Whether the view's own hit rectangle takes the world point; plain views have none.
    virtual bool HitTest(const TVec2& point) {
        (void)point;
        return false;
    }
    virtual bool IsHitRectEmpty() const { return false; }
    // The step of one view update; plain views do nothing.
    virtual void Refresh() {}
    virtual int GetType() const { return kPlainView; }
    // Gives the sprite and all its children the speed 1 / (own factor × world factor).
    virtual void ApplyAnimationSpeed();
    // The value the world compares with 0 and 1: a location's build level, a creature's walking
    // speed; 0 for a plain view.
    virtual float GetVisibilityValue() const { return 0.0f; }

    GVObject* GetSprite() const { return mSprite; }
    GVWorldManager* GetManager() const { return mManager; }
    GVLayout* GetLayout() const { return mLayout; }
    // The name the layout was fetched under from the layout cache; empty for creature views.
    const str& GetLayoutName() const { return mLayoutName; }

    float GetX() const;
    float GetY() const;
    TVec2 GetPosition() const { return TVec2(GetX(), GetY()); }
    // Moves the sprite and gives it the depth x × 0.004 + y × 10 (kHeldDepth while the view is
    // the world's held visual), so that lower views are drawn in front.
    void SetPosition(float x, float y);
    void SetPosition(const TVec2& point) { SetPosition(point.x, point.y); }
    // Moves the sprite with exactly the depth given.
    void SetPositionXYZ(const TVec2& point, float depth);
    // The straight-line distance between the two positions; 0 for no view.
    float DistanceTo(const GVWorldObject* other) const;

    void SetOwnSpeedFactor(float factor);
    void SetWorldSpeedFactor(float factor);
    float GetOwnSpeedFactor() const { return mOwnSpeedFactor; }
    float GetWorldSpeedFactor() const { return mWorldSpeedFactor; }

    // Whether the sprite or any object below it takes the world point in its own hit test.
    bool HitTestSprite(const TVec2& point) const;

    // Appends the listener (also when it is there already); null is ignored. Never removed.
    void AddListener(GVWorldObjectListener* listener);

protected:
    const std::vector<GVWorldObjectListener*>& GetListeners() const { return mListeners; }
    void SetLayoutName(const str& name) { mLayoutName = name; }

private:
    GVLayout* mLayout;
    GVWorldManager* mManager;
    GVObject* mSprite;
    std::vector<GVWorldObjectListener*> mListeners;
    float mWorldSpeedFactor = 1.0f;
    float mOwnSpeedFactor = 1.0f;
    str mLayoutName;
};
