// GVWorldManager: the scene of the simulated world. It loads the level picture ("level1") and its
// landscape cells, makes one view for each object of the world, steps and deletes the views,
// keeps the walkability grid that says where creatures may go, answers which view lies under a
// point and where a creature stands to work on a location, and draws the scene with its debugging
// overlays. The play screen owns it, initialises it, refreshes it every view update and draws it;
// the world knows it as its view manager (GWorld::SetViews).
//
// World points are pixels of the world picture (2400 × 1800), x to the right and y downwards; the
// grid has 120 × 90 cells of 20 pixels. The cell of a point is its coordinates divided by the cell
// size and truncated towards zero (walk/gridpoints.h).
//
// Removal: a view removed while the views are refreshed (RefreshAll), after Clear until the next
// RefreshAll, or while a creature view tells its listeners of a state change, waits in the
// pending list and is deleted by the next RefreshAll; so no view is deleted under a call of its
// own. A removed location leaves the grid at once. Every view that follows a removed one is let
// go where it stands first.
//
// Ownership: the manager owns its views, the level sprite (the parent of every view's sprite) and
// the grid; the scene and the world are borrowed and outlive it. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/vec2.h"
#include "simulation/walk/layout.h"
#include "simulation/walk/walkgrid.h"

class GObject;
class GVObject;
class GVScene;
class GVWorldLocation;
class GVWorldObject;
class GWorld;

class GVWorldManager {
public:
    // Types PickObjectAt looks at (0: any), and how it hits a location.
    enum PickType { kPickAny = 0, kPickCreatures = 1, kPickLocations = 2 };
    enum PickMode { kPickFootprint = 0, kPickWorkArea = 1, kPickSprite = 2 };
    // The edit modes of the layout editing (0: none).
    enum EditMode {
        kEditNone = 0,
        kEditLevelCells = 1,
        kEditChooseLocation = 2,
        kEditLocationCells = 3,
        kEditMountPoints = 4,
        kEditWorkAreas = 5,
        kEditSpecialPoints = 6,
    };
    // The overlays drawn over the scene.
    enum Overlay { kOverlayPaths, kOverlayBounds, kOverlayHitRects };
    // The path overlay draws at most this many points of a path.
    static constexpr int kMaxOverlayPathPoints = 30;

    // While one lives, removals wait for the next RefreshAll (a creature view tells its listeners
    // under one). Null is allowed.
    class ListenerCall {
    public:
        explicit ListenerCall(GVWorldManager* manager);
        ~ListenerCall();
        ListenerCall(const ListenerCall&) = delete;
        ListenerCall& operator=(const ListenerCall&) = delete;

    private:
        GVWorldManager* mManager;
    };

    GVWorldManager(GVScene* scene, GWorld* world);
    virtual ~GVWorldManager();
    GVWorldManager(const GVWorldManager&) = delete;
    GVWorldManager& operator=(const GVWorldManager&) = delete;

    // Sizes the grid, points the sprite factory at "xml/", "anim/" and the scene, makes the level
    // sprite and reads the landscape cells ("xml/level1.layout"; none without the file). False
    // without world or scene, or when "level1" cannot be made.
    bool Init();

    GWorld* GetWorld() const { return mWorld; }
    GVScene* GetScene() const { return mScene; }
    GVObject* GetLevelSprite() const { return mLevelSprite; }
    const std::vector<GVWorldObject*>& GetViews() const { return mViews; }

    // A new view of the description: a creature view for kinds 1 (creature), 3 (monster) and 4
    // (grave), a location view with the cached layout of the name for kind 2, with the world's
    // speed factor; appended to the views. Null when the description cannot be made or for
    // another kind.
    GVWorldObject* CreateVisual(const str& name, int kind);
    // CreateVisual with the object's description name and kind; null for no object.
    GVWorldObject* CreateVisualFor(const GObject* object);
    // Deletes the view (or marks it for the next flush, see above). Nothing for null or for a
    // view that is not one of the manager's.
    void RemoveVisual(GVWorldObject* view);
    // Refreshes every view in list order, views made during the pass included, then deletes the
    // views removed meanwhile.
    void RefreshAll();
    // Deletes every view and opens the grid; removals wait for the next RefreshAll from here on.
    void Clear();
    // Gives every view the world speed factor (0 while the game is paused).
    void SetAnimationSpeed(float factor);

