#include <algorithm>

#include "raster/kernels.h"
#include "raster/pixelformat.h"
#include "raster/sampler.h"

namespace raster {

namespace {

inline uint32_t BlendPixel(uint32_t s, uint32_t d) {
    uint32_t a = s >> 24;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t t = (s >> shift & 0xFF) * a + (d >> shift & 0xFF) * (255 - a);
        out |= Div255(t) << shift;
    }
    return out;
}

void BlendSrcAlpha(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    for (int i = 0; i < count; ++i) {
        Store32(dst + 4 * i, BlendPixel(src[i], Load32(dst + 4 * i)) | orMask);
    }
}

void BlendSrcAlphaTested(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    for (int i = 0; i < count; ++i) {
        if (src[i] >> 24 == 0) continue;
        Store32(dst + 4 * i, BlendPixel(src[i], Load32(dst + 4 * i)) | orMask);
    }
}

void BlendSrcAlphaConst(uint32_t src, uint8_t* dst, int count, uint32_t orMask) {
    for (int i = 0; i < count; ++i) {
        Store32(dst + 4 * i, BlendPixel(src, Load32(dst + 4 * i)) | orMask);
    }
}

void ModulateConst(const uint32_t* src, uint32_t color, uint32_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t v = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            v |= Mul255(src[i] >> shift & 0xFF, color >> shift & 0xFF) << shift;
        }
        out[i] = v;
    }
}

void CopyOr(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    for (int i = 0; i < count; ++i)
        Store32(dst + 4 * i, src[i] | orMask);
}

void Fill32(uint32_t color, uint8_t* dst, int count) {
    for (int i = 0; i < count; ++i)
        Store32(dst + 4 * i, color);
}

inline int Address32(int64_t i, int size, bool wrap) {
    if (wrap) return static_cast<int>(i & (size - 1));
    return static_cast<int>(i < 0 ? 0 : (i >= size ? size - 1 : i));
}

inline uint32_t Texel32(const TTexels& tx, int x, int y) {
    return Load32(tx.pixels + static_cast<intptr_t>(y) * tx.pitch + 4 * x);
}

}  // namespace

void ScalarBlendSrcAlpha565(const uint32_t* src, uint8_t* dst, int count) {
    for (int i = 0; i < count; ++i) {
        Store16(dst + 2 * i, Encode565(BlendPixel(src[i], Decode565(Load16(dst + 2 * i)))));
    }
}

void ScalarStore565(const uint32_t* src, uint8_t* dst, int count) {
    for (int i = 0; i < count; ++i)
        Store16(dst + 2 * i, Encode565(src[i]));
}

namespace {

// Point or bilinear samples of a level whose texel (x, y) reads as texel(x, y).
template <typename Texel>
void SampleWith(const TTexels& tx, bool bilinear, int32_t s32, int32_t ds, int32_t t32, int32_t dt,
                int count, uint32_t* out, Texel texel) {
    int64_t s = s32, t = t32;
    for (int i = 0; i < count; ++i, s += ds, t += dt) {
        if (!bilinear) {
            out[i] = texel(Address32(s >> 16, tx.width, tx.wrapU),
                           Address32(t >> 16, tx.height, tx.wrapV));
            continue;
        }
        int64_t su = s - 32768, tv = t - 32768;
        int64_t i0 = su >> 16, j0 = tv >> 16;
        int fu = static_cast<int>(((su & 0xFFFF) + 128) >> 8);
        int fv = static_cast<int>(((tv & 0xFFFF) + 128) >> 8);
        int x0 = Address32(i0, tx.width, tx.wrapU), x1 = Address32(i0 + 1, tx.width, tx.wrapU);
        int y0 = Address32(j0, tx.height, tx.wrapV), y1 = Address32(j0 + 1, tx.height, tx.wrapV);
        out[i] = BilinearMix(texel(x0, y0), texel(x1, y0), texel(x0, y1), texel(x1, y1), fu, fv);
    }
}

}  // namespace

void ScalarSample32(const TTexels& tx, bool bilinear, int32_t s, int32_t ds, int32_t t, int32_t dt,
                    int count, uint32_t* out) {
    // Alpha forced before filtering stays 255 after it, as it would forced afterwards.
    SampleWith(tx, bilinear, s, ds, t, dt, count, out,
               [&](int x, int y) { return Texel32(tx, x, y) | tx.orMask; });
}

