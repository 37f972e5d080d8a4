// GVScene: the set of visual objects one window shows, in depth order. This is the part the
// objects' timers need: the members, their depth order, and the host window with the modal window
// whose task list runs their timers (gvtaskhost.h). The view port, updating and drawing come later.
//
// Depth order: ascending composed deltaZ, and an object inserted at a depth that others already
// have goes after them. Each entry stays keyed by the depth it was inserted with: when an object's
// depth changes, its update takes it out under the old depth and puts it back under the new one
// (Reinsert). A NaN depth sorts before every number, so no description can break the order.
//
// The scene does not own its objects. Objects join and leave only through
// GVObject::AttachToScene and DetachFromScene; the scene's destruction detaches every member.
// Main thread only.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <vector>

class GVObject;
class TModalWindow;
class TWindow;

class GVScene {
public:
    GVScene() = default;
    GVScene(const GVScene&) = delete;
    GVScene& operator=(const GVScene&) = delete;
    ~GVScene();

    // Keeps the window (not owned) and, through the window hook, its modal parent as task host;
    // null clears both.
    void SetWindow(TWindow* window);
    TWindow* GetWindow() const { return mWindow; }
    TModalWindow* GetTaskHost() const { return mTaskHost; }

    // Inserts the object at its composed depth and into the member set. Called by
    // GVObject::AttachToScene.
    void AddObject(GVObject* object);
    // Takes the object out of the depth order and the member set; the number of members removed
    // (0 or 1). Called by GVObject::DetachFromScene.
    size_t RemoveObject(GVObject* object);
    // Moves a member whose depth changed from oldDepth to its composed depth now, after every
    // entry already there.
    void Reinsert(GVObject* object, float oldDepth);

    bool HasObject(GVObject* object) const { return mMembers.count(object) != 0; }
    size_t GetObjectCount() const { return mMembers.size(); }
    // The members, lowest depth first.
    std::vector<GVObject*> GetDepthOrder() const;

private:
    struct DepthLess {
        bool operator()(float a, float b) const;
    };
    using DepthOrder = std::multimap<float, GVObject*, DepthLess>;

    // The entry of the object, looked for under depth first and then everywhere.
    DepthOrder::iterator FindEntry(GVObject* object, float depth);

    DepthOrder mDepthOrder;
    std::set<GVObject*> mMembers;
    TModalWindow* mTaskHost = nullptr;
    TWindow* mWindow = nullptr;
};
