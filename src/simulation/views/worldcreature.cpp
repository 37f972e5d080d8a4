#include "simulation/views/worldcreature.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/log.h"
#include "foundation/random.h"
#include "gv/gvobject.h"
#include "simulation/views/worldmanager.h"
#include "simulation/worldkeys.h"
#include "simulation/worldobjectlistener.h"

namespace {

// The idle variations of every creature view: one generator, so that a test can seed it and no
// other random stream moves, and the two toggles that alternate the variations.
struct IdleVariations {
    TRandom random;
    bool failedToggle = false;
    bool idleToggle = false;
};

IdleVariations& Idle() {
    static IdleVariations idle;
    return idle;
}

// A number from 0 to 32767.
uint32_t NextIdleNumber() {
    return Idle().random.Next() >> 17;
}

GNameMask Join(GNameMask a, GNameMask b) {
    return GNameMask::Append(a, b);
}

uint32_t SaturatedSum(uint64_t sum) {
    return static_cast<uint32_t>(std::min<uint64_t>(sum, UINT32_MAX));
}

}  // namespace

void GVWorldCreature::ResetIdleVariations(uint32_t seed) {
    IdleVariations& idle = Idle();
    idle.random.Seed(seed);
    idle.failedToggle = false;
    idle.idleToggle = false;
}

GVWorldCreature::GVWorldCreature(GVWorldManager* manager, GVObject* sprite)
    : GVWorldObject(manager, sprite, nullptr),
      mState(WorldKeys().stay),
      mDirection(WorldKeys().dirNE) {
    ShowForageLoad(false, false, false);
}

GVWorldCreature::~GVWorldCreature() = default;

void GVWorldCreature::Configure(const GVViewConfig* config) {
    if (config == nullptr) return;
    StoreSpeed(config->speed);
    mIdleBase = config->idleBase;
    mIdleRange = config->idleRange;
    mHitRect = config->hitRect;
}

void GVWorldCreature::SetSpeed(float speed) {
    StoreSpeed(speed);
}

void GVWorldCreature::StoreSpeed(float speed) {
    if (std::isfinite(speed) && speed > 0.0f) {
        mSpeed = speed;
        return;
    }
    // The travel times divide by the speed, and a view that does not move never arrives.
    if (!mSpeedLogged) {
        LogPrintf("GVWorldCreature: walking speed %g is not a positive number, 1.0 is used",
                  static_cast<double>(speed));
        mSpeedLogged = true;
    }
    mSpeed = 1.0f;
}

bool GVWorldCreature::HitTest(const TVec2& point) {
    mHitRectEmpty = mHitRect.anchorX == 0 || mHitRect.anchorY == 0 || mHitRect.width == 0 ||
                    mHitRect.height == 0;
    const float left = GetX() - static_cast<float>(mHitRect.anchorX);
    const float top = GetY() - static_cast<float>(mHitRect.anchorY);
    return left < point.x && point.x < left + static_cast<float>(mHitRect.width) && top < point.y &&
           point.y < top + static_cast<float>(mHitRect.height);
}

void GVWorldCreature::Apply(GNameMask key) {
    if (GVObject* sprite = GetSprite()) sprite->SetStateRecursive(key, true, false);
}

void GVWorldCreature::SetState(GNameMask key) {
    if (key == mState) return;
    mState = key;
    const GWorldKeys& keys = WorldKeys();
    const bool facesEast = mDirection == keys.dirNE || mDirection == keys.dirSE;
    GNameMask shown = key;
    if (key == keys.walk || key == keys.stay) {
        shown = Join(key, mDirection);
    } else if (key == keys.failed) {
        mDirection = keys.dirSW;
        mHeadTurns = 0;
        shown = Join(keys.stay, keys.dirSW);
    } else if (key == keys.work) {
        shown = facesEast ? keys.work : keys.workM;
    } else if (facesEast) {
        const GNameMask lefts[] = {keys.dustOnLeft, keys.chipsOnLeft, keys.splintersOnLeft,
                                   keys.splashesOnLeft, keys.pillageOnLeft};
        const GNameMask rights[] = {keys.dustOnRight, keys.chipsOnRight, keys.splintersOnRight,
                                    keys.splashesOnRight, keys.pillageOnRight};
        for (size_t i = 0; i < std::size(lefts); ++i)
            if (key == lefts[i]) shown = rights[i];
    }
    Apply(shown);
    if (key != keys.walk) {
        mTravelled = 0.0f;
        mPath.clear();
    }
    // A listener may ask the manager to remove views (this one too): that waits for the next
    // refresh. Listeners added meanwhile hear the next change.
    GVWorldManager::ListenerCall call(GetManager());
    const GNameMask told = key;
    const size_t count = GetListeners().size();
    for (size_t i = 0; i < count; ++i)
        GetListeners()[i]->OnVisualEvent(this, &told);
}

