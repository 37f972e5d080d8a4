#include "simulation/walk/layout.h"

#include <algorithm>
#include <cmath>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"

namespace {

// A point coordinate as atof reads it; values no grid could use (not finite, or past
// kMaxPointOffset) read 0, so that cells computed from them stay defined.
float ReadOffset(const TXmlNode* entry, const char* name) {
    const float value = ReadFloatAttr(entry, name, 0.0f);
    return std::fabs(value) <= GVLayout::kMaxPointOffset ? value : 0.0f;
}

void ReadPoints(const TXmlNode* level, const char* listName, std::vector<TVec2>& points) {
    const TXmlNode* list = level->FindChild(listName);
    if (list == nullptr) return;
    points.reserve(list->GetChildren().size());
    for (const TXmlNode* entry : list->GetChildren())
        points.emplace_back(ReadOffset(entry, "x"), ReadOffset(entry, "y"));
}

void ReadCells(const TXmlNode* level, std::vector<GVLayoutCell>& cells) {
    const TXmlNode* list = level->FindChild("WalkabilityCells");
    if (list == nullptr) return;
    cells.reserve(list->GetChildren().size());
    for (const TXmlNode* entry : list->GetChildren()) {
        GVLayoutCell cell;
        cell.column = ReadIntAttr(entry, "x", 0);
        cell.row = ReadIntAttr(entry, "y", 0);
        // A location's cells are never open ground: no value (or 0) blocks the cell.
        cell.value = ReadIntAttr(entry, "v", 0);
        if (cell.value == 0) cell.value = 255;
        cells.push_back(cell);
    }
}

}  // namespace

bool GVLayout::Load(const str& path) {
    *this = GVLayout();
    TXmlNode document;
    document.LoadFile(path);
    const TXmlNode* top = document.FindChild("layout");
    if (top == nullptr) return false;

    perLevelImagesCount = ReadIntAttr(top, "PerLevelImagesCount", 0);
    if (perLevelImagesCount < 1) perLevelImagesCount = 1;
    capacityImagesCount = ReadIntAttr(top, "CapacityImagesCount", 0);

    levels.resize(top->GetChildren().size());
    for (size_t i = 0; i < levels.size(); ++i) {
        const TXmlNode* element = top->GetChildren()[i];
        GVLayoutLevel& level = levels[i];
        ReadPoints(element, "WorkMountPoints", level.workMountPoints);
        ReadCells(element, level.walkabilityCells);
        ReadPoints(element, "WorkAreas", level.workAreas);
        ReadPoints(element, "WorkSpecial", level.workSpecial);
    }

    const size_t wanted = static_cast<size_t>(perLevelImagesCount);
    const size_t padded = static_cast<size_t>(kMaxPaddedLevels);
    if (levels.size() < wanted) {
        if (wanted > padded)
            LogPrintf("Layout %s asks for %d levels; empty levels are added up to %d only",
                      path.c_str(), perLevelImagesCount, kMaxPaddedLevels);
        levels.resize(std::max(levels.size(), std::min(wanted, padded)));
    }
    return true;
}

const GVLayoutLevel* GVLayout::GetLevel(uint32_t index) const {
    return index < levels.size() ? &levels[index] : nullptr;
}

GVLayoutLevel* GVLayout::GetLevel(uint32_t index) {
    return index < levels.size() ? &levels[index] : nullptr;
}
