// TWindow's placement from its Lua table: the magic positions and sizes that the window library
// gives scripts (kCenter 80000 and kMax 160000) resolved against the parent's extent.
//
// A position p means: up to 40000 a plain coordinate (negative: from the far edge, unless
// "align" was given); above 40000 up to 106666 an offset from the centre (p - kCenter); above
// 106666 an offset from the far edge (p - kMax). A size s above 80000 stretches the window to
// kMax - s short of the far edge. A negative size extends the window from its position toward
// smaller coordinates. Sums are made in 64 bits and clamped to the int range, so an absurd table
// gives an absurd but defined rectangle.
#include "ui/window.h"

#include "foundation/saturate.h"
#include "ui/windowstyle.h"

namespace {

constexpr int64_t kCenter = 80000;
constexpr int64_t kMax = 160000;
// Positions above this are relative to the centre; sizes above kCenter stretch.
constexpr int64_t kRelativeLow = 40000;
// Positions above this are relative to the far edge.
constexpr int64_t kCenterHigh = 106666;

bool IsSpecialPair(int pos, int size) {
    return size < 0 || pos < 0 || size > kCenter || pos > kRelativeLow;
}

// A position p of a window of size s against the extent.
int64_t ResolvePosition(int64_t p, int64_t s, int64_t extent, bool alignGiven) {
    if (p > kCenterHigh) return p + extent - kMax;
    if (p > kRelativeLow) return extent / 2 - s / 2 + (p - kCenter);
    if (!alignGiven && p < 0) return p + extent;
    return p;
}

// A stretched window at a relative position: it keeps the far margin of the stretch and its
// centre moves by the position's offset.
void ResolveTogether(int64_t& p, int64_t& s, int64_t extent) {
    int64_t offset = p > kCenterHigh ? p + extent - kMax : p - kCenter;
    if (offset >= 0) {
        s = s + extent - 2 * offset - kMax;
        p = 2 * offset;
    } else {
        s = s + extent - kMax + 2 * offset;
        p = 0;
    }
}

}  // namespace

void TWindow::Init(TWindowStyle& style) {
    mName = style.GetString("name", str());
    ApplyGeometry(style);
}

void TWindow::PostInit(TWindowStyle& style) {
    if (style.GetBool("fit", false)) FitToChildren();
    ApplyGeometry(style);
}

void TWindow::ApplyGeometry(TWindowStyle& style) {
    int x = style.GetInt("x", 0);
    int y = style.GetInt("y", 0);
    int w = style.GetInt("w", GetWidth());
    int h = style.GetInt("h", GetHeight());
    // Relative geometry under a parent that has no size yet waits for PostInit.
    if (mParent != nullptr && ((mParent->GetWidth() == 0 && IsSpecialPair(x, w)) ||
                               (mParent->GetHeight() == 0 && IsSpecialPair(y, h)))) {
        return;
    }
    // So does a relative position of a window without a size (one that fits its children).
    if ((x > kRelativeLow || x < 0) && w == 0) return;
    if ((y > kRelativeLow || y < 0) && h == 0) return;
    int align = style.GetInt("align", -1);
    ResolveCoordinate(x, w, align, false);
    ResolveCoordinate(y, h, align, true);
    // Only what is still 0 is filled in.
    MoveTo(mRect.left != 0 ? mRect.left : x, mRect.top != 0 ? mRect.top : y);
    int width = GetWidth();
    int height = GetHeight();
    SetSize(width != 0 ? width : w, height != 0 ? height : h);
}

void TWindow::ResolveCoordinate(int& pos, int& size, int align, bool vertical) const {
    bool alignGiven = align != -1;
    bool centre = alignGiven && (align & (vertical ? 4 : 1));
    bool farEdge = alignGiven && (align & (vertical ? 8 : 2));
    int64_t p = pos;
    int64_t s = size;
    if (p < kRelativeLow || p > kCenterHigh) {
        if (centre) {
            if (s == 0) return;
            p -= s / 2;
        } else if (farEdge) {
            if (s == 0) return;
            p -= s;
        }
    }
    if (mParent != nullptr) {
        int64_t extent = vertical ? mParent->GetHeight() : mParent->GetWidth();
        if (s > kCenter) {
            if (p <= kRelativeLow) {
                p = ResolvePosition(p, s, extent, alignGiven);
                s = s + extent - p - kMax;
            } else {
                ResolveTogether(p, s, extent);
            }
        } else if (s >= 0) {
            p = ResolvePosition(p, s, extent, alignGiven);
        } else {
            s = -s;
            if (s <= kCenter) {
                p = ResolvePosition(p, s, extent, alignGiven) - s;
            } else if (p > kRelativeLow) {
                ResolveTogether(p, s, extent);
            } else {
                // A stretch extending toward smaller coordinates from a plain position: the
                // size becomes the resolved position and the position kMax less it.
                s = ResolvePosition(p, s, extent, alignGiven);
                p = kMax - s;
            }
        }
    }
    pos = SaturateToInt(p);
    size = SaturateToInt(s);
}
