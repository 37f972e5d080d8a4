// GVWorldObject: the view of a world object, as the world's model sees it. The world views
// (creature, location and plain views, owned by the view manager) implement it; a world object
// only borrows its view. So far: the kind of view and its position in world units.
// Main thread only.
#pragma once

class GVWorldObject {
public:
    // GetType's answers.
    enum { kPlainView = 0, kCreatureView = 1, kLocationView = 2 };

    virtual ~GVWorldObject() = default;

    virtual int GetType() const = 0;

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
