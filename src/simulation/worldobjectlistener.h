// GVWorldObjectListener: how a world object's view (worldobject.h) reports that one of its
// animations reached a marked point or ended; event is the key of that point. World objects and
// the world itself listen. Main thread only.
#pragma once

class GNameMask;
class GVWorldObject;

class GVWorldObjectListener {
public:
    virtual ~GVWorldObjectListener() = default;

    virtual void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) = 0;
};
