// GCreatureData: the parameter block of a creature (objectdata.h). So far the evolution steps,
// which the names registry walks to total the time along each chain of forms.
#pragma once

#include <vector>

#include "foundation/str.h"
#include "simulation/objectdata.h"

// One evolution step: doing task kind taskId long enough turns the creature into the definition
// named nextFullName. startLevel and maxLevel are the step's place on its chain, computed after
// the definitions load (GNameRegistry::ComputeEvolutionTimes).
struct GEvolutionData {
    int taskId = 0;
    str nextFullName;
    int time[4] = {0, 0, 0, 0};
    int timeSpent = 0;
    int startLevel = 0;
    int maxLevel = 0;
};

class GCreatureData : public GObjectData {
public:
    GCreatureData() = default;
    GCreatureData(const GCreatureData&) = default;
    GCreatureData& operator=(const GCreatureData&) = default;
    ~GCreatureData() override;

    std::vector<GEvolutionData> evolutionDatas;
};