GNameMask GVWorldCreature::DirectionFromVector(const TVec2& vector) {
    constexpr double kPi = 3.14159265358979323846;
    // The screen's y grows downwards; the angle turns counter-clockwise from the right.
    double angle = std::atan2(-static_cast<double>(vector.y), static_cast<double>(vector.x));
    if (angle < 0.0) angle += 2.0 * kPi;
    const GWorldKeys& keys = WorldKeys();
    if (angle < kPi / 2.0) return keys.dirNE;
    if (angle < kPi) return keys.dirNW;
    if (angle < 3.0 * kPi / 2.0) return keys.dirSW;
    return keys.dirSE;
}

void GVWorldCreature::SetDirection(const TVec2& vector) {
    const GNameMask direction = DirectionFromVector(vector);
    if (direction == mDirection) return;
    mDirection = direction;
    Apply(Join(mState, mDirection));
}

void GVWorldCreature::UpdateDirectionFromPath() {
    if (mPath.size() > 1) SetDirection(TVec2(mPath[1].x - mPath[0].x, mPath[1].y - mPath[0].y));
}

void GVWorldCreature::CopyDirectionTo(GVWorldCreature* other) const {
    if (other != nullptr && mPath.size() >= 2)
        other->SetDirection(TVec2(mPath[1].x - mPath[0].x, mPath[1].y - mPath[0].y));
}

void GVWorldCreature::TurnTo(const GVWorldObject* target) {
    if (target != nullptr) SetDirection(TVec2(target->GetX() - GetX(), target->GetY() - GetY()));
}

void GVWorldCreature::GoTo(const TVec2& target, float progress) {
    mFollowed = nullptr;
    if (progress == 1.0f) {
        StopMoving();
        SetPosition(target);
        return;
    }
    if (GVWorldManager* manager = GetManager())
        manager->FindPath(this, target, mPath, progress);
    else
        mPath.clear();
    mTravelled = 0.0f;
    SetState(WorldKeys().walk);
    UpdateDirectionFromPath();
    if (mPath.empty()) {
        StopMoving();
    } else if (mPath.size() == 1) {
        SetPosition(target);
        StopMoving();
    }
}

void GVWorldCreature::GoToObject(GVWorldObject* target, float progress, bool special) {
    if (target == nullptr) return;
    const TVec2 from = GetPosition();
    GVWorldManager* manager = GetManager();
    GoTo(manager != nullptr ? manager->GetApproachPoint(target, &from, special)
                            : target->GetPosition(),
         progress);
}

void GVWorldCreature::GoToObjectAnywhere(GVWorldObject* target, float progress, bool special) {
    if (target == nullptr) return;
    GVWorldManager* manager = GetManager();
    GoTo(manager != nullptr ? manager->GetApproachPoint(target, nullptr, special)
                            : target->GetPosition(),
         progress);
}

void GVWorldCreature::PlaceAt(GVWorldObject* target, bool useTarget, bool special) {
    GVWorldManager* manager = GetManager();
    if (useTarget) {
        if (target == nullptr) return;
        const TVec2 from = GetPosition();
        SetPosition(manager != nullptr ? manager->GetApproachPoint(target, &from, special)
                                       : target->GetPosition());
    } else if (manager != nullptr) {
        SetPosition(manager->SnapToFreePoint(GetX(), GetY()));
    }
}

