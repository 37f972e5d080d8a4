// The quad fast path: a fan of four vertices whose two triangles set up identical attribute
// planes is drawn as one primitive. An axis-aligned rectangle on the screen goes row by row over
// the rectangle (or through the one-to-one and scaled rectangle blits); any other strictly
// convex quad goes row by row with one span per row. The two triangles would cover exactly the
// quad's pixels (top-left rule: their shared edge gives each of its pixels to one of them) and
// give every pixel the same attributes, so the bytes are the same; only the edge walking and the
// second span of each row are saved.
#include <algorithm>
#include <cmath>

#include "raster/rasterizer.h"
#include "raster/setup.h"

namespace raster {

namespace {

bool SameLevel(const TLevel& a, const TLevel& b) {
    return a.pixels == b.pixels && a.width == b.width && a.height == b.height &&
           a.format == b.format;
}

bool SamePixels(const TPrimitivePixels& a, const TPrimitivePixels& b) {
    if (a.levelCount != b.levelCount || a.mipWeight != b.mipWeight || a.filter != b.filter ||
        a.diffuseConstant != b.diffuseConstant || a.specularConstant != b.specularConstant ||
        a.diffuse != b.diffuse || a.specular != b.specular) {
        return false;
    }
    for (int k = 0; k < a.levelCount; ++k) {
        if (!SameLevel(a.level[k], b.level[k])) return false;
    }
    return true;
}

bool SamePlanes(const TTriangleSetup& a, const TTriangleSetup& b) {
    for (int k = 0; k < 2; ++k) {
        if (!(a.s[k] == b.s[k]) || !(a.t[k] == b.t[k])) return false;
    }
    for (int k = 0; k < kColorCount; ++k) {
        if (!(a.c[k] == b.c[k])) return false;
    }
    return a.z == b.z && a.ax == b.ax && a.ay == b.ay;
}

// The turn from edge a -> b to edge b -> c: positive when clockwise on the screen (y down).
int64_t Cross(const int64_t* X, const int64_t* Y, int a, int b, int c) {
    return (X[b] - X[a]) * (Y[c] - Y[b]) - (Y[b] - Y[a]) * (X[c] - X[b]);
}

// Four vertices turning the same way at every corner, none in line with its neighbours.
bool StrictlyConvex(const int64_t* X, const int64_t* Y) {
    bool positive = false, negative = false;
    for (int i = 0; i < 4; ++i) {
        int64_t turn = Cross(X, Y, i, (i + 1) % 4, (i + 2) % 4);
        if (turn == 0) return false;
        (turn > 0 ? positive : negative) = true;
    }
    return positive != negative;
}

}  // namespace

bool TRasterizer::TryRectangle(const void* vertices, const TRasterContext& ctx) {
    TVertex4 v[4];
    for (int i = 0; i < 4; ++i) {
        if (!FetchVertex(vertices, i, v[i])) return false;
    }
    if (mFormat != TVertexFormat::Transformed) {
        for (const TVertex4& p : v) {
            if (!(p.w > 1e-6) || (mState.clipping && (p.z < 0.0 || p.z > p.w))) return false;
        }
        for (TVertex4& p : v)
            ProjectToScreen(p, mViewport, mCentreShift);
    }
    int64_t X[4], Y[4];
    for (int i = 0; i < 4; ++i) {
        if (std::fabs(v[i].x) > kGuardBand || std::fabs(v[i].y) > kGuardBand) return false;
        if (v[i].w != v[0].w) return false;
        X[i] = Snap(v[i].x);
        Y[i] = Snap(v[i].y);
    }
    bool across = X[0] == X[3] && X[1] == X[2] && Y[0] == Y[1] && Y[2] == Y[3];
    bool down = X[0] == X[1] && X[2] == X[3] && Y[1] == Y[2] && Y[0] == Y[3];
    bool rectangle = across || down;
    if (!rectangle && !StrictlyConvex(X, Y)) return false;
    if (ctx.flat) return false;

    TTriangleSetup first, second;
    bool drawsFirst = SetupTriangle(v[0], v[1], v[2], nullptr, ctx, first);
    bool drawsSecond = SetupTriangle(v[0], v[2], v[3], nullptr, ctx, second);
    if (!drawsFirst && !drawsSecond) return true;  // culled or empty, as both triangles
    if (!drawsFirst || !drawsSecond || first.perspective || !SamePlanes(first, second) ||
        !SamePixels(first.pixels, second.pixels)) {
        return false;
    }

    if (!rectangle) {
        // A turned quad: one span per row instead of one per triangle, over the same pixels.
        mStats.primitives += 2;
        mPipe.SetPrimitive(first.pixels);
        if (Cross(X, Y, 0, 1, 2) < 0) {
            std::swap(X[1], X[3]);
            std::swap(Y[1], Y[3]);
        }
        TraverseConvex(first, X, Y, 4, ctx);
        return true;
    }

    int64_t minX = std::min({X[0], X[1], X[2], X[3]});
    int64_t maxX = std::max({X[0], X[1], X[2], X[3]});
    int64_t minY = std::min({Y[0], Y[1], Y[2], Y[3]});
    int64_t maxY = std::max({Y[0], Y[1], Y[2], Y[3]});
    int64_t left = std::max<int64_t>(ctx.scissor.left, CeilDiv(minX, 256));
    int64_t right = std::min<int64_t>(ctx.scissor.right, CeilDiv(maxX, 256));
    int64_t top = std::max<int64_t>(ctx.scissor.top, CeilDiv(minY, 256));
    int64_t bottom = std::min<int64_t>(ctx.scissor.bottom, CeilDiv(maxY, 256));
    mStats.primitives += 2;
    if (left >= right || top >= bottom) return true;
    mPipe.SetPrimitive(first.pixels);
    TAttribs at, step, stepY;
    first.StepX(step);
    first.StepY(stepY);
    first.AttribsAt(left, top, at);
    if (mPipe.BlitRect(static_cast<int>(left), static_cast<int>(top),
                       static_cast<int>(right - left), static_cast<int>(bottom - top), at, step,
                       stepY) ||
        mPipe.ScaledRect(static_cast<int>(left), static_cast<int>(top),
                         static_cast<int>(right - left), static_cast<int>(bottom - top), at, step,
                         stepY)) {
        return true;
    }
    for (int64_t py = top; py < bottom; ++py) {
        first.AttribsAt(left, py, at);
        mPipe.Span(static_cast<int>(left), static_cast<int>(py), static_cast<int>(right - left), at,
                   step);
    }
    return true;
}

}  // namespace raster
