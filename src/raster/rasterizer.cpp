#include "raster/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/setup.h"
#include "raster/surfaceops.h"
#include "raster/transform.h"

namespace raster {

namespace {

void ColorToFloats(uint32_t argb, float* out) {
    out[0] = static_cast<float>(argb >> 24);
    out[1] = static_cast<float>(argb >> 16 & 0xFF);
    out[2] = static_cast<float>(argb >> 8 & 0xFF);
    out[3] = static_cast<float>(argb & 0xFF);
}

void SetColors(uint32_t diffuse, uint32_t specular, TVertex4& out) {
    ColorToFloats(diffuse, out.c);
    ColorToFloats(specular, out.c + 4);
    out.packedValid = true;
    out.packed[0] = diffuse;
    out.packed[1] = specular;
}

bool Finite(const TVertex4& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

float LitChannel(float emissive, float ambient, float material) {
    float v = std::clamp(emissive + ambient * material, 0.0f, 1.0f);
    return std::round(v * 255.0f);
}

}  // namespace

TRasterizer::TRasterizer(TSimd simd) : mKernels(&GetKernels(simd)) {}

void TRasterizer::SetTexture(const TSurface* const* levels, int count) {
    mLevelCount = 0;
    if (levels == nullptr || count <= 0) return;
    count = std::min(count, kMaxLevels);
    for (int i = 0; i < count; ++i) {
        if (levels[i] == nullptr || levels[i]->IsEmpty() || !IsRenderFormat(levels[i]->Format())) {
            return;
        }
    }
    std::copy(levels, levels + count, mLevels);
    mLevelCount = count;
}

void TRasterizer::SetPixelCentreShift(float shift) {
    mCentreShift = std::isfinite(shift) ? std::clamp(static_cast<double>(shift), -1.0, 1.0) : 0.0;
}

TRasterStats TRasterizer::Stats() const {
    TRasterStats s = mStats;
    s.fragments = mPipe.fragments;
    return s;
}

void TRasterizer::ResetStats() {
    mStats = TRasterStats();
    mPipe.fragments = 0;
}

TRect TRasterizer::ScissorRect() const {
    // In 64 bits: a viewport near the ends of the int range must not wrap around.
    auto span = [](int origin, int size, int limit, int& low, int& high) {
        int64_t from = std::max<int64_t>(origin, 0);
        int64_t to = std::min<int64_t>(static_cast<int64_t>(origin) + std::max(size, 0), limit);
        low = static_cast<int>(std::min<int64_t>(from, limit));
        high = static_cast<int>(std::max<int64_t>(to, low));
    };
    TRect r;
    span(mViewport.x, mViewport.width, mTarget->Width(), r.left, r.right);
    span(mViewport.y, mViewport.height, mTarget->Height(), r.top, r.bottom);
    return r;
}

bool TRasterizer::Prepare(TRasterContext& ctx) {
    ctx.scissor = ScissorRect();
    if (ctx.scissor.right <= ctx.scissor.left || ctx.scissor.bottom <= ctx.scissor.top) {
        return false;
    }
    const TRenderState& rs = mState;
    TPipeConfig pc;
    pc.target = mTarget;
    pc.targetFormat = mAlphaInXByte && mTarget->Format() == TPixelFormat::X8R8G8B8
                          ? TPixelFormat::A8R8G8B8
                          : mTarget->Format();
    bool depthUsable = mDepth != nullptr && mDepth->Format() == TPixelFormat::D16 &&
                       mDepth->Width() >= mTarget->Width() && mDepth->Height() >= mTarget->Height();
    pc.depthTest = rs.zEnable && depthUsable;
    pc.depthWrite = pc.depthTest && rs.zWriteEnable;
    pc.depth = pc.depthTest ? mDepth : nullptr;
    pc.depthFunc = rs.zFunc;
    pc.alphaTest = rs.alphaTestEnable;
    pc.alphaFunc = rs.alphaFunc;
    pc.alphaRef = rs.alphaRef;
    pc.blend = rs.alphaBlendEnable;
    pc.srcBlend = rs.srcBlend;
    pc.destBlend = rs.destBlend;
    pc.specular = rs.specularEnable;
    pc.stage = rs.stage0;
    pc.textureFactor = rs.textureFactor;
    pc.textured = mLevelCount > 0;
    pc.fastPaths = mFastPaths;
    pc.kernels = mFastPaths ? mKernels : &ScalarKernels();
    mPipe.Configure(pc);

    ctx.cull = rs.cullMode;
    ctx.flat = rs.shadeMode == TShade::Flat;
    ctx.pipe = &mPipe;
    ctx.usesTexture = mLevelCount > 0;
    ctx.usesSpecular = true;
    ctx.usesDepth = pc.depthTest;
    ctx.levelCount = mLevelCount;
    std::copy(mLevels, mLevels + mLevelCount, ctx.levels);
    ctx.addressU = rs.stage0.addressU;
    ctx.addressV = rs.stage0.addressV;
    ctx.magFilter = rs.stage0.magFilter;
    ctx.minFilter = rs.stage0.minFilter;
    ctx.mipFilter = rs.stage0.mipFilter;
    ctx.fastPaths = mFastPaths;
    return true;
}

void TRasterizer::Transform(float x, float y, float z, TVertex4& out) const {
    double r[4];
    for (int c = 0; c < 4; ++c) {
        r[c] = x * mMatrix[c] + y * mMatrix[4 + c] + z * mMatrix[8 + c] + mMatrix[12 + c];
    }
    out.x = r[0];
    out.y = r[1];
    out.z = r[2];
    out.w = r[3];
}

bool TRasterizer::FetchVertex(const void* vertices, int index, TVertex4& out) const {
    const uint8_t* p = static_cast<const uint8_t*>(vertices) + static_cast<size_t>(index) * 32;
    switch (mFormat) {
        case TVertexFormat::Transformed: {
            TTransformedVertex v;
            std::memcpy(&v, p, sizeof v);
            out.x = v.x - mCentreShift;
            out.y = v.y - mCentreShift;
            out.z = v.z;
            if (!std::isfinite(v.rhw)) return false;
            out.w = v.rhw > 0.0f ? v.rhw : 1.0;
            out.u = v.u;
            out.v = v.v;
            SetColors(v.diffuse, v.specular, out);
            return Finite(out);
        }
        case TVertexFormat::Lit: {
            TLitVertex v;
            std::memcpy(&v, p, sizeof v);
            Transform(v.x, v.y, v.z, out);
            out.u = v.u;
            out.v = v.v;
            SetColors(v.diffuse, v.specular, out);
            return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && Finite(out);
        }
        default: {
            TUnlitVertex v;
            std::memcpy(&v, p, sizeof v);
            Transform(v.x, v.y, v.z, out);
            out.u = v.u;
            out.v = v.v;
            if (mState.lighting) {
                const TMaterial& m = mMaterial;
                float ambient[4];
                ColorToFloats(mState.ambient, ambient);
                out.c[0] = std::round(std::clamp(m.diffuse.a, 0.0f, 1.0f) * 255.0f);
                out.c[1] = LitChannel(m.emissive.r, ambient[1] / 255.0f, m.ambient.r);
                out.c[2] = LitChannel(m.emissive.g, ambient[2] / 255.0f, m.ambient.g);
                out.c[3] = LitChannel(m.emissive.b, ambient[3] / 255.0f, m.ambient.b);
            } else {
                out.c[0] = out.c[1] = out.c[2] = out.c[3] = 255.0f;
            }
            out.c[4] = out.c[5] = out.c[6] = out.c[7] = 0.0f;
            out.packedValid = false;
            out.packed[0] = out.packed[1] = 0;
            return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && Finite(out);
        }
    }
}

bool TRasterizer::Draw(TPrimitive primitive, TVertexFormat format, const void* vertices,
                       int count) {
    if (mTarget == nullptr || mTarget->IsEmpty() || !IsRenderFormat(mTarget->Format())) {
        return false;
    }
    if (count < 0 || (count > 0 && vertices == nullptr)) return false;
    if (primitive < TPrimitive::LineList || primitive > TPrimitive::TriangleFan) return false;
    TRasterContext ctx;
    if (count == 0 || !Prepare(ctx)) return true;
    mFormat = format;
    if (format != TVertexFormat::Transformed) {
        TMat4 wv = Multiply(mTransforms.world, mTransforms.view);
        // The last product in double so that the 2-D projection keeps its precision.
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) {
                    sum +=
                        static_cast<double>(wv.m[r * 4 + k]) * mTransforms.projection.m[k * 4 + c];
                }
                mMatrix[r * 4 + c] = sum;
            }
        }
    }

    switch (primitive) {
        case TPrimitive::LineList:
            for (int i = 0; i + 1 < count; i += 2)
                DrawLine(vertices, i, i + 1, ctx);
            break;
        case TPrimitive::LineStrip:
            for (int i = 0; i + 1 < count; ++i)
                DrawLine(vertices, i, i + 1, ctx);
            break;
        case TPrimitive::TriangleList:
            for (int i = 0; i + 2 < count; i += 3)
                DrawTriangle(vertices, i, i + 1, i + 2, i, ctx);
            break;
        case TPrimitive::TriangleStrip:
            for (int i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0) {
                    DrawTriangle(vertices, i, i + 1, i + 2, i, ctx);
                } else {
                    DrawTriangle(vertices, i + 1, i, i + 2, i, ctx);
                }
            }
            break;
        case TPrimitive::TriangleFan:
            if (count == 4 && mFastPaths && TryRectangle(vertices, ctx)) break;
            for (int i = 1; i + 1 < count; ++i)
                DrawTriangle(vertices, 0, i, i + 1, i, ctx);
            break;
        default:
            break;
    }
    return true;
}

