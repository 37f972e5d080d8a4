#include "simulation/views/worldobject.h"

#include <cmath>
#include <cstdint>

#include "gv/gvobject.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"

GVWorldObject::GVWorldObject(GVWorldManager* manager, GVObject* sprite, GVLayout* layout)
    : mLayout(layout), mManager(manager), mSprite(sprite) {
    ApplyAnimationSpeed();
}

GVWorldObject::~GVWorldObject() {
    delete mSprite;
}

void GVWorldObject::ApplyAnimationSpeed() {
    if (mSprite == nullptr) return;
    // A paused world gives 1 / 0: the sprite parks its frames on an infinite speed.
    const double product =
        static_cast<double>(mOwnSpeedFactor) * static_cast<double>(mWorldSpeedFactor);
    mSprite->SetSpeed(static_cast<float>(1.0 / product), true);
}

float GVWorldObject::GetX() const {
    return mSprite != nullptr ? mSprite->deltaX : 0.0f;
}

float GVWorldObject::GetY() const {
    return mSprite != nullptr ? mSprite->deltaY : 0.0f;
}

void GVWorldObject::SetPosition(float x, float y) {
    if (mSprite == nullptr) return;
    const GWorld* world = mManager != nullptr ? mManager->GetWorld() : nullptr;
    const bool held = world != nullptr && world->GetHeldVisual() == this;
    const float depth =
        held ? kHeldDepth
             : static_cast<float>(static_cast<double>(x) * 0.004 + static_cast<double>(y) * 10.0);
    SetPositionXYZ(TVec2(x, y), depth);
}

void GVWorldObject::SetPositionXYZ(const TVec2& point, float depth) {
    if (mSprite == nullptr) return;
    mSprite->deltaX = point.x;
    mSprite->deltaY = point.y;
    mSprite->deltaZ = depth;
    mSprite->changed = 1;
}

float GVWorldObject::DistanceTo(const GVWorldObject* other) const {
    if (other == nullptr) return 0.0f;
    return std::hypot(other->GetX() - GetX(), other->GetY() - GetY());
}

void GVWorldObject::SetOwnSpeedFactor(float factor) {
    mOwnSpeedFactor = factor;
    ApplyAnimationSpeed();
}

void GVWorldObject::SetWorldSpeedFactor(float factor) {
    mWorldSpeedFactor = factor;
    ApplyAnimationSpeed();
}

bool GVWorldObject::HitTestSprite(const TVec2& point) const {
    return mSprite != nullptr && mSprite->FindObjectAt(point.x, point.y, INT32_MAX, nullptr);
}

void GVWorldObject::AddListener(GVWorldObjectListener* listener) {
    if (listener != nullptr) mListeners.push_back(listener);
}
