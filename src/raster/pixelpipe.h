// The per-pixel half of the rasterizer: a span of pixels on one row goes through texture
// sampling, the stage-0 combiner, specular, alpha test, depth test and blending into the target.
// Internal to the rasterizer; the rules it follows are stated in rasterizer.h.
//
// A draw call configures the pipe once (TPipeConfig, from the render state and the bindings),
// each primitive sets its sampler levels and constant colours (TPrimitivePixels), and the
// primitive's scan conversion hands over spans. Spans are cut into chunks of kChunk pixels held in
// fixed arrays on the stack: nothing is allocated per span.
#pragma once

#include <cstdint>

#include "raster/kernels.h"
#include "raster/renderstate.h"
#include "raster/sampler.h"
#include "raster/surface.h"

namespace raster {

constexpr int kChunk = 1024;

// Which pixels of a chunk are still alive.
struct TMask {
    uint64_t bits[kChunk / 64];
    void SetFirst(int n) {
        for (int w = 0; w < kChunk / 64; ++w) {
            int left = n - 64 * w;
            bits[w] = left >= 64 ? ~uint64_t{0} : (left <= 0 ? 0 : (uint64_t{1} << left) - 1);
        }
    }
    bool Test(int i) const { return (bits[i >> 6] >> (i & 63) & 1) != 0; }
    void Clear(int i) { bits[i >> 6] &= ~(uint64_t{1} << (i & 63)); }
    bool Empty() const {
        uint64_t any = 0;
        for (uint64_t w : bits)
            any |= w;
        return any == 0;
    }
    int Count() const;
};

// Attribute indices of TAttribs::c.
enum : int { kDiffA, kDiffR, kDiffG, kDiffB, kSpecA, kSpecR, kSpecG, kSpecB, kColorCount };

// Attributes of one pixel, in 16 fractional bits: texel coordinates of the sampled levels in
// texels of that level, colour channels in 1/65536 of a channel step, depth in 1/65536 of a
// 16-bit depth step.
// Left uninitialised by default (spans build many of them); TAttribs{} is all zero.
struct TAttribs {
    int64_t s[2];
    int64_t t[2];
    int64_t c[kColorCount];
    int64_t z;
};

// Everything of a draw call the pixels need.
struct TPipeConfig {
    TSurface* target = nullptr;
    // The format the target is drawn as: its own, or A8R8G8B8 for an X8R8G8B8 target whose X
    // byte keeps the alpha (TRasterizer::SetAlphaInXByte). Same size of pixel either way.
    TPixelFormat targetFormat = TPixelFormat::Unknown;
    TSurface* depth = nullptr;  // null: no depth test and no depth write
    bool depthTest = false;
    bool depthWrite = false;
    TCompare depthFunc = TCompare::LessEqual;
    bool alphaTest = false;
    TCompare alphaFunc = TCompare::Always;
    uint32_t alphaRef = 0;
    bool blend = false;
    TBlend srcBlend = TBlend::One;
    TBlend destBlend = TBlend::Zero;
    bool specular = false;
    TStageState stage;
    uint32_t textureFactor = 0xFFFFFFFF;
    bool textured = false;  // a texture is bound (else TEXTURE reads as opaque white)
    bool fastPaths = true;
    const TKernels* kernels = nullptr;
};

// What changes from one primitive to the next.
struct TPrimitivePixels {
    int levelCount = 0;  // sampled levels: 0 without texture, 1, or 2 for a mip blend
    TLevel level[2];
    int mipWeight = 0;  // weight of level[1], 0..256
    TFilter filter = TFilter::Point;
    bool diffuseConstant = false;
    bool specularConstant = false;
    uint32_t diffuse = 0;   // when constant
    uint32_t specular = 0;  // when constant
};

// Asks for the cache lines of a target row of `bytes` bytes from p ahead of writing it; never
// faults, past the end either. Rows over 1 KB (a full-screen background) are left to the copy
// kernel, which asks for its lines ahead as it goes: both at once made the copy slower.
inline void PrefetchRow(const uint8_t* p, int bytes) {
    if (bytes > 1024) return;
    for (int b = 0; b < bytes + 63; b += 64)
        __builtin_prefetch(p + b, 1, 3);
}

// Moves attributes n pixels along their step.
inline void Advance(TAttribs& at, const TAttribs& step, int64_t n) {
    for (int k = 0; k < 2; ++k) {
        at.s[k] += n * step.s[k];
        at.t[k] += n * step.t[k];
    }
    for (int k = 0; k < kColorCount; ++k)
        at.c[k] += n * step.c[k];
    at.z += n * step.z;
}

// Per-pixel values of a perspective-correct span, computed by the caller.
struct TPixelValues {
    uint32_t texel[kChunk];
    uint32_t diffuse[kChunk];
    uint32_t specular[kChunk];
    uint16_t depth[kChunk];
};

class TPixelPipe {
public:
    void Configure(const TPipeConfig& config);
    void SetPrimitive(const TPrimitivePixels& primitive);
    // The same for an untextured primitive of constant colours.
    void SetConstantColors(uint32_t diffuse, uint32_t specular);
    const TPipeConfig& Config() const { return mConfig; }
    const TPrimitivePixels& Primitive() const { return mPrimitive; }

    // Shades count pixels of row y from column x: pixel i has attributes at + i * step. The span
    // must lie inside the target.
    void Span(int x, int y, int count, const TAttribs& at, const TAttribs& step);