namespace {

// True when every vertex lies wholly on the far side of one scissor edge, so no pixel centre
// inside the scissor can be covered.
bool OutsideScissor(const TVertex4* poly, int count, const TRect& s) {
    bool left = true, right = true, top = true, bottom = true;
    for (int i = 0; i < count; ++i) {
        left = left && poly[i].x < s.left - 1;
        right = right && poly[i].x > s.right;
        top = top && poly[i].y < s.top - 1;
        bottom = bottom && poly[i].y > s.bottom;
    }
    return left || right || top || bottom;
}

bool InsideGuardBand(const TVertex4* poly, int count) {
    for (int i = 0; i < count; ++i) {
        if (std::fabs(poly[i].x) > kGuardBand || std::fabs(poly[i].y) > kGuardBand) return false;
    }
    return true;
}

bool NeedsClipSpaceClip(const TVertex4* poly, int count, bool nearFar) {
    for (int i = 0; i < count; ++i) {
        if (!(poly[i].w > 1e-6)) return true;
        if (nearFar && (poly[i].z < 0.0 || poly[i].z > poly[i].w)) return true;
    }
    return false;
}

}  // namespace

void TRasterizer::DrawTriangle(const void* vertices, int i0, int i1, int i2, int provoking,
                               const TRasterContext& ctx) {
    TVertex4 poly[kMaxPolygon];
    if (!FetchVertex(vertices, i0, poly[0]) || !FetchVertex(vertices, i1, poly[1]) ||
        !FetchVertex(vertices, i2, poly[2])) {
        return;
    }
    float flat[kColorCount];
    if (ctx.flat) {
        const TVertex4& p = provoking == i0 ? poly[0] : (provoking == i1 ? poly[1] : poly[2]);
        std::copy(p.c, p.c + kColorCount, flat);
    }
    int n = 3;
    if (mFormat != TVertexFormat::Transformed) {
        if (NeedsClipSpaceClip(poly, n, mState.clipping)) {
            n = ClipPolygonClipSpace(poly, n, mState.clipping);
        }
        for (int i = 0; i < n; ++i) {
            ProjectToScreen(poly[i], mViewport, mCentreShift);
            if (!Finite(poly[i])) return;
        }
    }
    if (n < 3 || OutsideScissor(poly, n, ctx.scissor)) return;
    if (!InsideGuardBand(poly, n)) n = ClipPolygonGuardBand(poly, n);
    for (int i = 1; i + 1 < n; ++i) {
        ++mStats.primitives;
        RasterTriangle(poly[0], poly[i], poly[i + 1], ctx.flat ? flat : nullptr, ctx);
    }
}

