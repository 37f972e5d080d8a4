// GVWorldLocation: the view of a location, as the world's model sees it: its build level (0.0 to
// 1.0, shown by the matching level image and saved with the location) and its stock display. The
// world views implement it.
#pragma once

#include "simulation/worldobject.h"

class GVWorldLocation : public GVWorldObject {
public:
    int GetType() const override { return kLocationView; }
    bool IsKindOf(GVViewClass viewClass) const override {
        return viewClass == GVViewClass::kLocation || GVWorldObject::IsKindOf(viewClass);
    }

    virtual float GetBuildLevel() const = 0;
    virtual void SetBuildLevel(float level) = 0;
    // Updates the stock and capacity images with one resource record.
    virtual void ShowStock(float quantity, float maximum) = 0;
};
