// GMonsterData: the parameter block of a monster (objectdata.h).
#pragma once

#include "simulation/objectdata.h"

class GMonsterData : public GObjectData {
public:
    GMonsterData() = default;
    GMonsterData(const GMonsterData&) = default;
    GMonsterData& operator=(const GMonsterData&) = default;
    ~GMonsterData() override;
};
