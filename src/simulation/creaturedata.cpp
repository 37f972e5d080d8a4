#include "simulation/creaturedata.h"

GCreatureData::~GCreatureData() = default;
