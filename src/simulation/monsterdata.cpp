#include "simulation/monsterdata.h"

GMonsterData::~GMonsterData() = default;
