// GLocation: a place of the landscape that creatures build, upgrade, stock and use (kind 2). Its
// block (locationdata.h) holds the resource records; the world's rules and the creatures read and
// change a location only through the queries below. Each query walks the records in list order;
// "the first record of a type" is the first in that order. Sums over records are taken in 64 bits
// and clamped to the 32-bit range (a saved world may hold any numbers).
//
// A location ends its part in a task by clearing its current task; it does nothing on progress or
// on its view's events. Whenever its stock changes, a location view (worldlocation.h) is shown the
// records' quantities and maximums. Its saved element adds "UpgradeLevel", the view's build level,
// when the view is a location view. Main thread only.
#pragma once

#include <memory>

#include "simulation/data/locationdata.h"
#include "simulation/object.h"

class GVWorldLocation;

class GLocation : public GObject {
public:
    GLocation();
    ~GLocation() override;

    GLocationData* GetLocationData() const { return static_cast<GLocationData*>(GetData()); }

    void OnTaskCancelled(GTaskData* taskData) override;
    void OnTaskCompleted(GTaskData* taskData) override;
    void OnTaskProgress(GTaskData* taskData, float progress) override;
    void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) override;

    // A location holds a location block; any other block is refused and freed.
    void SetData(std::unique_ptr<GObjectData> data) override;
    void Load(TXmlNode* node, LoadIdRegistry& ids) override;
    void Save(TXmlNode* node, SaveIdRegistry& ids) const override;

    // Summed over the records of the type; 0 without a block or a record.
    int GetResourceQuantity(int type) const;
    int GetMaxQuantity(int type) const;
    bool HasResourceType(int type) const;
    // Of the first record of the type; 0 without one.
    int GetRequiredEvent(int type) const;
    // The first record of the type takes the quantity as it is.
    void SetQuantity(int type, int quantity);
    // The first record of the type: a new maximum (the quantity lowered to it) and a new growth
    // step unless addition is negative.
    void SetCapacity(int type, int maxQuantity, int addition);
    // Every record grows by addition x factor, within 0 and its maximum.
    void Grow(float factor);
    // Every record takes its after-build quantity as its maximum, and as its quantity when it
    // had no maximum.
    void FinishBuilding();
    void RefreshStockViews() const;
    // A record of building work left that wants item (a hammer's record also takes a nail).
    bool HasWorkFor(int item) const;
    // No building work left, or a full name with " Broken" after its first character.
    bool IsBuilt() const;
    // Whether the definition name may use the place at level.
    bool CanUse(const str& name, int level) const;
    // The place becomes a copy of another definition; the old block is freed.
    void ReplaceData(const GLocationData& prototype);

    // The view when it is a location view; none otherwise.
    static GVWorldLocation* AsLocationView(GVWorldObject* view);

private:
    GResourceRecord* FirstRecord(int type) const;
    void ShowStock(const GResourceRecord& record) const;
};
