#include "gv/gvviewport.h"

#include <algorithm>
#include <cmath>

GVViewPort::GVViewPort(float width, float height, float x, float y)
    : mRect{x, y, x + width, y + height} {}

void GVViewPort::MoveTo(const TVec2& point) {
    const float w = mRect.right - mRect.left;
    const float h = mRect.bottom - mRect.top;
    float x = std::max(point.x, mBounds.left);
    if (x + w > mBounds.right) x = mBounds.right - w;
    float y = std::max(point.y, mBounds.top);
    if (y + h > mBounds.bottom) y = mBounds.bottom - h;
    mRect = GVRect{x, y, x + w, y + h};
}

void GVViewPort::Place(const TVec2& point) {
    const float w = mRect.right - mRect.left;
    const float h = mRect.bottom - mRect.top;
    mRect = GVRect{point.x, point.y, point.x + w, point.y + h};
}

void GVViewPort::ScrollBy(const TVec2& delta, int32_t steps, bool fractional) {
    mDelta = delta;
    // Each step counts one down to 0: a count below 1 would never get there and the view would
    // move on every frame for good.
    mStepsLeft = std::max(steps, 1);
    mStart = TVec2(mRect.left, mRect.top);
    mFractional = fractional;
}

void GVViewPort::ScrollTo(const TVec2& target, int32_t steps, bool fractional) {
    ScrollBy(TVec2(target.x - mRect.left, target.y - mRect.top), steps, fractional);
}

void GVViewPort::StopScroll() {
    mDelta = TVec2();
    mStepsLeft = 0;
}

void GVViewPort::Update() {
    if (mStepsLeft <= 0) {
        mLastOffset = TVec2();
        return;
    }
    TVec2 target = mStart + mDelta / static_cast<float>(mStepsLeft);
    if (!mFractional) target = TVec2(std::trunc(target.x), std::trunc(target.y));
    MoveTo(target);
    mLastOffset = TVec2(mRect.left - mStart.x, mRect.top - mStart.y);
    --mStepsLeft;
}

bool GVViewPort::Contains(const TVec2& point) const {
    return mRect.left <= point.x && point.x < mRect.right && mRect.top <= point.y &&
           point.y < mRect.bottom;
}

bool GVViewPort::IsInsideOrOnEdge(const TVec2& point) const {
    return mRect.left <= point.x && point.x <= mRect.right && mRect.top <= point.y &&
           point.y <= mRect.bottom;
}

float GVViewPort::DistanceOutsideX(const TVec2& point) const {
    if (IsInsideOrOnEdge(point)) return 0.0f;
    if (point.x <= mRect.left) return mRect.left - point.x;
    if (point.x >= mRect.right) return point.x - mRect.right;
    return 0.0f;
}

float GVViewPort::DistanceOutsideY(const TVec2& point) const {
    if (IsInsideOrOnEdge(point)) return 0.0f;
    if (point.y <= mRect.top) return mRect.top - point.y;
    if (point.y >= mRect.bottom) return point.y - mRect.bottom;
    return 0.0f;
}
