// GVLayout: the layout of one location picture, read from its XML ".layout" file: for each build
// level the cells the location covers with their walk values, the cells where it counts as hit
// for work, and the cells where creatures stand to work on it or arrive. Cells and points are
// offsets from the location's own cell.
//
// The file: a top element `layout` with "PerLevelImagesCount" (below 1 read as 1) and
// "CapacityImagesCount" (0 when absent); each child, whatever its name, is one level in document
// order, holding up to four lists ("WorkMountPoints", "WalkabilityCells", "WorkAreas",
// "WorkSpecial"; only the first of each name counts) of entries whose names are not looked at.
// Entries give "x" and "y" (and "v", the walk value, for walkability cells). Levels are padded
// with empty ones up to PerLevelImagesCount, but to no more than kMaxPaddedLevels.
//
// A plain value; the layout cache owns the layouts of the world's locations.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/str.h"
#include "math/vec2.h"

// A cell with its walk value. The grid keeps the low 8 bits of the value.
struct GVLayoutCell {
    int32_t column = 0;
    int32_t row = 0;
    int32_t value = 0;
};

struct GVLayoutLevel {
    // Where the location counts as hit for work.
    std::vector<TVec2> workAreas;
    // Where creatures go to work on the location.
    std::vector<TVec2> workMountPoints;
    // Further approach cells, for the special approach.
    std::vector<TVec2> workSpecial;
    // The cells the location covers at this level.
    std::vector<GVLayoutCell> walkabilityCells;
};

class GVLayout {
public:
    // Padding stops here, whatever count the file gives (no shipped layout comes near).
    static constexpr int32_t kMaxPaddedLevels = 256;
    // A point with a coordinate beyond this (or not finite) reads as (0, 0).
    static constexpr float kMaxPointOffset = 1000000.0f;

    // Fills this layout afresh from the file. False, with an empty layout (no levels, both
    // counts 0), when the document has no `layout` element, the file is missing or not XML.
    bool Load(const str& path);

    // The record of a level; null when the layout has none for it.
    const GVLayoutLevel* GetLevel(uint32_t index) const;
    GVLayoutLevel* GetLevel(uint32_t index);

    std::vector<GVLayoutLevel> levels;
    // The number of level pictures, as read (at least 1 after a load).
    int32_t perLevelImagesCount = 0;
    int32_t capacityImagesCount = 0;
};
