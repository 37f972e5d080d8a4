// Internal to the rasterizer: the fixed-point set-up of a triangle (edges, attribute planes,
// texture level choice), shared by the triangle scan conversion and the rectangle fast path.
#pragma once

#include <cstdint>

#include "raster/geometry.h"

namespace raster {

// An attribute as a plane in 16.16 fixed point: its value at the anchor pixel and its steps
// per pixel along x and y.
struct TPlane {
    int64_t at = 0;
    int64_t dx = 0;
    int64_t dy = 0;
    friend bool operator==(const TPlane&, const TPlane&) = default;
};

// A plane in double precision around a vertex, for perspective-correct attributes (which are
// planes when multiplied by q = 1 / w).
struct TPlaneF {
    double at = 0;
    double dx = 0;
    double dy = 0;
    double At(double x, double y) const { return at + dx * x + dy * y; }
};

struct TTriangleSetup {
    int64_t X[3], Y[3];      // snapped vertices (8 fractional bits), in positive (clockwise) order
    int64_t ax = 0, ay = 0;  // anchor pixel of the fixed-point planes
    TPrimitivePixels pixels;
    TPlane s[2], t[2], c[kColorCount], z;
    bool perspective = false;
    // Perspective planes around vertex 0 (x0, y0): q, u q, v q and the colours times q.
    double x0 = 0, y0 = 0;
    TPlaneF q, uq, vq, cq[kColorCount];

    // The fixed-point attributes at pixel (px, py), and their step per pixel along x.
    void AttribsAt(int64_t px, int64_t py, TAttribs& out) const;
    // Whether only the first level's texture coordinates change over the primitive (the
    // sprite's case), and the same update of `out`, whose other attributes were set before.
    bool OnlyFirstCoordinatesVary() const;
    void FirstCoordinatesAt(int64_t px, int64_t py, TAttribs& out) const {
        out.s[0] = s[0].at + s[0].dx * (px - ax) + s[0].dy * (py - ay);
        out.t[0] = t[0].at + t[0].dx * (px - ax) + t[0].dy * (py - ay);
    }
    void StepX(TAttribs& out) const;
    void StepY(TAttribs& out) const;
};

// Snaps, culls and sets up a screen-space triangle. False when it covers nothing (zero area,
// culled).
bool SetupTriangle(const TVertex4& v0, const TVertex4& v1, const TVertex4& v2,
                   const float* flatColors, const TRasterContext& ctx, TTriangleSetup& out);

// Walks the rows of a set-up triangle and hands its spans to the context's pipe.
void TraverseTriangle(const TTriangleSetup& setup, const TRasterContext& ctx);
// The same for a convex polygon of n (3 or 4) snapped vertices in positive (clockwise) order
// whose attributes are the planes of `setup`: the pixels its triangles of a fan would cover
// together, one span per row.
void TraverseConvex(const TTriangleSetup& setup, const int64_t* X, const int64_t* Y, int n,
                    const TRasterContext& ctx);

// The levels, filter and mip weight for a level-of-detail lambda (log2 of texels per pixel on
// level 0). Fills levelCount, level[], mipWeight and filter; returns the index of the first
// chosen level.
int ChooseLevels(const TRasterContext& ctx, double lambda, TPrimitivePixels& pixels);

// One texel of a perspective-correct pixel: coordinates u, v (already reduced) and their
// derivatives along x and y in coordinate units per pixel.
uint32_t SamplePerspective(const TRasterContext& ctx, double u, double v, double dudx, double dvdx,
                           double dudy, double dvdy);

// A colour of kColorCount floats at `first` packed as 0xAARRGGBB, channels rounded.
uint32_t PackColor4(const float* c);

}  // namespace raster
