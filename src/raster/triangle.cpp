#include <algorithm>
#include <cmath>

#include "raster/setup.h"

namespace raster {

namespace {

constexpr double kFix = 65536.0;

// Geometry of the plane fit: vertex 0 and the two edge vectors from it, in pixels.
struct TFit {
    double x0, y0, dx1, dy1, dx2, dy2, d;
    double ax, ay;  // anchor pixel relative to vertex 0
};

void Gradients(const TFit& f, double a0, double a1, double a2, double& ddx, double& ddy) {
    ddx = ((a1 - a0) * f.dy2 - (a2 - a0) * f.dy1) / f.d;
    ddy = ((a2 - a0) * f.dx1 - (a1 - a0) * f.dx2) / f.d;
}

TPlane FixedPlane(const TFit& f, double a0, double a1, double a2, double scale) {
    double ddx, ddy;
    Gradients(f, a0 * scale, a1 * scale, a2 * scale, ddx, ddy);
    TPlane p;
    p.at = ToFixed((a0 * scale + ddx * f.ax + ddy * f.ay) * kFix, kFixedLimit);
    p.dx = ToFixed(ddx * kFix, kStepLimit);
    p.dy = ToFixed(ddy * kFix, kStepLimit);
    return p;
}

TPlaneF FloatPlane(const TFit& f, double a0, double a1, double a2) {
    TPlaneF p;
    p.at = a0;
    Gradients(f, a0, a1, a2, p.dx, p.dy);
    return p;
}

TLevel LevelOf(const TSurface& s) {
    TLevel l;
    l.pixels = s.Pixels();
    l.pitch = s.Pitch();
    l.width = s.Width();
    l.height = s.Height();
    l.bytesPerPixel = s.BytesPerPixel();
    l.format = s.Format();
    return l;
}

bool SameColor(const float* a, const float* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

}  // namespace

uint32_t PackColor4(const float* c) {
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) {
        out = out << 8 | ChannelOf(ToFixed(static_cast<double>(c[k]) * kFix, kFixedLimit));
    }
    return out;
}

int ChooseLevels(const TRasterContext& ctx, double lambda, TPrimitivePixels& px) {
    bool minify = lambda > 0.0;
    px.filter = minify ? ctx.minFilter : ctx.magFilter;
    int n = ctx.levelCount;
    int first = 0;
    int second = -1;
    int weight = 0;
    if (minify && n > 1) {
        if (ctx.mipFilter == TMipFilter::Point) {
            first = static_cast<int>(std::min<double>(n - 1, std::floor(lambda + 0.5)));
        } else if (ctx.mipFilter == TMipFilter::Linear) {
            double whole = std::floor(lambda);
            if (whole >= n - 1) {
                first = n - 1;
            } else {
                first = static_cast<int>(whole);
                weight = static_cast<int>(std::lround((lambda - whole) * 256.0));
                if (weight >= 256) {
                    ++first;
                    weight = 0;
                } else if (weight > 0) {
                    second = first + 1;
                }
            }
        }
    }
    px.levelCount = second >= 0 ? 2 : 1;
    px.level[0] = LevelOf(*ctx.levels[first]);
    if (second >= 0) px.level[1] = LevelOf(*ctx.levels[second]);
    px.mipWeight = second >= 0 ? weight : 0;
    return first;
}

uint32_t SamplePerspective(const TRasterContext& ctx, double u, double v, double dudx, double dvdx,
                           double dudy, double dvdy) {
    const TSurface& base = *ctx.levels[0];
    double w = base.Width();
    double h = base.Height();
    double rho = std::max(std::hypot(dudx * w, dvdx * h), std::hypot(dudy * w, dvdy * h));
    double lambda = rho > 0.0 ? std::log2(rho) : -1.0;
    TPrimitivePixels px;
    ChooseLevels(ctx, lambda, px);
    uint32_t texel[2];
    for (int k = 0; k < px.levelCount; ++k) {
        const TLevel& l = px.level[k];
        int64_t s = ToFixed(u * l.width * kFix, kFixedLimit);
        int64_t t = ToFixed(v * l.height * kFix, kFixedLimit);
        texel[k] = SampleOne(l, px.filter, ctx.addressU, ctx.addressV, s, t);
    }
    return px.levelCount == 2 ? MipMix(texel[0], texel[1], px.mipWeight) : texel[0];
}

void TTriangleSetup::AttribsAt(int64_t px, int64_t py, TAttribs& out) const {
    int64_t fx = px - ax;
    int64_t fy = py - ay;
    for (int k = 0; k < 2; ++k) {
        out.s[k] = s[k].at + s[k].dx * fx + s[k].dy * fy;
        out.t[k] = t[k].at + t[k].dx * fx + t[k].dy * fy;
    }
    for (int k = 0; k < kColorCount; ++k)
        out.c[k] = c[k].at + c[k].dx * fx + c[k].dy * fy;
    out.z = z.at + z.dx * fx + z.dy * fy;
}

bool TTriangleSetup::OnlyFirstCoordinatesVary() const {
    auto constant = [](const TPlane& p) { return p.dx == 0 && p.dy == 0; };
    bool others = constant(s[1]) && constant(t[1]) && constant(z);
    for (const TPlane& p : c)
        others = others && constant(p);
    return others;
}

void TTriangleSetup::StepX(TAttribs& out) const {
    for (int k = 0; k < 2; ++k) {
        out.s[k] = s[k].dx;
        out.t[k] = t[k].dx;
    }
    for (int k = 0; k < kColorCount; ++k)
        out.c[k] = c[k].dx;
    out.z = z.dx;
}

void TTriangleSetup::StepY(TAttribs& out) const {
    for (int k = 0; k < 2; ++k) {
        out.s[k] = s[k].dy;
        out.t[k] = t[k].dy;
    }
    for (int k = 0; k < kColorCount; ++k)
        out.c[k] = c[k].dy;
    out.z = z.dy;
}

bool SetupTriangle(const TVertex4& v0, const TVertex4& v1, const TVertex4& v2,
                   const float* flatColors, const TRasterContext& ctx, TTriangleSetup& out) {
    const TVertex4* v[3] = {&v0, &v1, &v2};
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = Snap(v[i]->x);
        Y[i] = Snap(v[i]->y);
    }
    int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return false;
    if (ctx.cull == TCull::Clockwise && area > 0) return false;
    if (ctx.cull == TCull::CounterClockwise && area < 0) return false;
    int order[3] = {0, 1, 2};
    if (area < 0) std::swap(order[1], order[2]);
    for (int i = 0; i < 3; ++i) {
        out.X[i] = X[order[i]];
        out.Y[i] = Y[order[i]];
    }

