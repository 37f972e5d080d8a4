// GVWorldObject: the view of a world object, as the world's model sees it. The world views
// (creature, location and plain views, owned by the view manager) implement it; a world object
// only borrows its view. So far: the kind of view, its class, and its position in world units.
// Main thread only.
#pragma once

// The view classes IsKindOf answers for.
enum class GVViewClass { kObject, kCreature, kLocation };

class GVWorldObject {
public:
    // GetType's answers.
    enum { kPlainView = 0, kCreatureView = 1, kLocationView = 2 };

    virtual ~GVWorldObject() = default;

    virtual int GetType() const = 0;
    // Whether the view is of that class (a creature view is also a plain one).
    virtual bool IsKindOf(GVViewClass viewClass) const { return viewClass == GVViewClass::kObject; }

    float GetX() const { return mX; }
    float GetY() const { return mY; }
    // Places the view at once.
    virtual void SetPosition(float x, float y) {
        mX = x;
        mY = y;
    }

protected:
    GVWorldObject() = default;

private:
    float mX = 0.0f;
    float mY = 0.0f;
};
