// SSE2 forms of the kernels: four pixels per step, channels widened to 16 bits. Every product
// s * a + d * (255 - a) stays below 65536, and round(t / 255) is computed exactly as
// ((t + 128) * 257) >> 16, which holds for every t up to 65025.
#include <emmintrin.h>

#include "raster/kernels.h"
#include "raster/pixelformat.h"

namespace raster {

namespace {

inline __m128i Round255(__m128i t) {
    return _mm_mulhi_epu16(_mm_add_epi16(t, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

inline __m128i BroadcastAlpha(__m128i wide) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(wide, _MM_SHUFFLE(3, 3, 3, 3)),
                               _MM_SHUFFLE(3, 3, 3, 3));
}

inline __m128i Blend4(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    __m128i sl = _mm_unpacklo_epi8(s, zero);
    __m128i sh = _mm_unpackhi_epi8(s, zero);
    __m128i dl = _mm_unpacklo_epi8(d, zero);
    __m128i dh = _mm_unpackhi_epi8(d, zero);
    __m128i al = BroadcastAlpha(sl);
    __m128i ah = BroadcastAlpha(sh);
    __m128i tl =
        _mm_add_epi16(_mm_mullo_epi16(sl, al), _mm_mullo_epi16(dl, _mm_sub_epi16(full, al)));
    __m128i th =
        _mm_add_epi16(_mm_mullo_epi16(sh, ah), _mm_mullo_epi16(dh, _mm_sub_epi16(full, ah)));
    return _mm_packus_epi16(Round255(tl), Round255(th));
}

void BlendSrcAlpha(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    const __m128i mask = _mm_set1_epi32(static_cast<int>(orMask));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        auto* d = reinterpret_cast<__m128i*>(dst + 4 * i);
        _mm_storeu_si128(d, _mm_or_si128(Blend4(s, _mm_loadu_si128(d)), mask));
    }
    if (i < count) ScalarKernels().blendSrcAlpha(src + i, dst + 4 * i, count - i, orMask);
}

void BlendSrcAlphaTested(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    // A pixel of source alpha 0 blends to the target pixel itself; only orMask is held back.
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask = _mm_set1_epi32(static_cast<int>(orMask));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(s, 24), zero);
        auto* d = reinterpret_cast<__m128i*>(dst + 4 * i);
        _mm_storeu_si128(
            d, _mm_or_si128(Blend4(s, _mm_loadu_si128(d)), _mm_andnot_si128(clear, mask)));
    }
    if (i < count) ScalarKernels().blendSrcAlphaTested(src + i, dst + 4 * i, count - i, orMask);
}

void BlendSrcAlphaConst(uint32_t src, uint8_t* dst, int count, uint32_t orMask) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask = _mm_set1_epi32(static_cast<int>(orMask));
    __m128i s = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(src)), zero);
    __m128i a = BroadcastAlpha(s);
    __m128i sa = _mm_mullo_epi16(s, a);
    __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), a);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        auto* p = reinterpret_cast<__m128i*>(dst + 4 * i);
        __m128i d = _mm_loadu_si128(p);
        __m128i tl = _mm_add_epi16(sa, _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inv));
        __m128i th = _mm_add_epi16(sa, _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inv));
        _mm_storeu_si128(p, _mm_or_si128(_mm_packus_epi16(Round255(tl), Round255(th)), mask));
    }
    if (i < count) ScalarKernels().blendSrcAlphaConst(src, dst + 4 * i, count - i, orMask);
}

void ModulateConst(const uint32_t* src, uint32_t color, uint32_t* out, int count) {
    const __m128i zero = _mm_setzero_si128();
    __m128i c = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i lo = Round255(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), c));
        __m128i hi = Round255(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), c));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    if (i < count) ScalarKernels().modulateConst(src + i, color, out + i, count - i);
}

void CopyOr(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    const __m128i mask = _mm_set1_epi32(static_cast<int>(orMask));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), _mm_or_si128(s, mask));
    }
    for (; i < count; ++i)
        Store32(dst + 4 * i, src[i] | orMask);
}

void Fill32(uint32_t color, uint8_t* dst, int count) {
    const __m128i c = _mm_set1_epi32(static_cast<int>(color));
    int i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), c);
    for (; i < count; ++i)
        Store32(dst + 4 * i, color);
}

// (c0 (256 - w) + c1 w + 128) >> 8 on each channel, w and inv = 256 - w in every 16-bit lane:
// red and blue in the low bytes of the lanes, alpha and green in the high ones.
inline __m128i Lerp(__m128i c0, __m128i c1, __m128i w, __m128i inv) {
    const __m128i low = _mm_set1_epi32(0x00FF00FF);
    const __m128i half = _mm_set1_epi16(128);
    __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(c0, low), inv),
                               _mm_mullo_epi16(_mm_and_si128(c1, low), w));
    __m128i ag = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi32(c0, 8), low), inv),
                               _mm_mullo_epi16(_mm_and_si128(_mm_srli_epi32(c1, 8), low), w));
    rb = _mm_srli_epi16(_mm_add_epi16(rb, half), 8);
    ag = _mm_andnot_si128(low, _mm_add_epi16(ag, half));
    return _mm_or_si128(rb, ag);
}