    // Planes are fitted on the snapped positions, around vertex 0 as given, anchored at the
    // pixel nearest to it; triangles that share their first vertex (a fan) share the anchor.
    TFit f;
    f.x0 = X[0] / 256.0;
    f.y0 = Y[0] / 256.0;
    f.dx1 = (X[1] - X[0]) / 256.0;
    f.dy1 = (Y[1] - Y[0]) / 256.0;
    f.dx2 = (X[2] - X[0]) / 256.0;
    f.dy2 = (Y[2] - Y[0]) / 256.0;
    f.d = f.dx1 * f.dy2 - f.dx2 * f.dy1;
    out.ax = (X[0] + 128) >> 8;
    out.ay = (Y[0] + 128) >> 8;
    f.ax = static_cast<double>(out.ax) - f.x0;
    f.ay = static_cast<double>(out.ay) - f.y0;

    out.perspective = !(v0.w == v1.w && v1.w == v2.w);
    TPrimitivePixels& px = out.pixels;
    px = TPrimitivePixels();

    // Texture coordinates and the level choice.
    double u[3] = {v0.u, v1.u, v2.u};
    double w[3] = {v0.v, v1.v, v2.v};
    for (int k = 0; k < 2; ++k)
        out.s[k] = out.t[k] = TPlane();
    if (ctx.usesTexture && ctx.levelCount > 0) {
        ReduceCoordinates(u, 3, ctx.addressU);
        ReduceCoordinates(w, 3, ctx.addressV);
        if (out.perspective) {
            // Sampled pixel by pixel; level 0 stands for the format.
            px.levelCount = 1;
            px.level[0] = LevelOf(*ctx.levels[0]);
        } else {
            const TSurface& base = *ctx.levels[0];
            TPlane s0 = FixedPlane(f, u[0], u[1], u[2], base.Width());
            TPlane t0 = FixedPlane(f, w[0], w[1], w[2], base.Height());
            // The level of detail chooses among levels, or between two filters; with one level
            // and one filter it chooses nothing, and is not worked out.
            double lambda = -1.0;
            if (ctx.levelCount > 1 || ctx.minFilter != ctx.magFilter) {
                double rho = std::max(std::hypot(s0.dx / kFix, t0.dx / kFix),
                                      std::hypot(s0.dy / kFix, t0.dy / kFix));
                lambda = rho > 0.0 ? std::log2(rho) : -1.0;
            }
            int first = ChooseLevels(ctx, lambda, px);
            for (int k = 0; k < px.levelCount; ++k) {
                if (first + k == 0) {
                    out.s[k] = s0;
                    out.t[k] = t0;
                } else {
                    out.s[k] = FixedPlane(f, u[0], u[1], u[2], px.level[k].width);
                    out.t[k] = FixedPlane(f, w[0], w[1], w[2], px.level[k].height);
                }
            }
        }
    }