    // The grid again: the landscape cells, then the cells of every location's current level,
    // later writes over earlier ones.
    void RebuildWalkability();
    const GVWalkGrid& GetGrid() const { return *mGrid; }
    float GetCellSize() const { return mCellSize; }
    float GetWorldWidth() const { return mWorldWidth; }
    float GetWorldHeight() const { return mWorldHeight; }
    // False for a point outside the grid, else whether its cell is not blocked (255).
    bool IsWalkable(float x, float y) const;
    // The centre of the nearest open cell on the way from the point towards the grid's middle.
    TVec2 SnapToFreePoint(float x, float y);
    // The waypoints of a walk from the creature's position to the target (walk/gridpoints.h).
    void FindPath(const GVWorldObject* creature, const TVec2& target, std::vector<TVec2>& path,
                  float progress);
    // The landscape cells, as read and edited.
    const std::vector<GVLayoutCell>& GetLevelCells() const { return mLevelCells; }

    // The view under the point, skip left out: with type 0 or 1 the creatures first (the first
    // untagged one wins, else the last tagged one); then, with type 0 or 2, the other views in
    // list order, locations hit by mode (footprint, work area or sprite), others by sprite.
    GVWorldObject* PickObjectAt(const TVec2& point, const GVWorldObject* skip, int type, int mode);
    // Where a creature stands to work on the target: a location's mount point (after a special
    // approach cell with special) nearest to from, or a random one without from; the target's
    // position when it is no location or its level has no record.
    TVec2 GetApproachPoint(const GVWorldObject* target, const TVec2* from, bool special);
    // Whether the point, relative to the view, lies in a work area cell of a location view.
    bool IsInWorkArea(const GVWorldObject* view, const TVec2& point) const;

    // Draws the scene, then the overlays that are on. origin is the world point at the top-left
    // of the play area.
    void Draw(const TVec2& origin);
    void SetOverlay(Overlay overlay, bool on);
    bool IsOverlayOn(Overlay overlay) const;

    // Layout editing, in memory only. EditAt does what the edit mode asks with the point: add
    // (255 or true) or remove (0 or false).
    void SetEditMode(int mode) { mEditMode = mode; }
    int GetEditMode() const { return mEditMode; }
    void EditAt(const TVec2& point, bool add);
    GVWorldLocation* GetEditedLocation() const { return mEditedLocation; }
    void SetEditedLocation(GVWorldLocation* location) { mEditedLocation = location; }
    // These five need an edited location with a record for its level. EditWalkCell sets (or with
    // 0 erases) the landscape cell of the point; EditLayoutMode3 the location's walkability cell
    // relative to it (appended only with 1 or more); both rebuild the grid. Modes 4, 5 and 6 add
    // the relative cell to (or take it from) the mount points, work areas and special cells.
    void EditWalkCell(float x, float y, int value);
    void EditLayoutMode3(float x, float y, int value);
    void EditLayoutMode4(float x, float y, bool add);
    void EditLayoutMode5(float x, float y, bool add);
    void EditLayoutMode6(float x, float y, bool add);

private:
    bool IsPending(const GVWorldObject* view) const;
    bool IsListed(const GVWorldObject* view) const;
    // Lets go the followers of the view and forgets it as edited location and held visual.
    void ForgetReferencesTo(const GVWorldObject* view);
    // Deletes the pending views (unless a listener call is under way).
    void FlushRemovals();
    // The point's cell less the view's cell; false when either has no cell or the difference is
    // no 32-bit cell.
    bool RelativeCell(const TVec2& point, const GVWorldObject* view, int32_t& column,
                      int32_t& row) const;
    // The edited location's record for its level, and the point's cell relative to it; null
    // without them.
    GVLayoutLevel* EditedRecord(float x, float y, int32_t& column, int32_t& row);
    void EditPointList(float x, float y, bool add, std::vector<TVec2> GVLayoutLevel::*list);
    // The overlays (worldmanagerdraw.cpp).
    void DrawPaths(const TVec2& origin);
    void DrawBounds(const TVec2& origin);
    void DrawHitRects(const TVec2& origin);

    GWorld* mWorld;
    GVScene* mScene;
    GVObject* mLevelSprite = nullptr;
    std::vector<GVWorldObject*> mViews;
    std::vector<GVWorldObject*> mPendingRemovals;
    bool mRefreshing = false;
    // Listener calls under way (ListenerCall).
    int mListenerCalls = 0;
    float mWorldWidth = 2400.0f;
    float mWorldHeight = 1800.0f;
    std::vector<GVLayoutCell> mLevelCells;
    std::unique_ptr<GVWalkGrid> mGrid;
    float mCellSize = 20.0f;
    GVWorldLocation* mEditedLocation = nullptr;
    bool mPathsOverlay = false;
    bool mBoundsOverlay = false;
    bool mHitRectsOverlay = false;
    int mEditMode = kEditNone;
};
