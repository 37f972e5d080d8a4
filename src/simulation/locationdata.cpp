#include "simulation/locationdata.h"

GLocationData::~GLocationData() = default;