bool TRasterizer::TryRowLine(const void* vertices, int i0, int i1, const TRasterContext& ctx) {
    if (mFormat != TVertexFormat::Transformed || (ctx.usesTexture && ctx.levelCount > 0) ||
        ctx.usesDepth) {
        return false;
    }
    TTransformedVertex a, b;
    std::memcpy(&a, static_cast<const uint8_t*>(vertices) + static_cast<size_t>(i0) * 32, 32);
    std::memcpy(&b, static_cast<const uint8_t*>(vertices) + static_cast<size_t>(i1) * 32, 32);
    // Screen positions as FetchVertex gives them, moved by the pixel-centre shift.
    double ax = a.x - mCentreShift, ay = a.y - mCentreShift;
    double bx = b.x - mCentreShift, by = b.y - mCentreShift;
    auto usable = [](const TTransformedVertex& v, double x, double y) {
        return std::isfinite(x) && std::isfinite(y) && std::isfinite(v.z) && std::isfinite(v.rhw) &&
               std::fabs(x) <= kGuardBand && std::fabs(y) <= kGuardBand;
    };
    if (!usable(a, ax, ay) || !usable(b, bx, by)) return false;
    double wa = a.rhw > 0.0f ? a.rhw : 1.0, wb = b.rhw > 0.0f ? b.rhw : 1.0;
    int64_t X0 = Snap(ax), X1 = Snap(bx), Y = Snap(ay);
    if (wa != wb || Snap(by) != Y || X0 == X1) return false;
    if (!ctx.flat && (a.diffuse != b.diffuse || a.specular != b.specular)) return false;

    const TRect& s = ctx.scissor;
    if ((ax < s.left - 1 && bx < s.left - 1) || (ax > s.right && bx > s.right) ||
        (ay < s.top - 1 && by < s.top - 1) || (ay > s.bottom && by > s.bottom)) {
        return true;
    }
    ++mStats.primitives;
    int64_t first, last, row;
    if (!RowLineSpan(X0, X1, Y, s, first, last, row)) return true;
    mPipe.SetConstantColors(a.diffuse, a.specular);
    mPipe.FlatSpan(static_cast<int>(first), static_cast<int>(row),
                   static_cast<int>(last - first + 1));
    return true;
}