    // Colours: constant when flat or equal at the three vertices.
    const float* cols[3] = {v0.c, v1.c, v2.c};
    for (int group = 0; group < 2; ++group) {
        int first = group * 4;
        bool constant = flatColors != nullptr || (SameColor(v0.c + first, v1.c + first) &&
                                                  SameColor(v0.c + first, v2.c + first));
        const float* source = flatColors ? flatColors : v0.c;
        uint32_t packed = PackColor4(source + first);
        if (group == 0) {
            px.diffuseConstant = constant;
            px.diffuse = packed;
        } else {
            px.specularConstant = constant || !ctx.usesSpecular;
            px.specular = packed;
        }
        for (int k = first; k < first + 4; ++k) {
            if (constant) {
                out.c[k] = TPlane{ToFixed(source[k] * kFix, kFixedLimit), 0, 0};
            } else {
                out.c[k] = FixedPlane(f, cols[0][k], cols[1][k], cols[2][k], 1.0);
            }
        }
    }

    // Depth in 16-bit steps; z is linear on the screen even under perspective.
    if (ctx.usesDepth) {
        auto depth = [](double z) { return std::clamp(z, -2.0, 2.0) * 65535.0; };
        out.z = FixedPlane(f, depth(v0.z), depth(v1.z), depth(v2.z), 1.0);
    } else {
        out.z = TPlane();
    }

    if (out.perspective) {
        out.x0 = f.x0;
        out.y0 = f.y0;
        out.q = FloatPlane(f, v0.w, v1.w, v2.w);
        out.uq = FloatPlane(f, u[0] * v0.w, u[1] * v1.w, u[2] * v2.w);
        out.vq = FloatPlane(f, w[0] * v0.w, w[1] * v1.w, w[2] * v2.w);
        for (int k = 0; k < kColorCount; ++k) {
            if (flatColors) {
                out.cq[k] =
                    FloatPlane(f, flatColors[k] * v0.w, flatColors[k] * v1.w, flatColors[k] * v2.w);
            } else {
                out.cq[k] = FloatPlane(f, cols[0][k] * v0.w, cols[1][k] * v1.w, cols[2][k] * v2.w);
            }
        }
    }
    return true;
}

namespace {

// Shades one span of a perspective triangle pixel by pixel.
void PerspectiveSpan(const TTriangleSetup& st, const TRasterContext& ctx, int64_t xl, int64_t py,
                     int count) {
    TPixelValues values;
    bool textured = ctx.usesTexture && ctx.levelCount > 0;
    while (count > 0) {
        int n = std::min(kChunk, count);
        for (int i = 0; i < n; ++i) {
            double fx = static_cast<double>(xl + i) - st.x0;
            double fy = static_cast<double>(py) - st.y0;
            double q = st.q.At(fx, fy);
            if (!(q > 0.0)) q = 1e-300;
            double u = st.uq.At(fx, fy) / q;
            double v = st.vq.At(fx, fy) / q;
            if (textured) {
                double dudx = (st.uq.dx - u * st.q.dx) / q;
                double dvdx = (st.vq.dx - v * st.q.dx) / q;
                double dudy = (st.uq.dy - u * st.q.dy) / q;
                double dvdy = (st.vq.dy - v * st.q.dy) / q;
                values.texel[i] = SamplePerspective(ctx, u, v, dudx, dvdx, dudy, dvdy);
            }
            float c[kColorCount];
            for (int k = 0; k < kColorCount; ++k) {
                c[k] = static_cast<float>(st.cq[k].At(fx, fy) / q);
            }
            values.diffuse[i] = PackColor4(c);
            values.specular[i] = PackColor4(c + 4);
            int64_t dz = xl + i - st.ax;
            values.depth[i] = DepthOf(st.z.at + st.z.dx * dz + st.z.dy * (py - st.ay));
        }
        ctx.pipe->SpanValues(static_cast<int>(xl), static_cast<int>(py), n, values);
        xl += n;
        count -= n;
    }
}

}  // namespace

