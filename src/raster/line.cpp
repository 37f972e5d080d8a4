// Lines: the covered pixels along the major axis are those whose centre lies in the half-open
// interval from the start point towards the end point; on each, the minor coordinate of the line
// picks the pixel whose centre is nearest, a tie going to the larger coordinate.
#include <algorithm>
#include <cmath>

#include "raster/setup.h"

namespace raster {

namespace {

constexpr double kFix = 65536.0;
const TAttribs kNoStep{};

// An attribute along the line: its value at the anchor pixel of the major axis and its step
// per pixel along that axis.
struct TLinear {
    int64_t at = 0;
    int64_t step = 0;
    int64_t At(int64_t m, int64_t anchor) const { return at + step * (m - anchor); }
};

TLinear LinearOf(double a0, double a1, double tAnchor, double perPixel) {
    return TLinear{ToFixed((a0 + (a1 - a0) * tAnchor) * kFix, kFixedLimit),
                   ToFixed((a1 - a0) * perPixel * kFix, kStepLimit)};
}

}  // namespace

void RasterLine(const TVertex4& a, const TVertex4& b, const float* flatColors,
                const TRasterContext& ctx) {
    int64_t X0 = Snap(a.x), Y0 = Snap(a.y);
    int64_t X1 = Snap(b.x), Y1 = Snap(b.y);
    int64_t DX = X1 - X0, DY = Y1 - Y0;
    if (DX == 0 && DY == 0) return;
    bool xMajor = std::llabs(DX) >= std::llabs(DY);
    int64_t M0 = xMajor ? X0 : Y0, N0 = xMajor ? Y0 : X0;
    int64_t DM = xMajor ? DX : DY, DN = xMajor ? DY : DX;

    // Covered pixels of the major axis: centres in [M0, M1) going up, (M1, M0] going down.
    int64_t first, last, anchor;
    if (DM > 0) {
        first = CeilDiv(M0, 256);
        last = CeilDiv(M0 + DM, 256) - 1;
        anchor = first;
    } else {
        first = FloorDiv(M0 + DM, 256) + 1;
        last = FloorDiv(M0, 256);
        anchor = last;
    }
    int64_t lowMajor = xMajor ? ctx.scissor.left : ctx.scissor.top;
    int64_t highMajor = (xMajor ? ctx.scissor.right : ctx.scissor.bottom) - 1;
    first = std::max(first, lowMajor);
    last = std::min(last, highMajor);
    if (first > last) return;

    const float* ca = flatColors ? flatColors : a.c;
    const float* cb = flatColors ? flatColors : b.c;
    bool textured = ctx.usesTexture && ctx.levelCount > 0;
    if (ctx.fastPaths && DY == 0 && a.w == b.w && !textured && (!ctx.usesDepth || a.z == b.z)) {
        // A horizontal line of one colour: one span with constant attributes, as the general
        // path below would find them.
        bool packed = a.packedValid &&
                      (flatColors != nullptr ||
                       (b.packedValid && a.packed[0] == b.packed[0] && a.packed[1] == b.packed[1]));
        if (packed || std::equal(ca, ca + kColorCount, cb)) {
            int64_t row = FloorDiv(Y0 + 128, 256);
            if (row < ctx.scissor.top || row >= ctx.scissor.bottom) return;
            uint32_t diffuse = packed ? a.packed[0] : PackColor4(ca);
            uint32_t specular = packed ? a.packed[1] : PackColor4(ca + 4);
            ctx.pipe->SetConstantColors(diffuse, specular);
            TAttribs at;
            at.s[0] = at.s[1] = at.t[0] = at.t[1] = at.z = 0;
            for (int k = 0; k < 4; ++k) {
                at.c[k] = static_cast<int64_t>(diffuse >> (24 - 8 * k) & 0xFF) << 16;
                at.c[4 + k] = static_cast<int64_t>(specular >> (24 - 8 * k) & 0xFF) << 16;
            }
            if (!packed) {
                for (int k = 0; k < kColorCount; ++k)
                    at.c[k] = ToFixed(ca[k] * kFix, kFixedLimit);
            }
            if (ctx.usesDepth) {
                at.z = ToFixed(std::clamp(a.z, -2.0, 2.0) * 65535.0 * kFix, kFixedLimit);
            }
            ctx.pipe->Span(static_cast<int>(first), static_cast<int>(row),
                           static_cast<int>(last - first + 1), at, kNoStep);
            return;
        }
    }

    // Parameter of the anchor pixel and per major pixel.
    double tAnchor = static_cast<double>(anchor * 256 - M0) / static_cast<double>(DM);
    double perPixel = 256.0 / static_cast<double>(DM);
    bool perspective = a.w != b.w;

    TPrimitivePixels px;
    double u[2] = {a.u, b.u};
    double v[2] = {a.v, b.v};
    TLinear s[2], t[2];
    if (textured) {
        ReduceCoordinates(u, 2, ctx.addressU);
        ReduceCoordinates(v, 2, ctx.addressV);
        const TSurface& base = *ctx.levels[0];
        double rho = std::hypot((u[1] - u[0]) * base.Width(), (v[1] - v[0]) * base.Height()) *
                     std::fabs(perPixel);
        ChooseLevels(ctx, rho > 0.0 ? std::log2(rho) : -1.0, px);
        for (int k = 0; k < px.levelCount; ++k) {
            s[k] = LinearOf(u[0] * px.level[k].width, u[1] * px.level[k].width, tAnchor, perPixel);
            t[k] =
                LinearOf(v[0] * px.level[k].height, v[1] * px.level[k].height, tAnchor, perPixel);
        }
    }
    TLinear c[kColorCount];
    for (int group = 0; group < 2; ++group) {
        int base = group * 4;
        bool constant = true;
        for (int k = base; k < base + 4; ++k) {
            c[k] = LinearOf(ca[k], cb[k], tAnchor, perPixel);
            constant = constant && ca[k] == cb[k];
        }
        if (group == 0) {
            px.diffuseConstant = constant;
            px.diffuse = PackColor4(ca);
        } else {
            px.specularConstant = constant || !ctx.usesSpecular;
            px.specular = PackColor4(ca + 4);
        }
    }
    auto depth = [](double z) { return std::clamp(z, -2.0, 2.0) * 65535.0; };
    TLinear z = ctx.usesDepth ? LinearOf(depth(a.z), depth(b.z), tAnchor, perPixel) : TLinear();
    if (perspective && textured) px.levelCount = 1;  // sampled per pixel
    ctx.pipe->SetPrimitive(px);

    auto attribsAt = [&](int64_t m, TAttribs& out) {
        for (int k = 0; k < 2; ++k) {
            out.s[k] = s[k].At(m, anchor);
            out.t[k] = t[k].At(m, anchor);
        }
        for (int k = 0; k < kColorCount; ++k)
            out.c[k] = c[k].At(m, anchor);
        out.z = z.At(m, anchor);
    };
    TAttribs step{};
    if (xMajor) {
        for (int k = 0; k < 2; ++k) {
            step.s[k] = s[k].step;
            step.t[k] = t[k].step;
        }
        for (int k = 0; k < kColorCount; ++k)
            step.c[k] = c[k].step;
        step.z = z.step;
    }

    // Minor coordinate of a major pixel: floor((n + 128) / 256), n the line's minor position.
    auto minorAt = [&](int64_t m) {
        int64_t num = N0 * DM + (m * 256 - M0) * DN + 128 * DM;
        return DM > 0 ? FloorDiv(num, 256 * DM) : FloorDiv(-num, -256 * DM);
    };
    int64_t lowMinor = xMajor ? ctx.scissor.top : ctx.scissor.left;
    int64_t highMinor = (xMajor ? ctx.scissor.bottom : ctx.scissor.right) - 1;
    TAttribs at;

    if (perspective) {
        // Pixel by pixel, with the parameter corrected through q.
        TPixelValues values;
        for (int64_t m = first; m <= last; ++m) {
            int64_t n = minorAt(m);
            if (n < lowMinor || n > highMinor) continue;
            double tl = static_cast<double>(m * 256 - M0) / static_cast<double>(DM);
            double q = a.w * (1 - tl) + b.w * tl;
            double tp = q > 0.0 ? b.w * tl / q : tl;
            if (textured) {
                double uu = u[0] + (u[1] - u[0]) * tp;
                double vv = v[0] + (v[1] - v[0]) * tp;
                double du = (u[1] - u[0]) * perPixel;
                double dv = (v[1] - v[0]) * perPixel;
                values.texel[0] = xMajor ? SamplePerspective(ctx, uu, vv, du, dv, 0, 0)
                                         : SamplePerspective(ctx, uu, vv, 0, 0, du, dv);
            }
            float col[kColorCount];
            for (int k = 0; k < kColorCount; ++k) {
                col[k] = static_cast<float>(ca[k] + (cb[k] - ca[k]) * tp);
            }
            values.diffuse[0] = PackColor4(col);
            values.specular[0] = PackColor4(col + 4);
            values.depth[0] = DepthOf(z.At(m, anchor));
            int x = static_cast<int>(xMajor ? m : n);
            int y = static_cast<int>(xMajor ? n : m);
            ctx.pipe->SpanValues(x, y, 1, values);
        }
        return;
    }

    if (!xMajor) {
        for (int64_t m = first; m <= last; ++m) {
            int64_t n = minorAt(m);
            if (n < lowMinor || n > highMinor) continue;
            attribsAt(m, at);
            ctx.pipe->Span(static_cast<int>(n), static_cast<int>(m), 1, at, kNoStep);
        }
        return;
    }

    // Runs of neighbouring columns on the same row become one span.
    int64_t runStart = first;
    int64_t runRow = minorAt(first);
    for (int64_t m = first + 1; m <= last + 1; ++m) {
        int64_t row = m <= last ? minorAt(m) : runRow + 1;
        if (m <= last && row == runRow) continue;
        if (runRow >= lowMinor && runRow <= highMinor) {
            attribsAt(runStart, at);
            ctx.pipe->Span(static_cast<int>(runStart), static_cast<int>(runRow),
                           static_cast<int>(m - runStart), at, step);
        }
        runStart = m;
        runRow = row;
    }
}

}  // namespace raster
