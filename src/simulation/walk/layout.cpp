#include "simulation/walk/layout.h"

#include <algorithm>
#include <cmath>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"

namespace {

// A point as atof reads its coordinates; a point no grid could use (a coordinate not finite, or
// past kMaxPointOffset) reads (0, 0), so that cells computed from it stay defined.
TVec2 ReadPoint(const TXmlNode* entry) {
    const float x = ReadFloatAttr(entry, "x", 0.0f);
    const float y = ReadFloatAttr(entry, "y", 0.0f);
    if (!(std::fabs(x) <= GVLayout::kMaxPointOffset && std::fabs(y) <= GVLayout::kMaxPointOffset))
        return TVec2(0.0f, 0.0f);
    return TVec2(x, y);
}

void ReadPoints(const TXmlNode* level, const char* listName, std::vector<TVec2>& points) {
    const TXmlNode* list = level->FindChild(listName);
    if (list == nullptr) return;
    points.reserve(list->GetChildren().size());
    for (const TXmlNode* entry : list->GetChildren())
        points.push_back(ReadPoint(entry));
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
