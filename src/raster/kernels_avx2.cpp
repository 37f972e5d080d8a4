// AVX2 forms of the kernels: eight pixels per step, channels widened to 16 bits. The 256-bit
// unpack and pack instructions work within 128-bit halves, so pixel order is kept. Every product
// s * a + d * (255 - a) stays below 65536, and round(t / 255) is computed exactly as
// (t + 128 + ((t + 128) >> 8)) >> 8, which holds for every t up to 65662.
#include <immintrin.h>

#include "raster/kernels.h"
#include "raster/pixelformat.h"

namespace raster {

namespace {

#define AVX2 __attribute__((target("avx2")))

AVX2 inline __m256i Round255(__m256i t) {
    t = _mm256_add_epi16(t, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

AVX2 inline __m256i BroadcastAlpha(__m256i wide) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(wide, _MM_SHUFFLE(3, 3, 3, 3)),
                                  _MM_SHUFFLE(3, 3, 3, 3));
}

AVX2 inline __m256i Blend8(__m256i s, __m256i d) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi16(255);
    __m256i sl = _mm256_unpacklo_epi8(s, zero);
    __m256i sh = _mm256_unpackhi_epi8(s, zero);
    __m256i dl = _mm256_unpacklo_epi8(d, zero);
    __m256i dh = _mm256_unpackhi_epi8(d, zero);
    __m256i al = BroadcastAlpha(sl);
    __m256i ah = BroadcastAlpha(sh);
    __m256i tl = _mm256_add_epi16(_mm256_mullo_epi16(sl, al),
                                  _mm256_mullo_epi16(dl, _mm256_sub_epi16(full, al)));
    __m256i th = _mm256_add_epi16(_mm256_mullo_epi16(sh, ah),
                                  _mm256_mullo_epi16(dh, _mm256_sub_epi16(full, ah)));
    return _mm256_packus_epi16(Round255(tl), Round255(th));
}

AVX2 void BlendSrcAlpha(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        auto* d = reinterpret_cast<__m256i*>(dst + 4 * i);
        _mm256_storeu_si256(d, _mm256_or_si256(Blend8(s, _mm256_loadu_si256(d)), mask));
    }
    if (i < count) ScalarKernels().blendSrcAlpha(src + i, dst + 4 * i, count - i, orMask);
}

AVX2 void BlendSrcAlphaConst(uint32_t src, uint8_t* dst, int count, uint32_t orMask) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    __m256i s = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(src)), zero);
    __m256i a = BroadcastAlpha(s);
    __m256i sa = _mm256_mullo_epi16(s, a);
    __m256i inv = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* p = reinterpret_cast<__m256i*>(dst + 4 * i);
        __m256i d = _mm256_loadu_si256(p);
        __m256i tl = _mm256_add_epi16(sa, _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inv));
        __m256i th = _mm256_add_epi16(sa, _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inv));
        _mm256_storeu_si256(p,
                            _mm256_or_si256(_mm256_packus_epi16(Round255(tl), Round255(th)), mask));
    }
    if (i < count) ScalarKernels().blendSrcAlphaConst(src, dst + 4 * i, count - i, orMask);
}

AVX2 void ModulateConst(const uint32_t* src, uint32_t color, uint32_t* out, int count) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(color)), zero);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i lo = Round255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), c));
        __m256i hi = Round255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), c));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
    }
    if (i < count) ScalarKernels().modulateConst(src + i, color, out + i, count - i);
}

AVX2 void CopyOr(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 4 * i), _mm256_or_si256(s, mask));
    }
    for (; i < count; ++i)
        Store32(dst + 4 * i, src[i] | orMask);
}

AVX2 void Fill32(uint32_t color, uint8_t* dst, int count) {
    const __m256i c = _mm256_set1_epi32(static_cast<int>(color));
    int i = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 4 * i), c);
    for (; i < count; ++i)
        Store32(dst + 4 * i, color);
}

#undef AVX2

}  // namespace

const TKernels& Avx2Kernels() {
    static const TKernels kernels{TSimd::Avx2,   BlendSrcAlpha, BlendSrcAlphaConst,
                                  ModulateConst, CopyOr,        Fill32};
    return kernels;
}

}  // namespace raster
