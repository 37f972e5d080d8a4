// GVScene: the set of visual objects one window shows, in depth order, and the view port they are
// seen through. Once a frame the host window calls Draw: the changed members are updated, then
// every member draws itself, lowest depth first, inside the renderer's 2-D bracket, moved by the
// view port's top-left. The scene also keeps the host window, with the modal window whose task
// list runs the members' timers (gvtaskhost.h).
//
// Depth order: ascending composed deltaZ, and an object inserted at a depth that others already
// have goes after them. Each entry stays keyed by the depth it was inserted with: when an object's
// depth changes, its update takes it out under the old depth and puts it back under the new one
// (Reinsert). A NaN depth sorts before every number, so no description can break the order.
//
// The scene does not own its objects. Objects join and leave only through
// GVObject::AttachToScene and DetachFromScene; the scene's destruction detaches every member.
// It owns its view port, 800 × 600 at (0, 0) when made. Main thread only.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "gv/gvviewport.h"

class GVObject;
class TModalWindow;
class TWindow;

class GVScene {
public:
    GVScene();
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

    GVViewPort& GetViewPort() { return *mViewPort; }

    // Updates every member whose blocks changed (GVObject::IsChanged), in depth order.
    void UpdateObjects();
    // Renders every member, lowest depth first, against the view port's rectangle.
    void RenderObjects(const GVViewPort& viewPort);
    // UpdateObjects, then RenderObjects inside the renderer's 2-D bracket. The bracket is closed
    // only when this call opened it: a window that already draws in 2-D keeps its own.
    void Draw();

private:
    struct DepthLess {
        bool operator()(float a, float b) const;
    };
    using DepthOrder = std::multimap<float, GVObject*, DepthLess>;

    // The entry of the object, looked for under depth first and then everywhere.
    DepthOrder::iterator FindEntry(GVObject* object, float depth);

    DepthOrder mDepthOrder;
    std::set<GVObject*> mMembers;
    std::unique_ptr<GVViewPort> mViewPort;
    // UpdateObjects' walk, kept to spare an allocation per frame.
    std::vector<GVObject*> mUpdateOrder;
    TModalWindow* mTaskHost = nullptr;
    TWindow* mWindow = nullptr;
};
