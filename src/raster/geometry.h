// Internal to the rasterizer: vertices between transform and scan conversion, polygon and
// segment clipping, and the scan conversion of triangles and lines (triangle.cpp, line.cpp).
#pragma once

#include <algorithm>
#include <cstdint>

#include "math/rect.h"
#include "raster/pixelpipe.h"
#include "raster/renderstate.h"
#include "raster/surface.h"

namespace raster {

// Screen coordinates are kept inside this square before fixed-point set-up, so that
// coordinates with 8 fractional bits fit 24 bits and every edge product fits 64 bits.
constexpr double kGuardBand = 32768.0;
// Texture coordinates are bounded to this after reduction, and fixed-point attribute values and
// steps to these, so that no per-pixel sum can overflow.
constexpr double kCoordLimit = 1048576.0;           // 2^20
constexpr double kFixedLimit = 1125899906842624.0;  // 2^50
constexpr double kStepLimit = 17592186044416.0;     // 2^44

constexpr int kMaxLevels = 16;

// A vertex in clip space (x, y, z, w) or, after projection, in screen space (x, y in pixels,
// z the depth in 0..1 and w holding q = 1 / w).
// Left uninitialised by default: every vertex is filled in whole by the fetch or a clip.
struct TVertex4 {
    double x, y, z, w;
    double u, v;
    float c[kColorCount];  // diffuse a, r, g, b, specular a, r, g, b, 0..255
    // The colours as the vertex gave them (0xAARRGGBB), while c holds exactly these; clipping
    // makes new vertices without them.
    bool packedValid;
    uint32_t packed[2];
};

// Everything a primitive's scan conversion needs besides its vertices.
struct TRasterContext {
    TRect scissor;  // non-empty; pixels [left, right) x [top, bottom)
    TCull cull = TCull::None;
    bool flat = false;
    TPixelPipe* pipe = nullptr;
    bool usesTexture = false;
    bool usesSpecular = false;
    bool usesDepth = false;
    int levelCount = 0;
    const TSurface* levels[kMaxLevels] = {};
    TAddress addressU = TAddress::Wrap;
    TAddress addressV = TAddress::Wrap;
    TFilter magFilter = TFilter::Point;
    TFilter minFilter = TFilter::Point;
    TMipFilter mipFilter = TMipFilter::None;
    bool fastPaths = true;
};

// Clips a convex polygon (count vertices, at most kMaxPolygon after clipping) against the
// clip-space planes w >= wMin and, with nearFar, 0 <= z <= w. Returns the new count.
constexpr int kMaxPolygon = 16;
int ClipPolygonClipSpace(TVertex4* poly, int count, bool nearFar);
// Clips a screen-space polygon against the guard band.
int ClipPolygonGuardBand(TVertex4* poly, int count);
// The same for segments; false when nothing is left.
bool ClipSegmentClipSpace(TVertex4& a, TVertex4& b, bool nearFar);
bool ClipSegmentGuardBand(TVertex4& a, TVertex4& b);

// Clip space to screen space through the viewport; x and y then move by -centreShift (the
// rasterizer's pixel-centre shift).
void ProjectToScreen(TVertex4& v, const TViewport& viewport, double centreShift);

// Scan-converts one screen-space triangle. flatColors (kColorCount values) replaces the
// interpolated colours when the context is flat-shaded.
void RasterTriangle(const TVertex4& v0, const TVertex4& v1, const TVertex4& v2,
                    const float* flatColors, const TRasterContext& ctx);

// Scan-converts one screen-space segment.
void RasterLine(const TVertex4& v0, const TVertex4& v1, const float* flatColors,
                const TRasterContext& ctx);

// Texture coordinates of a primitive reduced for addressing before any integer conversion:
// non-finite values become 0, wrap and mirror shift all of them by the same whole period taken
// from the first vertex, and every value is bounded by kCoordLimit.
void ReduceCoordinates(double* coords, int count, TAddress mode);

// Floor and ceiling of a / b for b > 0.
inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
inline int64_t CeilDiv(int64_t a, int64_t b) {
    return -FloorDiv(-a, b);
}

// Rounds to the nearest integer, halves upwards: floor(v + 1/2). v must be finite and well
// inside the int64 range.
inline int64_t RoundHalfUp(double v) {
    double h = v + 0.5;
    int64_t i = static_cast<int64_t>(h);  // truncates towards zero
    return i - (static_cast<double>(i) > h ? 1 : 0);
}

// A screen coordinate snapped to 1/256 pixel.
inline int64_t Snap(double v) {
    return RoundHalfUp(v * 256.0);
}

// A double clamped to [-limit, limit] and rounded by RoundHalfUp; not-a-number gives 0.
inline int64_t ToFixed(double value, double limit) {
    if (!(value == value)) return 0;
    return RoundHalfUp(value < -limit ? -limit : (value > limit ? limit : value));
}

// The pixels of a horizontal line from snapped X0 to X1 (X0 != X1) on snapped row Y inside the
// scissor, by the line rule of rasterizer.h: columns first..last of `row`. False when none.
inline bool RowLineSpan(int64_t X0, int64_t X1, int64_t Y, const TRect& scissor, int64_t& first,
                        int64_t& last, int64_t& row) {
    // Arithmetic shifts divide by 256 rounding down.
    if (X1 > X0) {
        first = -(-X0 >> 8);
        last = -(-X1 >> 8) - 1;
    } else {
        first = (X1 >> 8) + 1;
        last = X0 >> 8;
    }
    first = std::max<int64_t>(first, scissor.left);
    last = std::min<int64_t>(last, scissor.right - 1);
    row = (Y + 128) >> 8;
    return first <= last && row >= scissor.top && row < scissor.bottom;
}

}  // namespace raster
