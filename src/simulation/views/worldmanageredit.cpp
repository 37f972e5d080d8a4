// GVWorldManager: editing the landscape cells and the edited location's layout with the pointer
// (a debugging aid; nothing is written to the files).
#include <algorithm>
#include <optional>

#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/gridpoints.h"

void GVWorldManager::EditAt(const TVec2& point, bool add) {
    const int value = add ? GVWalkGrid::kBlocked : 0;
    switch (mEditMode) {
        case kEditLevelCells:
            EditWalkCell(point.x, point.y, value);
            break;
        case kEditChooseLocation: {
            GVWorldObject* picked = PickObjectAt(point, nullptr, kPickLocations, kPickFootprint);
            mEditedLocation = picked != nullptr && picked->IsKindOf(GVViewClass::kLocation)
                                  ? static_cast<GVWorldLocation*>(picked)
                                  : nullptr;
            break;
        }
        case kEditLocationCells:
            EditLayoutMode3(point.x, point.y, value);
            break;
        case kEditMountPoints:
            EditLayoutMode4(point.x, point.y, add);
            break;
        case kEditWorkAreas:
            EditLayoutMode5(point.x, point.y, add);
            break;
        case kEditSpecialPoints:
            EditLayoutMode6(point.x, point.y, add);
            break;
        default:
            break;
    }
}

GVLayoutLevel* GVWorldManager::EditedRecord(float x, float y, int32_t& column, int32_t& row) {
    if (mEditedLocation == nullptr) return nullptr;
    GVLayoutLevel* record = mEditedLocation->GetLevelRecord();
    if (record == nullptr || !RelativeCell(TVec2(x, y), mEditedLocation, column, row))
        return nullptr;
    return record;
}

void GVWorldManager::EditWalkCell(float x, float y, int value) {
    int32_t column = 0;
    int32_t row = 0;
    if (EditedRecord(x, y, column, row) == nullptr) return;
    const std::optional<GVCell> cell = GridCellOfPoint(x, y, mCellSize);
    if (!cell) return;
    auto found = std::find_if(mLevelCells.begin(), mLevelCells.end(), [&](const GVLayoutCell& c) {
        return c.column == cell->column && c.row == cell->row;
    });
    if (found == mLevelCells.end())
        mLevelCells.push_back(GVLayoutCell{cell->column, cell->row, value});
    else if (value == 0)
        mLevelCells.erase(found);
    else
        found->value = value;
    RebuildWalkability();
}

void GVWorldManager::EditLayoutMode3(float x, float y, int value) {
    int32_t column = 0;
    int32_t row = 0;
    GVLayoutLevel* record = EditedRecord(x, y, column, row);
    if (record == nullptr) return;
    std::vector<GVLayoutCell>& cells = record->walkabilityCells;
    auto found = std::find_if(cells.begin(), cells.end(), [&](const GVLayoutCell& c) {
        return c.column == column && c.row == row;
    });
    if (found == cells.end()) {
        if (value >= 1) cells.push_back(GVLayoutCell{column, row, value});
    } else if (value == 0) {
        cells.erase(found);
    } else {
        found->value = value;
    }
    RebuildWalkability();
}

void GVWorldManager::EditPointList(float x, float y, bool add,
                                   std::vector<TVec2> GVLayoutLevel::*list) {
    int32_t column = 0;
    int32_t row = 0;
    GVLayoutLevel* record = EditedRecord(x, y, column, row);
    if (record == nullptr) return;
    std::vector<TVec2>& points = record->*list;
    const TVec2 point(static_cast<float>(column), static_cast<float>(row));
    auto found = std::find_if(points.begin(), points.end(),
                              [&](const TVec2& p) { return p.x == point.x && p.y == point.y; });
    if (add && found == points.end()) points.push_back(point);
    if (!add && found != points.end()) points.erase(found);
}

void GVWorldManager::EditLayoutMode4(float x, float y, bool add) {
    EditPointList(x, y, add, &GVLayoutLevel::workMountPoints);
}

void GVWorldManager::EditLayoutMode5(float x, float y, bool add) {
    EditPointList(x, y, add, &GVLayoutLevel::workAreas);
}

void GVWorldManager::EditLayoutMode6(float x, float y, bool add) {
    EditPointList(x, y, add, &GVLayoutLevel::workSpecial);
}
