// GLocationData: the parameter block of a location (objectdata.h).
#pragma once

#include "simulation/objectdata.h"

class GLocationData : public GObjectData {
public:
    GLocationData() = default;
    GLocationData(const GLocationData&) = default;
    GLocationData& operator=(const GLocationData&) = default;
    ~GLocationData() override;
};
