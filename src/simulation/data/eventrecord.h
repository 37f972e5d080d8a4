// GEventRecord: one entry of the world's events history: when it happened, its localised title
// and text, Lua text kept with it, the global event it records and, for an event that happened
// somewhere, where. A plain value: copies carry every field.
#pragma once

#include "foundation/str.h"

struct GEventRecord {
    int time = 0;
    str name;
    str text;
    str luaCommand;
    int flag = 1;
    int eventId = 0;
    bool hasPosition = false;
    float x = 0.0f;
    float y = 0.0f;
};
