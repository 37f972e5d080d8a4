#include "simulation/views/worldmanager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "foundation/log.h"
#include "gv/gvfactory.h"
#include "gv/gvobject.h"
#include "platform/platform.h"
#include "simulation/object.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/walk/gridpoints.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/walk/levelcells.h"
#include "simulation/world.h"

namespace {

// Cells along a side of the world: the division rounded up.
int32_t CellsAlong(float length, float cellSize) {
    const int32_t cells = static_cast<int32_t>(length / cellSize);
    return std::fmod(length, cellSize) != 0.0f ? cells + 1 : cells;
}

bool FitsCell(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

// The entry of the list a creature at from (none: a random one) approaches, base being the
// cell the entries are relative to: the nearest by |Δcolumn| + |Δrow| of whole cells, the first
// on a tie.
const TVec2& ChooseEntry(const std::vector<TVec2>& entries, int64_t column, int64_t row,
                         const GVCell* from) {
    if (from == nullptr) {
        TPlatform* platform = TPlatform::GetInstance();
        const uint32_t random = platform != nullptr ? platform->Random() : 0;
        return entries[random % entries.size()];
    }
    const int64_t relativeColumn = from->column - column;
    const int64_t relativeRow = from->row - row;
    size_t best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < entries.size(); ++i) {
        const int64_t distance = std::llabs(static_cast<int64_t>(entries[i].x) - relativeColumn) +
                                 std::llabs(static_cast<int64_t>(entries[i].y) - relativeRow);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return entries[best];
}

}  // namespace

GVWorldManager::ListenerCall::ListenerCall(GVWorldManager* manager) : mManager(manager) {
    if (mManager != nullptr) ++mManager->mListenerCalls;
}

GVWorldManager::ListenerCall::~ListenerCall() {
    if (mManager != nullptr) --mManager->mListenerCalls;
}

GVWorldManager::GVWorldManager(GVScene* scene, GWorld* world)
    : mWorld(world), mScene(scene), mGrid(std::make_unique<GVWalkGrid>()) {}

GVWorldManager::~GVWorldManager() {
    Clear();
    // Removals that waited for a refresh that never comes.
    for (GVWorldObject* view : mPendingRemovals)
        delete view;
    for (GVWorldObject* view : mViews)
        delete view;
    mPendingRemovals.clear();
    mViews.clear();
    mGrid->Free();
    delete mLevelSprite;
}

bool GVWorldManager::Init() {
    if (mWorld == nullptr || mScene == nullptr) return false;
    mGrid->Allocate(CellsAlong(mWorldWidth, mCellSize), CellsAlong(mWorldHeight, mCellSize));
    GVFactory& factory = GVFactory::Instance();
    factory.SetDescriptionPrefix("xml/");
    factory.SetTextureFolder("anim/");
    factory.SetScene(mScene);
    if (mLevelSprite != nullptr) {
        Clear();
        delete mLevelSprite;
    }
    mLevelSprite = factory.CreateObject("level1", true);
    if (mLevelSprite == nullptr) return false;
    mLevelCells.clear();
    LoadLevelCells(factory.GetDescriptionPrefix() + "level1" + ".layout", mLevelCells);
    // The landscape reaches the grid with the first rebuild.
    mGrid->Fill(0);
    return true;
}

GVWorldObject* GVWorldManager::CreateVisual(const str& name, int kind) {
    GVFactory& factory = GVFactory::Instance();
    factory.SetDescriptionPrefix("xml/");
    factory.SetTextureFolder("anim/");
    factory.SetScene(mScene);
    if (kind < GObject::kCreature || kind > GObject::kGrave) {
        LogPrintf("GVWorldManager::CreateVisual: no view of kind %d", kind);
        return nullptr;
    }
    GVObject* sprite = factory.CreateObject(name, true);
    if (sprite == nullptr) return nullptr;
    sprite->SetParent(mLevelSprite);
    GVWorldObject* view = nullptr;
    if (kind == GObject::kLocation)
        view = new GVWorldLocation(this, sprite, GVLayoutCache::Get(name), name);
    else
        view = new GVWorldCreature(this, sprite);
    view->SetWorldSpeedFactor(mWorld != nullptr ? mWorld->GetSpeedFactor() : 1.0f);
    mViews.push_back(view);
    return view;
}

GVWorldObject* GVWorldManager::CreateVisualFor(const GObject* object) {
    if (object == nullptr) return nullptr;
    const GObjectData* data = object->GetData();
    return CreateVisual(data != nullptr ? data->animatorName : str(), object->GetKind());
}

bool GVWorldManager::IsListed(const GVWorldObject* view) const {
    return std::find(mViews.begin(), mViews.end(), view) != mViews.end();
}

bool GVWorldManager::IsPending(const GVWorldObject* view) const {
    return std::find(mPendingRemovals.begin(), mPendingRemovals.end(), view) !=
           mPendingRemovals.end();
}

void GVWorldManager::ForgetReferencesTo(const GVWorldObject* view) {
    if (mEditedLocation == view) mEditedLocation = nullptr;
    if (mWorld != nullptr && mWorld->GetHeldVisual() == view) mWorld->SetHeldVisual(nullptr);
    // By position: letting go tells listeners, who may make views.
    for (size_t i = 0; i < mViews.size(); ++i) {
        GVWorldObject* other = mViews[i];
        if (other == view || !other->IsKindOf(GVViewClass::kCreature)) continue;
        auto* follower = static_cast<GVWorldCreature*>(other);
        if (follower->GetFollowed() == view) follower->Follow(nullptr, TVec2());
    }
}

void GVWorldManager::RemoveVisual(GVWorldObject* view) {
    if (view == nullptr || !IsListed(view) || IsPending(view)) return;
    ForgetReferencesTo(view);
    // The followers' listeners may have removed the view meanwhile.
    if (!IsListed(view) || IsPending(view)) return;
    const bool location = view->IsKindOf(GVViewClass::kLocation);
    if (mRefreshing || mListenerCalls > 0) {
        mPendingRemovals.push_back(view);
    } else {
        mViews.erase(std::find(mViews.begin(), mViews.end(), view));
        delete view;
    }
    if (location) RebuildWalkability();
}

void GVWorldManager::FlushRemovals() {
    if (mListenerCalls > 0) return;
    while (!mPendingRemovals.empty()) {
        GVWorldObject* view = mPendingRemovals.front();
        // Released first, while it is still pending: its followers' listeners cannot remove
        // it a second time.
        ForgetReferencesTo(view);
        auto pending = std::find(mPendingRemovals.begin(), mPendingRemovals.end(), view);
        if (pending != mPendingRemovals.end()) mPendingRemovals.erase(pending);
        auto listed = std::find(mViews.begin(), mViews.end(), view);
        if (listed != mViews.end()) mViews.erase(listed);
        delete view;
    }
}

void GVWorldManager::RefreshAll() {
    mRefreshing = true;
    // By position, the length read again: a listener may make views (a grave), which are
    // refreshed in the same pass. Removals wait, so no view goes from under the pass.
    for (size_t i = 0; i < mViews.size(); ++i)
        mViews[i]->Refresh();
    mRefreshing = false;
    FlushRemovals();
}

void GVWorldManager::Clear() {
    mRefreshing = true;
    mEditedLocation = nullptr;
    if (mWorld != nullptr && mWorld->GetHeldVisual() != nullptr &&
        (IsListed(mWorld->GetHeldVisual()) || IsPending(mWorld->GetHeldVisual())))
        mWorld->SetHeldVisual(nullptr);
    if (mListenerCalls > 0) {
        // A view is telling its listeners: every view waits for the next refresh.
        for (GVWorldObject* view : mViews)
            if (!IsPending(view)) mPendingRemovals.push_back(view);
        mViews.clear();
    } else {
        std::vector<GVWorldObject*> views;
        views.swap(mViews);
        for (GVWorldObject* view : mPendingRemovals)
            if (std::find(views.begin(), views.end(), view) == views.end()) views.push_back(view);
        mPendingRemovals.clear();
        for (GVWorldObject* view : views)
            delete view;
    }
    if (mGrid->IsAllocated()) mGrid->Fill(0);
}

void GVWorldManager::SetAnimationSpeed(float factor) {
    for (GVWorldObject* view : mViews)
        view->SetWorldSpeedFactor(factor);
}

void GVWorldManager::RebuildWalkability() {
    if (!mGrid->IsAllocated()) return;
    mGrid->Fill(0);
    for (const GVLayoutCell& cell : mLevelCells)
        if (mGrid->IsInside(cell.column, cell.row))
            mGrid->SetValue(cell.column, cell.row, static_cast<uint8_t>(cell.value & 0xFF));
    for (GVWorldObject* view : mViews) {
        if (!view->IsKindOf(GVViewClass::kLocation) || IsPending(view)) continue;
        const GVLayoutLevel* record = static_cast<GVWorldLocation*>(view)->GetLevelRecord();
        if (record == nullptr) continue;
        const std::optional<GVCell> base = GridCellOfPoint(view->GetX(), view->GetY(), mCellSize);
        if (!base) continue;
        for (const GVLayoutCell& entry : record->walkabilityCells)
            if (const std::optional<GVCell> cell =
                    mGrid->OffsetCell(*base, entry.column, entry.row))
                mGrid->SetValue(cell->column, cell->row, static_cast<uint8_t>(entry.value & 0xFF));
    }
}

bool GVWorldManager::IsWalkable(float x, float y) const {
    return ::IsWalkable(*mGrid, mCellSize, x, y);
}

TVec2 GVWorldManager::SnapToFreePoint(float x, float y) {
    return ::SnapToFreePoint(*mGrid, mCellSize, x, y);
}

void GVWorldManager::FindPath(const GVWorldObject* creature, const TVec2& target,
                              std::vector<TVec2>& path, float progress) {
    if (creature == nullptr) {
        path.clear();
        return;
    }
    ::FindPath(*mGrid, mCellSize, creature->GetPosition(), target, path, progress);
}

bool GVWorldManager::RelativeCell(const TVec2& point, const GVWorldObject* view, int32_t& column,
                                  int32_t& row) const {
    const std::optional<GVCell> cell = GridCellOfPoint(point.x, point.y, mCellSize);
    const std::optional<GVCell> base = GridCellOfPoint(view->GetX(), view->GetY(), mCellSize);
    if (!cell || !base) return false;
    const int64_t dc = static_cast<int64_t>(cell->column) - base->column;
    const int64_t dr = static_cast<int64_t>(cell->row) - base->row;
    if (!FitsCell(dc) || !FitsCell(dr)) return false;
    column = static_cast<int32_t>(dc);
    row = static_cast<int32_t>(dr);
    return true;
}

GVWorldObject* GVWorldManager::PickObjectAt(const TVec2& point, const GVWorldObject* skip, int type,
                                            int mode) {
    if (type == kPickAny || type == kPickCreatures) {
        GVWorldCreature* candidate = nullptr;
        for (GVWorldObject* view : mViews) {
            if (view == skip || view->GetType() != GVWorldObject::kCreatureView ||
                !view->IsKindOf(GVViewClass::kCreature) || IsPending(view))
                continue;
            if (view->HitTest(point) || (view->IsHitRectEmpty() && view->HitTestSprite(point)))
                candidate = static_cast<GVWorldCreature*>(view);
            // Ark part movers and graves stand over creatures: an untagged view wins.
            if (candidate != nullptr && !candidate->HasTag()) return candidate;
        }
        if (candidate != nullptr) return candidate;
        if (type == kPickCreatures) return nullptr;
    }
    for (GVWorldObject* view : mViews) {
        if (view == skip || view->GetType() == GVWorldObject::kCreatureView || IsPending(view))
            continue;
        if (type != kPickAny && view->GetType() != type) continue;
        bool hit = false;
        if (!view->IsKindOf(GVViewClass::kLocation) || mode == kPickSprite) {
            hit = view->HitTestSprite(point);
        } else if (mode == kPickFootprint || mode == kPickWorkArea) {
            const auto* location = static_cast<const GVWorldLocation*>(view);
            int32_t column = 0;
            int32_t row = 0;
            if (RelativeCell(point, view, column, row))
                hit = mode == kPickFootprint ? location->IsInFootprint(column, row)
                                             : location->IsInWorkArea(column, row);
        }
        if (hit) return view;
    }
    return nullptr;
}

TVec2 GVWorldManager::GetApproachPoint(const GVWorldObject* target, const TVec2* from,
                                       bool special) {
    if (target == nullptr) return TVec2();
    TVec2 result = target->GetPosition();
    if (!target->IsKindOf(GVViewClass::kLocation)) return result;
    const GVLayoutLevel* record = static_cast<const GVWorldLocation*>(target)->GetLevelRecord();
    const std::optional<GVCell> base = GridCellOfPoint(result.x, result.y, mCellSize);
    if (record == nullptr || !base) return result;
    std::optional<GVCell> fromCell;
    if (from != nullptr) fromCell = GridCellOfPoint(from->x, from->y, mCellSize);
    const GVCell* fromCellOrNone = fromCell ? &*fromCell : nullptr;
    int64_t column = base->column;
    int64_t row = base->row;
    auto moveBy = [&](const std::vector<TVec2>& entries) {
        const TVec2& entry = ChooseEntry(entries, column, row, fromCellOrNone);
        column += static_cast<int64_t>(entry.x);
        row += static_cast<int64_t>(entry.y);
        const auto clamp = [](int64_t value) {
            return static_cast<int32_t>(std::clamp<int64_t>(
                value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        };
        result = GridCellCentre(GVCell{clamp(column), clamp(row)}, mCellSize);
    };
    // With both, the mount point is taken from the special cell chosen first.
    if (special && !record->workSpecial.empty()) moveBy(record->workSpecial);
    if (!record->workMountPoints.empty()) moveBy(record->workMountPoints);
    return result;
}

bool GVWorldManager::IsInWorkArea(const GVWorldObject* view, const TVec2& point) const {
    if (view == nullptr || !view->IsKindOf(GVViewClass::kLocation)) return false;
    const TVec2 at(view->GetX() + point.x, view->GetY() + point.y);
    int32_t column = 0;
    int32_t row = 0;
    return RelativeCell(at, view, column, row) &&
           static_cast<const GVWorldLocation*>(view)->IsInWorkArea(column, row);
}
