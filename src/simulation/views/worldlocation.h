// GVWorldLocation: the view of a location of the world (a building, a well, a field, a store).
// Its picture follows two numbers the world gives it: how far it is built (its level, 0 to 1)
// and how full it is (its capacity). The level also picks the record of the location's layout
// (walk/layout.h) that applies: the cells it covers, where creatures work on it and where they
// stand to work. The sprite shows the state "level<i>_capacity<j>"; every change of either number
// has the manager rebuild the walkability grid, since the footprint may change with the level.
//
// Layout cells are offsets from the location's own cell, the cell of its position. The layout is
// the layout cache's (never freed here); the manager always gives one, the cache's empty layout
// for a location without a file. Main thread only.
#pragma once

#include <cstdint>

#include "gv/keys/namemask.h"
#include "simulation/views/worldobject.h"

struct GVLayoutLevel;

class GVWorldLocation : public GVWorldObject {
public:
    // Shows "level0_capacity0". layoutName is the name the layout was fetched under.
    GVWorldLocation(GVWorldManager* manager, GVObject* sprite, GVLayout* layout,
                    const str& layoutName = str());

    static GVViewClass ClassId() { return GVViewClass::kLocation; }
    const char* GetClassName() const override { return "GVWorldLocation"; }
    bool IsKindOf(GVViewClass viewClass) const override {
        return viewClass == ClassId() || GVWorldObject::IsKindOf(viewClass);
    }
    int GetType() const override { return kLocationView; }
    // The build level.
    float GetVisibilityValue() const override { return mLevelFraction; }

    // The build level, kept within 0 and 1 (not a number counts as 0). With a layout it picks
    // the level record trunc(level × (pictures − 1) + 0.01) and its picture "level<i>".
    void SetLevel(float fraction);
    // The stock against its maximum: the nearest of the capacity pictures, never the empty one
    // for a positive amount when there are two or more.
    void SetCapacity(float amount, float maximum);
    // Shows the level picture joined with the capacity picture, then has the grid rebuilt.
    // Nothing without a sprite.
    void UpdateImage();

    // What the world calls them: the level it saves ("UpgradeLevel") and its stock display.
    float GetBuildLevel() const { return mLevelFraction; }
    void SetBuildLevel(float level) { SetLevel(level); }
    virtual void ShowStock(float quantity, float maximum) { SetCapacity(quantity, maximum); }

    // The current level's record of the layout; null without layout or record.
    const GVLayoutLevel* GetLevelRecord() const;
    GVLayoutLevel* GetLevelRecord();
    uint32_t GetLevelIndex() const { return mLevelIndex; }
    GNameMask GetLevelKey() const { return mLevelKey; }
    GNameMask GetCapacityKey() const { return mCapacityKey; }

    // Whether the current level's walkability cells hold the cell (relative to the location's
    // cell), whatever its value.
    bool IsInFootprint(int32_t column, int32_t row) const;
    // Whether the current level's work areas hold the cell.
    bool IsInWorkArea(int32_t column, int32_t row) const;

private:
    GNameMask mLevelKey;
    GNameMask mCapacityKey;
    float mLevelFraction = 0.0f;
    uint32_t mLevelIndex = 0;
};
