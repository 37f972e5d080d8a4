#include "simulation/views/worldlocation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/str.h"
#include "gv/gvobject.h"
#include "gv/keys/flagmasktext.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layout.h"

namespace {

// Within 0 and 1; a value that is not a number counts as 0 (levels come from saved worlds).
float ClampUnit(float value) {
    if (!(value > 0.0f)) return 0.0f;
    return std::min(value, 1.0f);
}

// trunc(value) as a picture index: at least 0, at most what a count can reach.
uint32_t PictureIndex(double value) {
    if (!(value > 0.0)) return 0;
    return static_cast<uint32_t>(std::min(value, static_cast<double>(INT32_MAX)));
}

GNameMask PictureKey(const char* format, uint32_t index) {
    return ParseFlagMask(str::Format(format, index));
}

}  // namespace

GVWorldLocation::GVWorldLocation(GVWorldManager* manager, GVObject* sprite, GVLayout* layout,
                                 const str& layoutName)
    : GVWorldObject(manager, sprite, layout) {
    SetLayoutName(layoutName);
    SetCapacity(0.0f, 0.0f);
    SetLevel(0.0f);
}

void GVWorldLocation::SetLevel(float fraction) {
    mLevelFraction = ClampUnit(fraction);
    const GVLayout* layout = GetLayout();
    if (layout == nullptr) return;
    // The 0.01 takes a level just below a step to the next picture.
    mLevelIndex = PictureIndex(static_cast<double>(mLevelFraction) *
                                   (static_cast<double>(layout->perLevelImagesCount) - 1.0) +
                               0.01);
    mLevelKey = PictureKey("level%u", mLevelIndex);
    UpdateImage();
}

void GVWorldLocation::SetCapacity(float amount, float maximum) {
    const float ratio = ClampUnit(maximum > 0.0f ? amount / maximum : 0.0f);
    const GVLayout* layout = GetLayout();
    if (layout == nullptr) return;
    const int32_t pictures = layout->capacityImagesCount;
    uint32_t index = PictureIndex((static_cast<double>(pictures) - 1.0) * ratio + 0.5);
    // A store with anything in it never shows the empty picture.
    if (amount > 0.0f && index == 0 && pictures >= 2) index = 1;
    mCapacityKey = PictureKey("capacity%u", index);
    UpdateImage();
}

void GVWorldLocation::UpdateImage() {
    GVObject* sprite = GetSprite();
    if (sprite == nullptr) return;
    sprite->SetStateRecursive(GNameMask::Append(mLevelKey, mCapacityKey), true, false);
    if (GVWorldManager* manager = GetManager()) manager->RebuildWalkability();
}

const GVLayoutLevel* GVWorldLocation::GetLevelRecord() const {
    const GVLayout* layout = GetLayout();
    return layout != nullptr ? layout->GetLevel(mLevelIndex) : nullptr;
}

GVLayoutLevel* GVWorldLocation::GetLevelRecord() {
    GVLayout* layout = GetLayout();
    return layout != nullptr ? layout->GetLevel(mLevelIndex) : nullptr;
}

bool GVWorldLocation::IsInFootprint(int32_t column, int32_t row) const {
    const GVLayoutLevel* record = GetLevelRecord();
    if (record == nullptr) return false;
    return std::any_of(
        record->walkabilityCells.begin(), record->walkabilityCells.end(),
        [&](const GVLayoutCell& cell) { return cell.column == column && cell.row == row; });
}

bool GVWorldLocation::IsInWorkArea(int32_t column, int32_t row) const {
    const GVLayoutLevel* record = GetLevelRecord();
    if (record == nullptr) return false;
    const float x = static_cast<float>(column);
    const float y = static_cast<float>(row);
    return std::any_of(record->workAreas.begin(), record->workAreas.end(),
                       [&](const TVec2& point) { return point.x == x && point.y == y; });
}