    // Draws a w x h rectangle whose texture maps one texel onto each pixel, straight from the
    // texture rows, when nothing per pixel is needed beyond the 32-bit kernels: at holds the
    // attributes of (x, y), stepX and stepY their steps. False, with nothing drawn, when the
    // rectangle needs the general span path.
    bool BlitRect(int x, int y, int w, int h, const TAttribs& at, const TAttribs& stepX,
                  const TAttribs& stepY);

    // Draws a w x h rectangle whose texture coordinates run along the axes (s changes only
    // along x, t only along y), as rows of spans would, filtering each texel row once for all
    // the pixel rows that read it. False, with nothing drawn, when the rectangle needs the
    // general span path.
    bool ScaledRect(int x, int y, int w, int h, const TAttribs& at, const TAttribs& stepX,
                    const TAttribs& stepY);

    // Shades count pixels of row y from column x for an untextured primitive of constant
    // colours (SetConstantColors) without depth test.
    void FlatSpan(int x, int y, int count);

    // Shades count (at most kChunk) pixels whose texel, colours and depth were computed already.
    void SpanValues(int x, int y, int count, const TPixelValues& values);

    // Pixels shaded since the last reset (for the statistics of the benchmark).
    uint64_t fragments = 0;

private:
    // Samples one level along a span through the 32-bit texel kernel when the level and the
    // coordinates allow it; false otherwise.
    bool SampleFast(const TLevel& level, int64_t s, int64_t ds, int64_t t, int64_t dt, int count,
                    uint32_t* out) const;
    void SampleLevel(const TLevel& level, int64_t s, int64_t ds, int64_t t, int64_t dt, int count,
                     uint32_t* out) const;
    // Shades count (at most kChunk) pixels of a span whose texels (null without texture) were
    // sampled already; at and step give the other attributes.
    void ShadeSampled(int x, int y, int count, const uint32_t* texel, const TAttribs& at,
                      const TAttribs& step);
    // The combiner on constant inputs, remembered for the next span (untextured spans repeat
    // their colours).
    uint32_t CombineConstant(uint32_t texel, uint32_t diffuse, uint32_t specular);
    void ShadeChunk(int x, int y, int count, const uint32_t* texel, uint32_t texelConst,
                    const uint32_t* diffuse, uint32_t diffuseConst, const uint32_t* specular,
                    uint32_t specularConst, const uint16_t* depth);
    // Blends (or, with blend false, stores) the colours of the pixels in mask (all of them
    // without a mask). orMask is ORed into what the 32-bit fast path writes.
    void Write(int x, int y, int count, const uint32_t* color, uint32_t colorConst,
               const TMask* mask, bool blend, uint32_t orMask);

    // Writes count (at most kChunk) texels of the primitive into row y from column x, as the
    // combiner, alpha test and blending would; only when the primitive's plan allows it.
    void WriteDirect(int x, int y, int count, const uint32_t* texels);
    // Chooses whether the primitive's texels may skip the per-pixel stages: one texture level
    // times a constant diffuse colour (the standard combiner), no specular, no depth test, an
    // alpha test with one answer for every pixel or none that blending does not make moot, and
    // a plain store or the common blend into a 32-bit or R5G6B5 target.
    void PlanDirect();

    TPipeConfig mConfig;
    TPrimitivePixels mPrimitive;
    struct TDirect {
        bool on = false;
        bool skip = false;   // the alpha test drops every pixel
        bool white = false;  // the diffuse colour leaves the texels as they are
        bool store = false;  // written without blending (plain, or opaque over)
        uint32_t orMask = 0;
    } mDirect;
    bool mUsesTexture = false;       // the combiner reads TEXTURE
    bool mUsesSpecular = false;      // the combiner or the specular sum reads the specular colour
    bool mStandardCombiner = false;  // texture times diffuse, on colour and on alpha
    bool mSkipAlphaTest = false;     // the alpha test can only drop pixels that blending keeps
    uint32_t mTargetOr = 0;          // alpha bits forced on in a 32-bit target without alpha
    // The combiner's answer for the last constant inputs seen.
    bool mCombinedValid = false;
    uint32_t mCombinedTexel = 0;
    uint32_t mCombinedDiffuse = 0;
    uint32_t mCombinedSpecular = 0;
    uint32_t mCombined = 0;
};

// The stage-0 combiner on one pixel.
uint32_t CombinePixel(const TStageState& stage, uint32_t texel, uint32_t diffuse, uint32_t specular,
                      uint32_t textureFactor);

// A depth or alpha comparison: `value` against `reference`.
inline bool Compare(TCompare func, uint32_t value, uint32_t reference) {
    switch (func) {
        case TCompare::Never:
            return false;
        case TCompare::Less:
            return value < reference;
        case TCompare::Equal:
            return value == reference;
        case TCompare::LessEqual:
            return value <= reference;
        case TCompare::Greater:
            return value > reference;
        case TCompare::NotEqual:
            return value != reference;
        case TCompare::GreaterEqual:
            return value >= reference;
        default:
            return true;
    }
}

// One colour channel of an attribute value: round to the nearest step, clamp to 0..255.
inline uint32_t ChannelOf(int64_t fixed) {
    int64_t v = (fixed + 32768) >> 16;
    return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
inline uint16_t DepthOf(int64_t fixed) {
    int64_t v = (fixed + 32768) >> 16;
    return static_cast<uint16_t>(v < 0 ? 0 : (v > 65535 ? 65535 : v));
}

}  // namespace raster