void TraverseTriangle(const TTriangleSetup& st, const TRasterContext& ctx) {
    TraverseConvex(st, st.X, st.Y, 3, ctx);
}

void TraverseConvex(const TTriangleSetup& st, const int64_t* X, const int64_t* Y, int n,
                    const TRasterContext& ctx) {
    int64_t minY = *std::min_element(Y, Y + n);
    int64_t maxY = *std::max_element(Y, Y + n);
    int64_t top = std::max<int64_t>(ctx.scissor.top, CeilDiv(minY, 256));
    int64_t bottom = std::min<int64_t>(ctx.scissor.bottom - 1, FloorDiv(maxY, 256));
    if (top > bottom) return;

    // Edge a -> b covers pixel centre P when (Xb - Xa)(Py - Ya) - (Yb - Ya)(Px - Xa) >= bias,
    // bias 0 on top and left edges and 1 on the others. Along a row that is A px + B(py) >= 0,
    // so the edge bounds the row at px >= ceil(-B / A) when A > 0 and px <= floor(B / -A) when
    // A < 0. B grows by a constant from row to row: the quotient floor(B / |A|) is carried from
    // row to row with its remainder instead of divided anew.
    struct TEdge {
        int64_t a;                // A: the edge bounds the left side when positive
        int64_t q, r;             // floor(B / |A|) and its remainder; B itself when A = 0
        int64_t stepQ, stepR, d;  // the same for the change of B per row; d = |A|
    } edges[4];
    for (int i = 0; i < n; ++i) {
        int j = (i + 1) % n;
        int64_t dx = X[j] - X[i];
        int64_t dy = Y[j] - Y[i];
        bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        TEdge& e = edges[i];
        e.a = -dy * 256;
        int64_t b = dx * (top * 256 - Y[i]) + dy * X[i] - (topLeft ? 0 : 1);
        int64_t step = dx * 256;
        if (e.a == 0) {
            e.q = b;
            e.stepQ = step;
            e.r = e.stepR = 0;
            e.d = 1;
        } else {
            e.d = e.a > 0 ? e.a : -e.a;
            e.q = FloorDiv(b, e.d);
            e.r = b - e.q * e.d;
            e.stepQ = FloorDiv(step, e.d);
            e.stepR = step - e.stepQ * e.d;
        }
    }

    TAttribs at, step;
    st.StepX(step);
    // Constant attributes are set once; a sprite then only moves its texture coordinates.
    bool coordinatesOnly = !st.perspective && st.OnlyFirstCoordinatesVary();
    if (coordinatesOnly) st.AttribsAt(ctx.scissor.left, top, at);
    for (int64_t py = top; py <= bottom; ++py) {
        int64_t xl = ctx.scissor.left;
        int64_t xr = ctx.scissor.right - 1;
        for (int i = 0; i < n; ++i) {
            TEdge& e = edges[i];
            if (e.a > 0) {
                xl = std::max(xl, -e.q);
            } else if (e.a < 0) {
                xr = std::min(xr, e.q);
            } else if (e.q < 0) {
                xr = xl - 1;
            }
            e.q += e.stepQ;
            e.r += e.stepR;
            if (e.r >= e.d) {
                ++e.q;
                e.r -= e.d;
            }
        }
        if (xl > xr) continue;
        int count = static_cast<int>(xr - xl + 1);
        if (st.perspective) {
            PerspectiveSpan(st, ctx, xl, py, count);
        } else {
            if (coordinatesOnly) {
                st.FirstCoordinatesAt(xl, py, at);
            } else {
                st.AttribsAt(xl, py, at);
            }
            ctx.pipe->Span(static_cast<int>(xl), static_cast<int>(py), count, at, step);
        }
    }
}

void RasterTriangle(const TVertex4& v0, const TVertex4& v1, const TVertex4& v2,
                    const float* flatColors, const TRasterContext& ctx) {
    TTriangleSetup setup;
    if (!SetupTriangle(v0, v1, v2, flatColors, ctx, setup)) return;
    ctx.pipe->SetPrimitive(setup.pixels);
    TraverseTriangle(setup, ctx);
}

}  // namespace raster
