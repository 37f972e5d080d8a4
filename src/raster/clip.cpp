// Clipping in clip space (the w > 0 and near/far planes) and in screen space (the guard band),
// in double precision before anything is converted to fixed point.
#include <algorithm>
#include <cmath>

#include "raster/geometry.h"

namespace raster {

namespace {

// Nothing closer to the eye than this is projected: w must stay clearly positive for the divide.
constexpr double kMinW = 1e-6;

TVertex4 LerpClip(const TVertex4& a, const TVertex4& b, double t) {
    TVertex4 r;
    r.packedValid = false;
    r.packed[0] = r.packed[1] = 0;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.z = a.z + (b.z - a.z) * t;
    r.w = a.w + (b.w - a.w) * t;
    r.u = a.u + (b.u - a.u) * t;
    r.v = a.v + (b.v - a.v) * t;
    for (int k = 0; k < kColorCount; ++k) {
        r.c[k] = static_cast<float>(a.c[k] + (b.c[k] - a.c[k]) * t);
    }
    return r;
}

// In screen space attributes are linear in the screen only when q is the same at both ends;
// otherwise they are interpolated through q (perspective-correct).
TVertex4 LerpScreen(const TVertex4& a, const TVertex4& b, double t) {
    TVertex4 r = LerpClip(a, b, t);
    if (a.w == b.w) return r;
    double qa = a.w * (1 - t);
    double qb = b.w * t;
    r.u = (a.u * qa + b.u * qb) / r.w;
    r.v = (a.v * qa + b.v * qb) / r.w;
    for (int k = 0; k < kColorCount; ++k) {
        r.c[k] = static_cast<float>((a.c[k] * qa + b.c[k] * qb) / r.w);
    }
    return r;
}

// A clip plane: the signed distance of a vertex (the kept side is >= 0), and how a crossing is
// put exactly onto the plane.
struct TClipPlane {
    double (*distance)(const TVertex4& v);
    void (*pin)(TVertex4& v);
};

// The point where the edge a-b crosses the plane. It is measured from the end inside the plane,
// since the outside end may lie so far away (1e30) that a parameter measured from it loses the
// crossing to rounding; and the clipped coordinate is then set onto the plane, since with both
// ends far away on either side it too is lost to rounding (w left at 0 or below, a screen point
// left outside the guard band).
template <typename Lerp>
TVertex4 Crossing(const TVertex4& a, const TVertex4& b, double da, double db,
                  const TClipPlane& plane, Lerp lerp) {
    TVertex4 r = da >= 0 ? lerp(a, b, da / (da - db)) : lerp(b, a, db / (db - da));
    plane.pin(r);
    return r;
}

// One Sutherland-Hodgman pass: keeps the part where the distance is >= 0.
template <typename Lerp>
int ClipPass(TVertex4* poly, int count, const TClipPlane& plane, Lerp lerp) {
    TVertex4 out[kMaxPolygon];
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const TVertex4& a = poly[i];
        const TVertex4& b = poly[(i + 1) % count];
        double da = plane.distance(a);
        double db = plane.distance(b);
        if (da >= 0 && n < kMaxPolygon) out[n++] = a;
        if ((da >= 0) != (db >= 0) && n < kMaxPolygon) {
            out[n++] = Crossing(a, b, da, db, plane, lerp);
        }
    }
    std::copy(out, out + n, poly);
    return n;
}

template <typename Lerp>
bool ClipSegment(TVertex4& a, TVertex4& b, const TClipPlane& plane, Lerp lerp) {
    double da = plane.distance(a);
    double db = plane.distance(b);
    if (da < 0 && db < 0) return false;
    if (da < 0) {
        a = Crossing(a, b, da, db, plane, lerp);
    } else if (db < 0) {
        b = Crossing(a, b, da, db, plane, lerp);
    }
    return true;
}

const TClipPlane kPositiveW{[](const TVertex4& v) { return v.w - kMinW; },
                            [](TVertex4& v) { v.w = kMinW; }};
const TClipPlane kNear{[](const TVertex4& v) { return v.z; }, [](TVertex4& v) { v.z = 0.0; }};
const TClipPlane kFar{[](const TVertex4& v) { return v.w - v.z; }, [](TVertex4& v) { v.z = v.w; }};
const TClipPlane kGuardBandPlanes[4] = {
    {[](const TVertex4& v) { return v.x + kGuardBand; }, [](TVertex4& v) { v.x = -kGuardBand; }},
    {[](const TVertex4& v) { return kGuardBand - v.x; }, [](TVertex4& v) { v.x = kGuardBand; }},
    {[](const TVertex4& v) { return v.y + kGuardBand; }, [](TVertex4& v) { v.y = -kGuardBand; }},
    {[](const TVertex4& v) { return kGuardBand - v.y; }, [](TVertex4& v) { v.y = kGuardBand; }},
};

}  // namespace

int ClipPolygonClipSpace(TVertex4* poly, int count, bool nearFar) {
    count = ClipPass(poly, count, kPositiveW, LerpClip);
    if (nearFar && count > 0) {
        count = ClipPass(poly, count, kNear, LerpClip);
        if (count > 0) count = ClipPass(poly, count, kFar, LerpClip);
    }
    return count < 3 ? 0 : count;
}

int ClipPolygonGuardBand(TVertex4* poly, int count) {
    for (const TClipPlane& plane : kGuardBandPlanes) {
        if (count > 0) count = ClipPass(poly, count, plane, LerpScreen);
    }
    return count < 3 ? 0 : count;
}

bool ClipSegmentClipSpace(TVertex4& a, TVertex4& b, bool nearFar) {
    if (!ClipSegment(a, b, kPositiveW, LerpClip)) return false;
    if (!nearFar) return true;
    return ClipSegment(a, b, kNear, LerpClip) && ClipSegment(a, b, kFar, LerpClip);
}

bool ClipSegmentGuardBand(TVertex4& a, TVertex4& b) {
    for (const TClipPlane& plane : kGuardBandPlanes) {
        if (!ClipSegment(a, b, plane, LerpScreen)) return false;
    }
    return true;
}

void ProjectToScreen(TVertex4& v, const TViewport& vp, double centreShift) {
    double q = 1.0 / v.w;
    double nx = v.x * q;
    double ny = v.y * q;
    double nz = v.z * q;
    // Subtracting a shift of 0 leaves every value as it was.
    v.x = vp.x + (1.0 + nx) * vp.width * 0.5 - centreShift;
    v.y = vp.y + (1.0 - ny) * vp.height * 0.5 - centreShift;
    v.z = vp.minZ + nz * (static_cast<double>(vp.maxZ) - vp.minZ);
    v.w = q;
}

void ReduceCoordinates(double* coords, int count, TAddress mode) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(coords[i])) coords[i] = 0.0;
    }
    double period = mode == TAddress::Wrap ? 1.0 : (mode == TAddress::Mirror ? 2.0 : 0.0);
    if (period > 0.0 && count > 0) {
        double shift = std::floor(coords[0] / period) * period;
        for (int i = 0; i < count; ++i)
            coords[i] -= shift;
    }
    for (int i = 0; i < count; ++i) {
        coords[i] = std::clamp(coords[i], -kCoordLimit, kCoordLimit);
    }
}

}  // namespace raster
