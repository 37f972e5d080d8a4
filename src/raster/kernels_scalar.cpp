#include <algorithm>

#include "raster/kernels.h"
#include "raster/pixelformat.h"

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

}  // namespace

const TKernels& ScalarKernels() {
    static const TKernels kernels{TSimd::Scalar, BlendSrcAlpha, BlendSrcAlphaConst,
                                  ModulateConst, CopyOr,        Fill32};
    return kernels;
}

TSimd DetectSimd() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return TSimd::Avx2;
    return TSimd::Sse2;
}

const TKernels& GetKernels(TSimd level) {
    static const TSimd best = DetectSimd();
    if (level == TSimd::Best || (level == TSimd::Avx2 && best != TSimd::Avx2)) level = best;
    switch (level) {
        case TSimd::Scalar:
            return ScalarKernels();
        case TSimd::Avx2:
            return Avx2Kernels();
        default:
            return Sse2Kernels();
    }
}

}  // namespace raster