// Four texel pairs split into their first and second texels.
inline void LoadPairs(const uint32_t* texels, const int32_t* index, __m128i& first,
                      __m128i& second) {
    auto pair = [&](int k) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels + index[k]));
    };
    __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(0), pair(1)));
    __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(2), pair(3)));
    first = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    second = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
}

void LerpPairs(const uint32_t* texels, const int32_t* index, const uint32_t* weight, int count,
               uint32_t* out) {
    const __m128i full = _mm_set1_epi16(256);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i c0, c1;
        LoadPairs(texels, index + i, c0, c1);
        __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weight + i));
        w = _mm_or_si128(w, _mm_slli_epi32(w, 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         Lerp(c0, c1, w, _mm_sub_epi16(full, w)));
    }
    if (i < count) ScalarLerpPairs(texels, index + i, weight + i, count - i, out + i);
}

void LerpPlanned(const uint32_t* texels, const TPairPlan& plan, uint32_t* out) {
    LerpPairs(texels, plan.index, plan.weight, plan.count, out);
}

void LerpRows(const uint32_t* a, const uint32_t* b, int weight, int count, uint32_t* out) {
    const __m128i w = _mm_set1_epi16(static_cast<int16_t>(weight));
    const __m128i inv = _mm_set1_epi16(static_cast<int16_t>(256 - weight));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i c0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        __m128i c1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Lerp(c0, c1, w, inv));
    }
    if (i < count) ScalarLerpRows(a + i, b + i, weight, count - i, out + i);
}

// 16-bit pixels held in the low halves of 32-bit lanes to 0xAARRGGBB by replication.
inline __m128i Expand5(__m128i v) {
    return _mm_or_si128(_mm_slli_epi32(v, 3), _mm_srli_epi32(v, 2));
}

inline __m128i Decode4(TPixelFormat format, __m128i p) {
    const __m128i five = _mm_set1_epi32(31);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    if (format == TPixelFormat::A4R4G4B4) {
        // Each nibble into the low half of its byte, then v * 17 = v << 4 | v.
        __m128i low = _mm_and_si128(p, _mm_set1_epi32(0x0F0F));
        __m128i high = _mm_and_si128(_mm_srli_epi32(p, 4), _mm_set1_epi32(0x0F0F));
        __m128i v = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(low, _mm_set1_epi32(0xF)),
                         _mm_slli_epi32(_mm_and_si128(low, _mm_set1_epi32(0xF00)), 8)),
            _mm_or_si128(_mm_slli_epi32(_mm_and_si128(high, _mm_set1_epi32(0xF)), 8),
                         _mm_slli_epi32(_mm_and_si128(high, _mm_set1_epi32(0xF00)), 16)));
        return _mm_or_si128(v, _mm_slli_epi32(v, 4));
    }
    __m128i r, g;
    if (format == TPixelFormat::R5G6B5) {
        r = Expand5(_mm_and_si128(_mm_srli_epi32(p, 11), five));
        g = _mm_and_si128(_mm_srli_epi32(p, 5), _mm_set1_epi32(63));
        g = _mm_or_si128(_mm_slli_epi32(g, 2), _mm_srli_epi32(g, 4));
    } else {
        r = Expand5(_mm_and_si128(_mm_srli_epi32(p, 10), five));
        g = Expand5(_mm_and_si128(_mm_srli_epi32(p, 5), five));
    }
    __m128i b = Expand5(_mm_and_si128(p, five));
    return _mm_or_si128(_mm_or_si128(opaque, _mm_slli_epi32(r, 16)),
                        _mm_or_si128(_mm_slli_epi32(g, 8), b));
}

void Decode16(TPixelFormat format, const uint8_t* src, int count, uint32_t* out) {
    if (format != TPixelFormat::R5G6B5 && format != TPixelFormat::X1R5G5B5 &&
        format != TPixelFormat::A4R4G4B4) {
        ScalarDecode16(format, src, count, out);
        return;
    }
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i p = _mm_unpacklo_epi16(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + 2 * i)), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Decode4(format, p));
    }
    if (i < count) ScalarDecode16(format, src + 2 * i, count - i, out + i);
}

}  // namespace

const TKernels& Sse2Kernels() {
    static const TKernels kernels{
        .level = TSimd::Sse2,
        .blendSrcAlpha = BlendSrcAlpha,
        .blendSrcAlphaTested = BlendSrcAlphaTested,
        .blendSrcAlphaConst = BlendSrcAlphaConst,
        .modulateConst = ModulateConst,
        .copyOr = CopyOr,
        .fill32 = Fill32,
        .blendSrcAlpha565 = ScalarBlendSrcAlpha565,
        .store565 = ScalarStore565,
        .lerpPairs = LerpPairs,
        .planPairs = KeepPairArrays,
        .lerpPlanned = LerpPlanned,
        .lerpRows = LerpRows,
        .decode16 = Decode16,
        .sample32 = ScalarSample32,
        .sample16 = ScalarSample16,
    };
    return kernels;
}

}  // namespace raster