void TRasterizer::DrawLine(const void* vertices, int i0, int i1, const TRasterContext& ctx) {
    if (mFastPaths && TryRowLine(vertices, i0, i1, ctx)) return;
    TVertex4 seg[2];
    if (!FetchVertex(vertices, i0, seg[0]) || !FetchVertex(vertices, i1, seg[1])) return;
    float flat[kColorCount];
    if (ctx.flat) std::copy(seg[0].c, seg[0].c + kColorCount, flat);
    if (mFormat != TVertexFormat::Transformed) {
        if (NeedsClipSpaceClip(seg, 2, mState.clipping) &&
            !ClipSegmentClipSpace(seg[0], seg[1], mState.clipping)) {
            return;
        }
        ProjectToScreen(seg[0], mViewport, mCentreShift);
        ProjectToScreen(seg[1], mViewport, mCentreShift);
        if (!Finite(seg[0]) || !Finite(seg[1])) return;
    }
    if (OutsideScissor(seg, 2, ctx.scissor)) return;
    if (!InsideGuardBand(seg, 2) && !ClipSegmentGuardBand(seg[0], seg[1])) return;
    ++mStats.primitives;
    RasterLine(seg[0], seg[1], ctx.flat ? flat : nullptr, ctx);
}

void TRasterizer::Clear(uint32_t flags, uint32_t color, float z, const TRect* rects,
                        int rectCount) {
    if (mTarget == nullptr || mTarget->IsEmpty() || !IsRenderFormat(mTarget->Format())) return;
    TRect area = ScissorRect();
    bool depthUsable = mDepth != nullptr && mDepth->Format() == TPixelFormat::D16;
    float depth = std::isfinite(z) ? std::clamp(z, 0.0f, 1.0f) : 1.0f;
    uint32_t raw = static_cast<uint32_t>(std::lround(depth * 65535.0f));
    auto clearRect = [&](const TRect& r) {
        if (r.right <= r.left || r.bottom <= r.top) return;
        if (flags & kClearTarget) Fill(*mTarget, r, color);
        if ((flags & kClearDepth) && depthUsable) FillRaw(*mDepth, r, raw);
    };
    if (rects == nullptr || rectCount <= 0) {
        clearRect(area);
        return;
    }
    for (int i = 0; i < rectCount; ++i)
        clearRect(TRect::Intersect(area, rects[i]));
}

}  // namespace raster
