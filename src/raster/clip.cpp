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

// The point where the edge a-b crosses the plane, measured from the end inside it: the outside
// end may lie so far away (1e30) that a parameter measured from it loses the crossing to
// rounding, leaving w at 0 and the projection undefined.
template <typename Lerp>
TVertex4 Crossing(const TVertex4& a, const TVertex4& b, double da, double db, Lerp lerp) {
    return da >= 0 ? lerp(a, b, da / (da - db)) : lerp(b, a, db / (db - da));
}

// One Sutherland-Hodgman pass: keeps the part where distance(v) >= 0.
template <typename Distance, typename Lerp>
int ClipPass(TVertex4* poly, int count, Distance distance, Lerp lerp) {
    TVertex4 out[kMaxPolygon];
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const TVertex4& a = poly[i];
        const TVertex4& b = poly[(i + 1) % count];
        double da = distance(a);
        double db = distance(b);
        if (da >= 0 && n < kMaxPolygon) out[n++] = a;
        if ((da >= 0) != (db >= 0) && n < kMaxPolygon) out[n++] = Crossing(a, b, da, db, lerp);
    }
    std::copy(out, out + n, poly);
    return n;
}

template <typename Distance, typename Lerp>
bool ClipSegment(TVertex4& a, TVertex4& b, Distance distance, Lerp lerp) {
    double da = distance(a);
    double db = distance(b);
    if (da < 0 && db < 0) return false;
    if (da < 0) {
        a = Crossing(a, b, da, db, lerp);
    } else if (db < 0) {
        b = Crossing(a, b, da, db, lerp);
    }
    return true;
}

}  // namespace

int ClipPolygonClipSpace(TVertex4* poly, int count, bool nearFar) {
    count = ClipPass(
        poly, count, [](const TVertex4& v) { return v.w - kMinW; }, LerpClip);
    if (nearFar && count > 0) {
        count = ClipPass(
            poly, count, [](const TVertex4& v) { return v.z; }, LerpClip);
        if (count > 0) {
            count = ClipPass(
                poly, count, [](const TVertex4& v) { return v.w - v.z; }, LerpClip);
        }
    }
    return count < 3 ? 0 : count;
}

int ClipPolygonGuardBand(TVertex4* poly, int count) {
    auto pass = [&](auto distance) {
        if (count > 0) count = ClipPass(poly, count, distance, LerpScreen);
    };
    pass([](const TVertex4& v) { return v.x + kGuardBand; });
    pass([](const TVertex4& v) { return kGuardBand - v.x; });
    pass([](const TVertex4& v) { return v.y + kGuardBand; });
    pass([](const TVertex4& v) { return kGuardBand - v.y; });
    return count < 3 ? 0 : count;
}

bool ClipSegmentClipSpace(TVertex4& a, TVertex4& b, bool nearFar) {
    if (!ClipSegment(
            a, b, [](const TVertex4& v) { return v.w - kMinW; }, LerpClip)) {
        return false;
    }
    if (!nearFar) return true;
    return ClipSegment(
               a, b, [](const TVertex4& v) { return v.z; }, LerpClip) &&
           ClipSegment(
               a, b, [](const TVertex4& v) { return v.w - v.z; }, LerpClip);
}

bool ClipSegmentGuardBand(TVertex4& a, TVertex4& b) {
    return ClipSegment(
               a, b, [](const TVertex4& v) { return v.x + kGuardBand; }, LerpScreen) &&
           ClipSegment(
               a, b, [](const TVertex4& v) { return kGuardBand - v.x; }, LerpScreen) &&
           ClipSegment(
               a, b, [](const TVertex4& v) { return v.y + kGuardBand; }, LerpScreen) &&
           ClipSegment(
               a, b, [](const TVertex4& v) { return kGuardBand - v.y; }, LerpScreen);
}

void ProjectToScreen(TVertex4& v, const TViewport& vp) {
    double q = 1.0 / v.w;
    double nx = v.x * q;
    double ny = v.y * q;
    double nz = v.z * q;
    v.x = vp.x + (1.0 + nx) * vp.width * 0.5;
    v.y = vp.y + (1.0 - ny) * vp.height * 0.5;
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
