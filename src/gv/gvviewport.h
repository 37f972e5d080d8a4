// GVViewPort: the visible rectangle of a scrolling view, the part of the world a scene draws. It
// is kept inside the world's bounds and moves either at once (MoveTo) or over a number of steps
// (ScrollBy, ScrollTo), one step per Update from the owner's periodic task.
//
// A scroll keeps its start fixed while the steps count down: a scroll of N steps visits
// start + delta / N, start + delta / (N − 1), …, start + delta, so it begins with small moves and
// ends exactly on its target (held inside the bounds). Unless the scroll is fractional each step
// lands on whole pixels.
//
// Each GVScene owns one; the play area, the map and the character pictures scroll through it, and
// the sound code measures how far a source lies outside it. Main thread only.
#pragma once

#include <cstdint>

#include "gv/gvrect.h"
#include "math/vec2.h"

class GVViewPort {
public:
    // A view of width × height with its top-left at (x, y); bounds all 0, no scroll, fractional.
    // The owner sets the bounds before it moves the view.
    GVViewPort(float width, float height, float x, float y);

    // Places the top-left at the point, keeping the size, inside the bounds: the left and top
    // limits first, then the right and bottom ones, so a view larger than its bounds lines up
    // with their right and bottom.
    void MoveTo(const TVec2& point);
    // Places the top-left at the point as it is, whatever the bounds: puts back a view whose
    // top-left was read from GetRect.
    void Place(const TVec2& point);
    // Starts a scroll by delta over that many steps (fewer than 1: one).
    void ScrollBy(const TVec2& delta, int32_t steps, bool fractional);
    // Starts a scroll to the target's top-left over that many steps (fewer than 1: one).
    void ScrollTo(const TVec2& target, int32_t steps, bool fractional);
    void StopScroll();
    // One step of the scroll; without one, only the last offset becomes (0, 0).
    void Update();

    // Half-open: left ≤ x < right and top ≤ y < bottom.
    bool Contains(const TVec2& point) const;
    // How far the point lies left or right of the view (0 inside, edges included).
    float DistanceOutsideX(const TVec2& point) const;
    // How far the point lies above or below the view (0 inside, edges included).
    float DistanceOutsideY(const TVec2& point) const;

    const GVRect& GetRect() const { return mRect; }
    void SetBounds(const GVRect& bounds) { mBounds = bounds; }
    const GVRect& GetBounds() const { return mBounds; }
    // From the scroll's start to where the last step landed.
    const TVec2& GetLastOffset() const { return mLastOffset; }
    const TVec2& GetDelta() const { return mDelta; }
    int32_t GetStepsLeft() const { return mStepsLeft; }
    bool IsFractional() const { return mFractional; }

private:
    bool IsInsideOrOnEdge(const TVec2& point) const;

    GVRect mRect;
    TVec2 mLastOffset;
    TVec2 mDelta;
    GVRect mBounds;
    int32_t mStepsLeft = 0;
    TVec2 mStart;
    bool mFractional = true;
};