void GVWorldCreature::SetPath(const std::vector<TVec2>& points) {
    if (points.empty()) return;
    mFollowed = nullptr;
    mPath.clear();
    mPath.push_back(GetPosition());
    mPath.insert(mPath.end(), points.begin(), points.end());
    mTravelled = 0.0f;
    SetState(WorldKeys().walk);
    UpdateDirectionFromPath();
}

void GVWorldCreature::Follow(GVWorldObject* view, const TVec2& offset) {
    mFollowed = view;
    mFollowOffset = offset;
    if (view != nullptr)
        SetState(WorldKeys().walk);
    else
        StopMoving();
}

void GVWorldCreature::StopMoving() {
    mPath.clear();
    mTravelled = 0.0f;
    SetState(WorldKeys().stay);
}

TVec2 GVWorldCreature::GetDestination() const {
    return mPath.size() >= 2 ? mPath.back() : GetPosition();
}

float GVWorldCreature::TicksTo(float x, float y) const {
    return std::hypot(x - GetX(), y - GetY()) / mSpeed;
}

float GVWorldCreature::TicksToObject(const GVWorldObject* view) const {
    return view != nullptr ? TicksTo(view->GetX(), view->GetY()) : 0.0f;
}

void GVWorldCreature::Refresh() {
    if (mFollowed != nullptr) {
        SetPosition(mFollowed->GetX() + mFollowOffset.x, mFollowed->GetY() + mFollowOffset.y);
        if (mFollowed->IsKindOf(GVViewClass::kCreature))
            static_cast<GVWorldCreature*>(mFollowed)->CopyDirectionTo(this);
    } else if (mPath.size() >= 2) {
        Walk();
    }
    UpdateIdle();
}

void GVWorldCreature::Walk() {
    mTravelled += mSpeed * GetWorldSpeedFactor();
    // One update may pass several short segments.
    for (;;) {
        const TVec2 from = mPath[0];
        const float dx = mPath[1].x - from.x;
        const float dy = mPath[1].y - from.y;
        const float length = std::hypot(dx, dy);
        if (length > mTravelled) {
            SetPosition(from.x + dx / length * mTravelled, from.y + dy / length * mTravelled);
            return;
        }
        mTravelled -= length;
        mPath.erase(mPath.begin());
        if (mPath.size() == 1) {
            SetPosition(mPath[0]);
            StopMoving();
            return;
        }
        UpdateDirectionFromPath();
    }
}

void GVWorldCreature::UpdateIdle() {
    const GWorldKeys& keys = WorldKeys();
    IdleVariations& idle = Idle();
    const float world = GetWorldSpeedFactor();
    if (mState == keys.failed) {
        // The head turns of a failure: every 11 updates after the first, until more than 6.
        mIdleTimer += 10.0f * world;
        if (!(static_cast<float>(mIdleThreshold) < mIdleTimer)) return;
        if (mHeadTurns > 6) {
            StopMoving();
            return;
        }
        mIdleTimer = 0.0f;
        mIdleThreshold = SaturatedSum(uint64_t(mIdleRange) + mIdleBase);
        GNameMask shown = Join(keys.stay, mDirection);
        if (idle.failedToggle) {
            shown = Join(shown, (mHeadTurns % 2) != 0 ? keys.headLeft : keys.headRight);
            ++mHeadTurns;
        }
        Apply(shown);
        idle.failedToggle = !idle.failedToggle;
        return;
    }
    mIdleTimer += world;
    if (!(static_cast<float>(mIdleThreshold) < mIdleTimer)) return;
    mIdleTimer = 0.0f;
    // A range of 0 gives no spread (the remainder would divide by it).
    const uint64_t spread =
        mIdleRange > 0 ? 2 * uint64_t(mIdleRange) - NextIdleNumber() % mIdleRange : 0;
    mIdleThreshold = SaturatedSum(spread + mIdleBase);
    const bool flakeOut = mState == keys.flakeOut;
    GNameMask shown = flakeOut ? mState : Join(mState, mDirection);
    if (idle.idleToggle)
        shown = Join(shown, (NextIdleNumber() % 2) != 0 ? keys.headLeft : keys.headRight);
    Apply(shown);
    idle.idleToggle = !idle.idleToggle;
}
