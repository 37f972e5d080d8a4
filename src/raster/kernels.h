// The inner loops that run on every pixel of the common cases, in a scalar form and in SIMD
// forms (SSE2, always present on x86-64; AVX2 and AVX-512, used when the processor has them).
// Every form gives the same bytes: the rounding is the exact round(x / 255) of rasterizer.h.
//
// Internal to the rasterizer. The tables are built once and never change; any thread may read
// them.
#pragma once

#include <cstdint>

#include "raster/pixelformat.h"

namespace raster {

enum class TSimd : uint8_t { Scalar, Sse2, Avx2, Avx512, Best };

// A texture level as the sampling kernels read it: 32-bit (A8R8G8B8 or X8R8G8B8) for sample32,
// 16-bit (R5G6B5, X1R5G5B5 or A4R4G4B4) for sample16.
struct TTexels {
    const uint8_t* pixels;
    int pitch;  // bytes
    int width;
    int height;
    TPixelFormat format;
    uint32_t orMask;  // 0xFF000000 for a 32-bit level without alpha, else 0
    bool wrapU;       // wrap on a power-of-two width; else clamp
    bool wrapV;
};

// The columns of lerpPairs made ready once for every texel row that reads them (all the rows
// of a scaled sprite read the same columns). Each level keeps what its lerpPlanned needs: the
// arrays themselves, or for AVX2 and AVX-512 the window start of every eight columns and the
// indices within the windows and the spread weights of every step. Large (about 10 KB): made on
// the stack of the one drawing it.
struct TPairPlan {
    static constexpr int kMaxColumns = 512;
    const int32_t* index;
    const uint32_t* weight;
    int count;
    int32_t base[kMaxColumns / 8];
    alignas(64) int32_t rel[kMaxColumns];
    alignas(64) int16_t spread[4 * kMaxColumns];
};

struct TKernels {
    TSimd level;
    // 32-bit target pixels blended with source alpha and inverse source alpha on all four
    // channels: d = round((s * sa + d * (255 - sa)) / 255); then d |= orMask (0xFF000000 for
    // targets without alpha, else 0).
    void (*blendSrcAlpha)(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask);
    // The same behind an alpha test that drops exactly the pixels of source alpha 0: those are
    // left as they are, orMask included (an X8R8G8B8 target keeps the unused byte it had).
    void (*blendSrcAlphaTested)(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask);
    // The same as blendSrcAlpha with one source colour for every pixel.
    void (*blendSrcAlphaConst)(uint32_t src, uint8_t* dst, int count, uint32_t orMask);
    // out = round(src * color / 255) channel by channel (texture modulated by a constant).
    void (*modulateConst)(const uint32_t* src, uint32_t color, uint32_t* out, int count);
    // d = s | orMask.
    void (*copyOr)(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask);
    // d = color for count 32-bit pixels.
    void (*fill32)(uint32_t color, uint8_t* dst, int count);
    // R5G6B5 targets: the blend above on the target pixel read by replication and written by
    // truncation, and a plain store by truncation.
    void (*blendSrcAlpha565)(const uint32_t* src, uint8_t* dst, int count);
    void (*store565)(const uint32_t* src, uint8_t* dst, int count);
    // The horizontal half of the bilinear rule on one texel row: out[i] blends texels
    // index[i] and index[i] + 1 of `texels` with the weight f = weight[i] (0..255) of the
    // second: h = (c0 (256 - f) + c1 f + 128) >> 8 on every channel. The indices run up or
    // down, the first and last of every eight (from i = 0) at most 15 apart, and `texels`
    // holds 17 readable entries past the largest index.
    void (*lerpPairs)(const uint32_t* texels, const int32_t* index, const uint32_t* weight,
                      int count, uint32_t* out);
    // lerpPairs in two steps: the columns (count at most TPairPlan::kMaxColumns, the index
    // and weight arrays kept alive and unchanged while the plan is used), then any number of
    // texel rows through them.
    void (*planPairs)(const int32_t* index, const uint32_t* weight, int count, TPairPlan& plan);
    void (*lerpPlanned)(const uint32_t* texels, const TPairPlan& plan, uint32_t* out);
    // The vertical half: out[i] = (a[i] (256 - f) + b[i] f + 128) >> 8 on every channel, f in
    // 0..255.
    void (*lerpRows)(const uint32_t* a, const uint32_t* b, int weight, int count, uint32_t* out);
    // count 16-bit pixels of R5G6B5, X1R5G5B5 or A4R4G4B4 to 0xAARRGGBB by replication
    // (pixelformat.h); other formats give opaque white.
    void (*decode16)(TPixelFormat format, const uint8_t* src, int count, uint32_t* out);
    // count texels along a span by the point or bilinear rule of rasterizer.h: pixel i samples
    // (s + i ds, t + i dt), 16.16 texels. The caller keeps every coordinate of the span, and
    // those coordinates plus or minus 2^17, inside int32.
    void (*sample32)(const TTexels& texels, bool bilinear, int32_t s, int32_t ds, int32_t t,
                     int32_t dt, int count, uint32_t* out);
    // The same on a 16-bit level, its texels expanded by replication.
    void (*sample16)(const TTexels& texels, bool bilinear, int32_t s, int32_t ds, int32_t t,
                     int32_t dt, int count, uint32_t* out);
};

// The best level this processor runs.
TSimd DetectSimd();

// The kernels of a level; Best means DetectSimd(), and a level the processor lacks falls back to
// the best one it has.
const TKernels& GetKernels(TSimd level);

// round(a * b / 255) for 0 <= a, b <= 255, and the general round(t / 255) for 0 <= t <= 130050.
inline uint32_t Mul255(uint32_t a, uint32_t b) {
    return (a * b + 127) / 255;
}
inline uint32_t Div255(uint32_t t) {
    return (t + 127) / 255;
}

// Kernel tables of each level (kernels_scalar.cpp, kernels_sse2.cpp, kernels_avx2.cpp,
// kernels_avx512.cpp).
const TKernels& ScalarKernels();
const TKernels& Sse2Kernels();
const TKernels& Avx2Kernels();
const TKernels& Avx512Kernels();

// Scalar kernels the SIMD levels use where they have no form of their own or for their last few
// pixels.
void ScalarBlendSrcAlpha565(const uint32_t* src, uint8_t* dst, int count);
void ScalarStore565(const uint32_t* src, uint8_t* dst, int count);
void ScalarLerpPairs(const uint32_t* texels, const int32_t* index, const uint32_t* weight,
                     int count, uint32_t* out);
void KeepPairArrays(const int32_t* index, const uint32_t* weight, int count, TPairPlan& plan);
void ScalarLerpRows(const uint32_t* a, const uint32_t* b, int weight, int count, uint32_t* out);
void ScalarDecode16(TPixelFormat format, const uint8_t* src, int count, uint32_t* out);
void ScalarSample32(const TTexels& texels, bool bilinear, int32_t s, int32_t ds, int32_t t,
                    int32_t dt, int count, uint32_t* out);
void ScalarSample16(const TTexels& texels, bool bilinear, int32_t s, int32_t ds, int32_t t,
                    int32_t dt, int count, uint32_t* out);

}  // namespace raster