void ScalarSample16(const TTexels& tx, bool bilinear, int32_t s, int32_t ds, int32_t t, int32_t dt,
                    int count, uint32_t* out) {
    auto at = [&](int x, int y) {
        return Load16(tx.pixels + static_cast<intptr_t>(y) * tx.pitch + 2 * x);
    };
    switch (tx.format) {
        case TPixelFormat::R5G6B5:
            SampleWith(tx, bilinear, s, ds, t, dt, count, out,
                       [&](int x, int y) { return Decode565(at(x, y)); });
            break;
        case TPixelFormat::X1R5G5B5:
            SampleWith(tx, bilinear, s, ds, t, dt, count, out,
                       [&](int x, int y) { return Decode1555(at(x, y)); });
            break;
        default:
            SampleWith(tx, bilinear, s, ds, t, dt, count, out,
                       [&](int x, int y) { return Decode4444(at(x, y)); });
            break;
    }
}

void ScalarLerpPairs(const uint32_t* texels, const int32_t* index, const uint32_t* weight,
                     int count, uint32_t* out) {
    for (int i = 0; i < count; ++i) {
        const uint32_t* pair = texels + index[i];
        out[i] = LerpChannels(pair[0], pair[1], static_cast<int>(weight[i]));
    }
}

void KeepPairArrays(const int32_t* index, const uint32_t* weight, int count, TPairPlan& plan) {
    plan.index = index;
    plan.weight = weight;
    plan.count = count;
}

namespace {

void LerpPlanned(const uint32_t* texels, const TPairPlan& plan, uint32_t* out) {
    ScalarLerpPairs(texels, plan.index, plan.weight, plan.count, out);
}

}  // namespace

void ScalarLerpRows(const uint32_t* a, const uint32_t* b, int weight, int count, uint32_t* out) {
    for (int i = 0; i < count; ++i)
        out[i] = LerpChannels(a[i], b[i], weight);
}

void ScalarDecode16(TPixelFormat format, const uint8_t* src, int count, uint32_t* out) {
    for (int i = 0; i < count; ++i) {
        uint32_t p = Load16(src + 2 * i);
        switch (format) {
            case TPixelFormat::R5G6B5:
                out[i] = Decode565(p);
                break;
            case TPixelFormat::X1R5G5B5:
                out[i] = Decode1555(p);
                break;
            case TPixelFormat::A4R4G4B4:
                out[i] = Decode4444(p);
                break;
            default:
                out[i] = 0xFFFFFFFFu;
                break;
        }
    }
}

const TKernels& ScalarKernels() {
    static const TKernels kernels{
        .level = TSimd::Scalar,
        .blendSrcAlpha = BlendSrcAlpha,
        .blendSrcAlphaTested = BlendSrcAlphaTested,
        .blendSrcAlphaConst = BlendSrcAlphaConst,
        .modulateConst = ModulateConst,
        .copyOr = CopyOr,
        .fill32 = Fill32,
        .blendSrcAlpha565 = ScalarBlendSrcAlpha565,
        .store565 = ScalarStore565,
        .lerpPairs = ScalarLerpPairs,
        .planPairs = KeepPairArrays,
        .lerpPlanned = LerpPlanned,
        .lerpRows = ScalarLerpRows,
        .decode16 = ScalarDecode16,
        .sample32 = ScalarSample32,
        .sample16 = ScalarSample16,
    };
    return kernels;
}

TSimd DetectSimd() {
    __builtin_cpu_init();
    // The AVX-512 kernels use the byte and word instructions and 256-bit masks as well.
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
        __builtin_cpu_supports("bmi2")) {
        return TSimd::Avx512;
    }
    if (__builtin_cpu_supports("avx2")) return TSimd::Avx2;
    return TSimd::Sse2;
}

const TKernels& GetKernels(TSimd level) {
    static const TSimd best = DetectSimd();
    if (level == TSimd::Best || level > best) level = best;
    switch (level) {
        case TSimd::Scalar:
            return ScalarKernels();
        case TSimd::Avx2:
            return Avx2Kernels();
        case TSimd::Avx512:
            return Avx512Kernels();
        default:
            return Sse2Kernels();
    }
}

}  // namespace raster
