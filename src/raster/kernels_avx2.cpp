// AVX2 forms of the kernels: eight pixels per step, channels widened to 16 bits. The 256-bit
// unpack and pack instructions work within 128-bit halves, so pixel order is kept. Every sum
// s * a + d * (255 - a) stays below 65536, and round(t / 255) is computed exactly as
// ((t + 128) * 257) >> 16, which holds for every t up to 65025.
#include <immintrin.h>

#include "raster/kernels.h"
#include "raster/pixelformat.h"

namespace raster {

namespace {

#define AVX2 __attribute__((target("avx2")))

AVX2 inline __m256i Round255(__m256i t) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(t, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

AVX2 inline __m256i BroadcastAlpha(__m256i wide) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(wide, _MM_SHUFFLE(3, 3, 3, 3)),
                                  _MM_SHUFFLE(3, 3, 3, 3));
}

// s a + d (255 - a), rounded by /255, on every channel of eight pixels with one multiply-add per
// channel: with the colours moved into signed bytes (c - 128) and the weights a and 255 - a as
// unsigned bytes, a (s - 128) + (255 - a)(d - 128) = s a + d (255 - a) - 32640 fits 16 signed
// bits, and adding 32768 gives the sum plus 128 as an unsigned 16-bit value for the division.
AVX2 inline __m256i Blend8(__m256i s, __m256i d) {
    const __m256i sign = _mm256_set1_epi8(static_cast<char>(0x80));
    // The alpha byte of each pixel's source for every byte of its channel pairs, the second
    // byte of each pair inverted: a, 255 - a.
    const __m256i alphaLow = _mm256_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3,
                                              3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7);
    const __m256i alphaHigh =
        _mm256_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15, 11, 11, 11,
                         11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15);
    const __m256i invert = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i offset = _mm256_set1_epi16(static_cast<short>(0x8000));
    const __m256i div255 = _mm256_set1_epi16(257);
    __m256i ss = _mm256_xor_si256(s, sign);
    __m256i ds = _mm256_xor_si256(d, sign);
    __m256i wl = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphaLow), invert);
    __m256i wh = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphaHigh), invert);
    __m256i tl = _mm256_maddubs_epi16(wl, _mm256_unpacklo_epi8(ss, ds));
    __m256i th = _mm256_maddubs_epi16(wh, _mm256_unpackhi_epi8(ss, ds));
    tl = _mm256_mulhi_epu16(_mm256_add_epi16(tl, offset), div255);
    th = _mm256_mulhi_epu16(_mm256_add_epi16(th, offset), div255);
    return _mm256_packus_epi16(tl, th);
}

// Lanes below `remaining` on, for the last, partial step of a row: masked loads and stores
// leave the pixels past the end untouched and never fault on them.
AVX2 inline __m256i TailMask(int remaining) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(remaining),
                              _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

AVX2 inline __m256i Load(const void* p, int remaining) {
    if (remaining >= 8) return _mm256_loadu_si256(static_cast<const __m256i*>(p));
    return _mm256_maskload_epi32(static_cast<const int*>(p), TailMask(remaining));
}

// Runs step(i, remaining) over count pixels eight at a time: whole steps with remaining = 8,
// which the compiler sees, then one partial step.
template <typename Step>
AVX2 inline void ForEach8(int count, Step step) {
    int i = 0;
    for (; i + 8 <= count; i += 8)
        step(i, 8);
    if (i < count) step(i, count - i);
}

AVX2 inline void Store(void* p, __m256i v, int remaining) {
    if (remaining >= 8) {
        _mm256_storeu_si256(static_cast<__m256i*>(p), v);
    } else {
        _mm256_maskstore_epi32(static_cast<int*>(p), TailMask(remaining), v);
    }
}

AVX2 void BlendSrcAlpha(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    // Every group is blended: sprite rows mix transparent, opaque and partly covered texels
    // group by group, and choosing a shortcut per group costs more in mispredicted branches
    // than the arithmetic it saves.
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    ForEach8(count, [&](int i, int r) AVX2 {
        __m256i s = Load(src + i, r);
        Store(dst + 4 * i, _mm256_or_si256(Blend8(s, Load(dst + 4 * i, r)), mask), r);
    });
}

AVX2 void BlendSrcAlphaTested(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    // A pixel of source alpha 0 blends to the target pixel itself; only orMask is held back.
    const __m256i zero = _mm256_setzero_si256();
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    // As at the AVX-512 level, eight pixels all clear leave the target as it is, and eight all
    // solid are their texels.
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    ForEach8(count, [&](int i, int r) AVX2 {
        __m256i s = Load(src + i, r);
        if (_mm256_testz_si256(s, alpha)) return;
        if (_mm256_testc_si256(s, alpha)) {
            Store(dst + 4 * i, s, r);
            return;
        }
        __m256i clear = _mm256_cmpeq_epi32(_mm256_srli_epi32(s, 24), zero);
        Store(dst + 4 * i,
              _mm256_or_si256(Blend8(s, Load(dst + 4 * i, r)), _mm256_andnot_si256(clear, mask)),
              r);
    });
}

AVX2 void BlendSrcAlphaConst(uint32_t src, uint8_t* dst, int count, uint32_t orMask) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    __m256i s = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(src)), zero);
    __m256i a = BroadcastAlpha(s);
    __m256i sa = _mm256_mullo_epi16(s, a);
    __m256i inv = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    ForEach8(count, [&](int i, int r) AVX2 {
        __m256i d = Load(dst + 4 * i, r);
        __m256i tl = _mm256_add_epi16(sa, _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inv));
        __m256i th = _mm256_add_epi16(sa, _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inv));
        Store(dst + 4 * i, _mm256_or_si256(_mm256_packus_epi16(Round255(tl), Round255(th)), mask),
              r);
    });
}

AVX2 void ModulateConst(const uint32_t* src, uint32_t color, uint32_t* out, int count) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(color)), zero);
    ForEach8(count, [&](int i, int r) AVX2 {
        __m256i s = Load(src + i, r);
        __m256i lo = Round255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), c));
        __m256i hi = Round255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), c));
        Store(out + i, _mm256_packus_epi16(lo, hi), r);
    });
}

// Runs at least this long are copied with both lines asked for ahead of use.
constexpr int kPrefetchRun = 256;
constexpr int kPrefetchAhead = 512;  // bytes

AVX2 void CopyOr(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(orMask));
    int i = 0;
    if (count >= kPrefetchRun) {
        // A long copy (a full-screen background) from and into the outer caches runs ahead of
        // the processor's own prefetching: asking for the source and target lines 512 bytes
        // early takes about a tenth off its time. Prefetches never fault, past the end either.
        // Short runs (sprite rows) skip it: lines past their end would be fetched for nothing.
        for (; i + 16 <= count; i += 16) {
            _mm_prefetch(reinterpret_cast<const char*>(src + i) + kPrefetchAhead, _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(dst + 4 * i) + kPrefetchAhead, _MM_HINT_T0);
            Store(dst + 4 * i, _mm256_or_si256(Load(src + i, 8), mask), 8);
            Store(dst + 4 * i + 32, _mm256_or_si256(Load(src + i + 8, 8), mask), 8);
        }
    }
    ForEach8(count - i, [&](int k, int r) AVX2 {
        Store(dst + 4 * (i + k), _mm256_or_si256(Load(src + i + k, r), mask), r);
    });
}

AVX2 void Fill32(uint32_t color, uint8_t* dst, int count) {
    const __m256i c = _mm256_set1_epi32(static_cast<int>(color));
    ForEach8(count, [&](int i, int r) AVX2 { Store(dst + 4 * i, c, r); });
}

// 16-bit pixels held in the low halves of 32-bit lanes to 0xAARRGGBB by replication.
AVX2 inline __m256i Expand5(__m256i v) {
    return _mm256_or_si256(_mm256_slli_epi32(v, 3), _mm256_srli_epi32(v, 2));
}

AVX2 inline __m256i Decode8(TPixelFormat format, __m256i p) {
    const __m256i five = _mm256_set1_epi32(31);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    if (format == TPixelFormat::A4R4G4B4) {
        // Each nibble into the low half of its byte, then v * 17 = v << 4 | v.
        __m256i low = _mm256_and_si256(p, _mm256_set1_epi32(0x0F0F));
        __m256i high = _mm256_and_si256(_mm256_srli_epi32(p, 4), _mm256_set1_epi32(0x0F0F));
        __m256i v = _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(low, _mm256_set1_epi32(0xF)),
                            _mm256_slli_epi32(_mm256_and_si256(low, _mm256_set1_epi32(0xF00)), 8)),
            _mm256_or_si256(
                _mm256_slli_epi32(_mm256_and_si256(high, _mm256_set1_epi32(0xF)), 8),
                _mm256_slli_epi32(_mm256_and_si256(high, _mm256_set1_epi32(0xF00)), 16)));
        return _mm256_or_si256(v, _mm256_slli_epi32(v, 4));
    }
    __m256i r, g;
    if (format == TPixelFormat::R5G6B5) {
        r = Expand5(_mm256_and_si256(_mm256_srli_epi32(p, 11), five));
        g = _mm256_and_si256(_mm256_srli_epi32(p, 5), _mm256_set1_epi32(63));
        g = _mm256_or_si256(_mm256_slli_epi32(g, 2), _mm256_srli_epi32(g, 4));
    } else {
        r = Expand5(_mm256_and_si256(_mm256_srli_epi32(p, 10), five));
        g = Expand5(_mm256_and_si256(_mm256_srli_epi32(p, 5), five));
    }
    __m256i b = Expand5(_mm256_and_si256(p, five));
    return _mm256_or_si256(_mm256_or_si256(opaque, _mm256_slli_epi32(r, 16)),
                           _mm256_or_si256(_mm256_slli_epi32(g, 8), b));
}

// Eight R5G6B5 pixels to 0xAARRGGBB by replication, and back by truncation.
AVX2 inline __m256i Decode565x8(__m128i packed) {
    return Decode8(TPixelFormat::R5G6B5, _mm256_cvtepu16_epi32(packed));
}

AVX2 inline __m128i Encode565x8(__m256i c) {
    __m256i r = _mm256_and_si256(_mm256_srli_epi32(c, 8), _mm256_set1_epi32(0xF800));
    __m256i g = _mm256_and_si256(_mm256_srli_epi32(c, 5), _mm256_set1_epi32(0x07E0));
    __m256i b = _mm256_and_si256(_mm256_srli_epi32(c, 3), _mm256_set1_epi32(0x001F));
    __m256i p = _mm256_or_si256(_mm256_or_si256(r, g), b);
    // Pack within the 128-bit halves, then gather the two useful quarters.
    __m256i packed = _mm256_packus_epi32(p, p);
    return _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
}

AVX2 void BlendSrcAlpha565(const uint32_t* src, uint8_t* dst, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* p = reinterpret_cast<__m128i*>(dst + 2 * i);
        __m256i d = Decode565x8(_mm_loadu_si128(p));
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        _mm_storeu_si128(p, Encode565x8(Blend8(s, d)));
    }
    if (i < count) ScalarBlendSrcAlpha565(src + i, dst + 2 * i, count - i);
}

AVX2 void Store565(const uint32_t* src, uint8_t* dst, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * i), Encode565x8(s));
    }
    if (i < count) ScalarStore565(src + i, dst + 2 * i, count - i);
}

AVX2 void Decode16(TPixelFormat format, const uint8_t* src, int count, uint32_t* out) {
    if (format != TPixelFormat::R5G6B5 && format != TPixelFormat::X1R5G5B5 &&
        format != TPixelFormat::A4R4G4B4) {
        ScalarDecode16(format, src, count, out);
        return;
    }
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i p =
            _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Decode8(format, p));
    }
    if (i < count) ScalarDecode16(format, src + 2 * i, count - i, out + i);
}

// (c0 (256 - f) + c1 f + 128) >> 8 on pixels widened to 16-bit channels, with 128 f in the
// channels of each pixel. That is c0 + (((c1 - c0) f + 128) >> 8), rounding down, which the
// rounding multiply computes exactly for f up to 255: ((c1 - c0) 128 f + 2^14) >> 15.
AVX2 inline __m256i LerpWide(__m256i c0, __m256i c1, __m256i f128) {
    return _mm256_add_epi16(c0, _mm256_mulhrs_epi16(_mm256_sub_epi16(c1, c0), f128));
}

// Per-pixel weights f (0..255, one per 32-bit lane) as 128 f in every channel of the pixels of
// the low and the high unpacked halves.
AVX2 inline void SpreadWeights(__m256i f, __m256i& low, __m256i& high) {
    f = _mm256_slli_epi16(_mm256_or_si256(f, _mm256_slli_epi32(f, 16)), 7);
    low = _mm256_unpacklo_epi32(f, f);
    high = _mm256_unpackhi_epi32(f, f);
}

// Eight texel pairs split into their first and second texels.
AVX2 inline void LoadPairs(const uint32_t* texels, const int32_t* index, __m256i& first,
                           __m256i& second) {
    auto pair = [&](int k) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels + index[k]));
    };
    __m128i p01 = _mm_unpacklo_epi64(pair(0), pair(1));
    __m128i p23 = _mm_unpacklo_epi64(pair(2), pair(3));
    __m128i p45 = _mm_unpacklo_epi64(pair(4), pair(5));
    __m128i p67 = _mm_unpacklo_epi64(pair(6), pair(7));
    __m256 a = _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(p01), p45, 1));
    __m256 b = _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(p23), p67, 1));
    first = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    second = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
}

// Texel indices held in the level: wrapped on a power-of-two size, else clamped.
AVX2 inline __m256i Address(__m256i i, __m256i last, bool wrap) {
    if (wrap) return _mm256_and_si256(i, last);
    return _mm256_min_epi32(_mm256_max_epi32(i, _mm256_setzero_si256()), last);
}

// The bilinear split of 16.16 coordinates: the lower texel index and the weight of the upper
// one, 0..255. Moving by -1/2 + 1/512 first makes the weight's rounding part of the index, as
// the scalar rule normalises a weight of 256 into the next index.
AVX2 inline void Split(__m256i c, __m256i& index, __m256i& weight) {
    __m256i shifted = _mm256_sub_epi32(c, _mm256_set1_epi32(32768 - 128));
    index = _mm256_srai_epi32(shifted, 16);
    weight = _mm256_and_si256(_mm256_srli_epi32(shifted, 8), _mm256_set1_epi32(0xFF));
}

// The coordinates of eight pixels along a span, start + lane * step, and their step from one
// eight to the next (wrapping like the scalar int32 sums they stand for).
AVX2 inline __m256i LaneCoordinates(int32_t start, int32_t step) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    return _mm256_add_epi32(_mm256_set1_epi32(start),
                            _mm256_mullo_epi32(lane, _mm256_set1_epi32(step)));
}
AVX2 inline __m256i EightSteps(int32_t step) {
    return _mm256_set1_epi32(static_cast<int>(static_cast<uint32_t>(step) * 8u));
}

// The offsets of the two texel rows of each lane and the weight of the lower one, from 16.16 t.
AVX2 inline void Rows(__m256i t, __m256i pitch, __m256i lastY, bool wrap, __m256i& row0,
                      __m256i& row1, __m256i& low, __m256i& high) {
    __m256i j0, fv;
    Split(t, j0, fv);
    row0 = _mm256_mullo_epi32(Address(j0, lastY, wrap), pitch);
    row1 =
        _mm256_mullo_epi32(Address(_mm256_add_epi32(j0, _mm256_set1_epi32(1)), lastY, wrap), pitch);
    SpreadWeights(fv, low, high);
}

// Eight texel pairs of two neighbouring rows: `above` and `below` point at the same column of
// the two rows.
AVX2 inline void LoadQuads(const uint32_t* above, const uint32_t* below, __m256i index,
                           __m256i& c00, __m256i& c10, __m256i& c01, __m256i& c11) {
    alignas(32) int32_t at[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
    LoadPairs(above, at, c00, c10);
    LoadPairs(below, at, c01, c11);
}

// Both halves of the bilinear rule on eight texel quads, weights spread by SpreadWeights.
AVX2 inline __m256i Bilinear(__m256i c00, __m256i c10, __m256i c01, __m256i c11, __m256i fuLow,
                             __m256i fuHigh, __m256i fvLow, __m256i fvHigh) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i top = LerpWide(_mm256_unpacklo_epi8(c00, zero), _mm256_unpacklo_epi8(c10, zero), fuLow);
    __m256i bottom =
        LerpWide(_mm256_unpacklo_epi8(c01, zero), _mm256_unpacklo_epi8(c11, zero), fuLow);
    __m256i low = LerpWide(top, bottom, fvLow);
    top = LerpWide(_mm256_unpackhi_epi8(c00, zero), _mm256_unpackhi_epi8(c10, zero), fuHigh);
    bottom = LerpWide(_mm256_unpackhi_epi8(c01, zero), _mm256_unpackhi_epi8(c11, zero), fuHigh);
    __m256i high = LerpWide(top, bottom, fvHigh);
    return _mm256_packus_epi16(low, high);
}

// Texel indices i and i + 1 clamped to a side of size n >= 2 are read as the neighbours p, p + 1
// with p = clamp(i, 0, n - 2): before the side the first of them is texel 0, past it the second
// is texel n - 1, and either way that texel alone is the answer, with weight 0. `past` marks
// the lanes that must take the second.
AVX2 inline void ClampPair(__m256i i, __m256i lastPair, __m256i& p, __m256i& weight,
                           __m256i& past) {
    const __m256i zero = _mm256_setzero_si256();
    p = _mm256_min_epi32(_mm256_max_epi32(i, zero), lastPair);
    past = _mm256_cmpgt_epi32(i, lastPair);
    weight = _mm256_andnot_si256(_mm256_or_si256(_mm256_cmpgt_epi32(zero, i), past), weight);
}

// The upper row of each lane's pair of rows as an offset, the lanes past the last row, and the
// spread weights of the lower row.
AVX2 inline void ClampedRows(__m256i t, __m256i pitch, __m256i lastRowPair, __m256i& row,
                             __m256i& past, __m256i& low, __m256i& high) {
    __m256i j, fv, q;
    Split(t, j, fv);
    ClampPair(j, lastRowPair, q, fv, past);
    row = _mm256_mullo_epi32(q, pitch);
    SpreadWeights(fv, low, high);
}

// Bilinear sampling clamped on both axes of a level at least 2 x 2: every texel quad is two
// neighbouring pairs on two neighbouring rows. A 32-bit level's pairs are read directly; a
// 16-bit level's pair is one 32-bit word, gathered and expanded.
template <TPixelFormat F>
AVX2 void SampleClamped(const TTexels& tx, int32_t s, int32_t ds, int32_t t, int32_t dt, int count,
                        uint32_t* out) {
    constexpr bool kWide = F == TPixelFormat::A8R8G8B8;
    const __m256i pitch = _mm256_set1_epi32(tx.pitch / (kWide ? 4 : 2));
    const __m256i lastColumnPair = _mm256_set1_epi32(tx.width - 2);
    const __m256i lastRowPair = _mm256_set1_epi32(tx.height - 2);
    const __m256i orMask = _mm256_set1_epi32(static_cast<int>(tx.orMask));
    __m256i S = LaneCoordinates(s, ds), T = LaneCoordinates(t, dt);
    const __m256i stepS = EightSteps(ds), stepT = EightSteps(dt);
    __m256i row, fvLow, fvHigh, below2;
    // Along a span with dt = 0 (a sprite scaled but not turned) the rows and their weight are
    // the same for every pixel.
    ClampedRows(T, pitch, lastRowPair, row, below2, fvLow, fvHigh);
    // Lanes past the end compute clamped addresses too, so the last step reads safely and
    // stores only its own pixels.
    ForEach8(count, [&](int i, int r) AVX2 {
        if (dt != 0) ClampedRows(T, pitch, lastRowPair, row, below2, fvLow, fvHigh);
        __m256i i0, fu, p, right;
        Split(S, i0, fu);
        ClampPair(i0, lastColumnPair, p, fu, right);
        __m256i at = _mm256_add_epi32(row, p);
        __m256i c00, c10, c01, c11;
        if constexpr (kWide) {
            LoadQuads(reinterpret_cast<const uint32_t*>(tx.pixels),
                      reinterpret_cast<const uint32_t*>(tx.pixels + tx.pitch), at, c00, c10, c01,
                      c11);
        } else {
            const __m256i half = _mm256_set1_epi32(0xFFFF);
            __m256i above = _mm256_i32gather_epi32(reinterpret_cast<const int*>(tx.pixels), at, 2);
            __m256i below =
                _mm256_i32gather_epi32(reinterpret_cast<const int*>(tx.pixels + tx.pitch), at, 2);
            c00 = Decode8(F, _mm256_and_si256(above, half));
            c10 = Decode8(F, _mm256_srli_epi32(above, 16));
            c01 = Decode8(F, _mm256_and_si256(below, half));
            c11 = Decode8(F, _mm256_srli_epi32(below, 16));
        }
        c00 = _mm256_blendv_epi8(c00, c10, right);
        c01 = _mm256_blendv_epi8(c01, c11, right);
        c00 = _mm256_blendv_epi8(c00, c01, below2);
        c10 = _mm256_blendv_epi8(c10, c11, below2);
        __m256i fuLow, fuHigh;
        SpreadWeights(fu, fuLow, fuHigh);
        __m256i result = Bilinear(c00, c10, c01, c11, fuLow, fuHigh, fvLow, fvHigh);
        Store(out + i, _mm256_or_si256(result, orMask), r);
        S = _mm256_add_epi32(S, stepS);
        T = _mm256_add_epi32(T, stepT);
    });
}

// Whether a level and filter take the clamped bilinear form.
inline bool Clamped(const TTexels& tx, bool bilinear) {
    return bilinear && !tx.wrapU && !tx.wrapV && tx.width >= 2 && tx.height >= 2;
}

AVX2 void Sample16(const TTexels& tx, bool bilinear, int32_t s, int32_t ds, int32_t t, int32_t dt,
                   int count, uint32_t* out) {
    if (!Clamped(tx, bilinear)) {
        ScalarSample16(tx, bilinear, s, ds, t, dt, count, out);
        return;
    }
    switch (tx.format) {
        case TPixelFormat::R5G6B5:
            SampleClamped<TPixelFormat::R5G6B5>(tx, s, ds, t, dt, count, out);
            break;
        case TPixelFormat::X1R5G5B5:
            SampleClamped<TPixelFormat::X1R5G5B5>(tx, s, ds, t, dt, count, out);
            break;
        default:
            SampleClamped<TPixelFormat::A4R4G4B4>(tx, s, ds, t, dt, count, out);
            break;
    }
}

AVX2 void Sample32(const TTexels& tx, bool bilinear, int32_t s, int32_t ds, int32_t t, int32_t dt,
                   int count, uint32_t* out) {
    if (Clamped(tx, bilinear)) {
        SampleClamped<TPixelFormat::A8R8G8B8>(tx, s, ds, t, dt, count, out);
        return;
    }
    const int* base = reinterpret_cast<const int*>(tx.pixels);
    const __m256i pitch = _mm256_set1_epi32(tx.pitch / 4);
    const __m256i lastX = _mm256_set1_epi32(tx.width - 1);
    const __m256i lastY = _mm256_set1_epi32(tx.height - 1);
    const __m256i orMask = _mm256_set1_epi32(static_cast<int>(tx.orMask));
    const __m256i one = _mm256_set1_epi32(1);
    __m256i S = LaneCoordinates(s, ds), T = LaneCoordinates(t, dt);
    const __m256i stepS = EightSteps(ds), stepT = EightSteps(dt);
    const bool rowsFixed = dt == 0;
    __m256i row0, row1, fvLow, fvHigh;
    Rows(T, pitch, lastY, tx.wrapV, row0, row1, fvLow, fvHigh);
    // Lanes past the end compute addresses inside the level too (every index is wrapped or
    // clamped), so the last step gathers safely and stores only its own pixels.
    for (int i = 0; i < count; i += 8) {
        __m256i result;
        if (!bilinear) {
            __m256i x = Address(_mm256_srai_epi32(S, 16), lastX, tx.wrapU);
            __m256i y = Address(_mm256_srai_epi32(T, 16), lastY, tx.wrapV);
            result =
                _mm256_i32gather_epi32(base, _mm256_add_epi32(_mm256_mullo_epi32(y, pitch), x), 4);
        } else {
            __m256i i0, fu;
            Split(S, i0, fu);
            if (!rowsFixed) Rows(T, pitch, lastY, tx.wrapV, row0, row1, fvLow, fvHigh);
            __m256i x0 = Address(i0, lastX, tx.wrapU);
            __m256i x1 = Address(_mm256_add_epi32(i0, one), lastX, tx.wrapU);
            __m256i c00 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x0), 4);
            __m256i c10 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x1), 4);
            __m256i c01 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x0), 4);
            __m256i c11 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x1), 4);
            __m256i fuLow, fuHigh;
            SpreadWeights(fu, fuLow, fuHigh);
            result = Bilinear(c00, c10, c01, c11, fuLow, fuHigh, fvLow, fvHigh);
        }
        Store(out + i, _mm256_or_si256(result, orMask), count - i);
        S = _mm256_add_epi32(S, stepS);
        T = _mm256_add_epi32(T, stepT);
    }
}

// The columns of eight pixels read texels within 16 of the lowest, the first or the last as the
// columns run up or down: that one is the step's window start.
inline int WindowStart(const int32_t* index, int i, int r) {
    int first = index[i], last = index[i + (r < 8 ? r : 8) - 1];
    return first < last ? first : last;
}

// One step of the horizontal pass: the pairs of eight columns, at `rel` within the 16-texel
// window `w` (and its neighbour one texel on), come out of the two halves of the window by
// permutation; weights spread by SpreadWeights.
AVX2 inline __m256i LerpWindow(const uint32_t* w, __m256i rel, __m256i low, __m256i high) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i upper = _mm256_cmpgt_epi32(rel, _mm256_set1_epi32(7));
    auto pick = [&](const uint32_t* at) AVX2 {
        __m256i lo = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), rel);
        __m256i hi = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 8)), rel);
        return _mm256_blendv_epi8(lo, hi, upper);
    };
    __m256i c0 = pick(w), c1 = pick(w + 1);
    __m256i lo = LerpWide(_mm256_unpacklo_epi8(c0, zero), _mm256_unpacklo_epi8(c1, zero), low);
    __m256i hi = LerpWide(_mm256_unpackhi_epi8(c0, zero), _mm256_unpackhi_epi8(c1, zero), high);
    return _mm256_packus_epi16(lo, hi);
}

AVX2 void LerpPairs(const uint32_t* texels, const int32_t* index, const uint32_t* weight, int count,
                    uint32_t* out) {
    ForEach8(count, [&](int i, int r) AVX2 {
        int base = WindowStart(index, i, r);
        __m256i rel = _mm256_sub_epi32(Load(index + i, r), _mm256_set1_epi32(base));
        __m256i low, high;
        SpreadWeights(Load(weight + i, r), low, high);
        Store(out + i, LerpWindow(texels + base, rel, low, high), r);
    });
}

// The window starts, relative indices and spread weights of every step, made once. Lanes past
// the end of the last step hold what LerpPairs would compute for them; they are never stored.
AVX2 void PlanPairs(const int32_t* index, const uint32_t* weight, int count, TPairPlan& plan) {
    KeepPairArrays(index, weight, count, plan);
    ForEach8(count, [&](int i, int r) AVX2 {
        int base = WindowStart(index, i, r);
        plan.base[i / 8] = base;
        _mm256_store_si256(reinterpret_cast<__m256i*>(plan.rel + i),
                           _mm256_sub_epi32(Load(index + i, r), _mm256_set1_epi32(base)));
        __m256i low, high;
        SpreadWeights(Load(weight + i, r), low, high);
        _mm256_store_si256(reinterpret_cast<__m256i*>(plan.spread + 4 * i), low);
        _mm256_store_si256(reinterpret_cast<__m256i*>(plan.spread + 4 * i + 16), high);
    });
}

AVX2 void LerpPlanned(const uint32_t* texels, const TPairPlan& plan, uint32_t* out) {
    ForEach8(plan.count, [&](int i, int r) AVX2 {
        __m256i rel = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.rel + i));
        __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.spread + 4 * i));
        __m256i high =
            _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.spread + 4 * i + 16));
        Store(out + i, LerpWindow(texels + plan.base[i / 8], rel, low, high), r);
    });
}

AVX2 void LerpRows(const uint32_t* a, const uint32_t* b, int weight, int count, uint32_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i f = _mm256_set1_epi16(static_cast<int16_t>(weight << 7));
    ForEach8(count, [&](int i, int r) AVX2 {
        __m256i c0 = Load(a + i, r), c1 = Load(b + i, r);
        __m256i lo = LerpWide(_mm256_unpacklo_epi8(c0, zero), _mm256_unpacklo_epi8(c1, zero), f);
        __m256i hi = LerpWide(_mm256_unpackhi_epi8(c0, zero), _mm256_unpackhi_epi8(c1, zero), f);
        Store(out + i, _mm256_packus_epi16(lo, hi), r);
    });
}

#undef AVX2

}  // namespace

const TKernels& Avx2Kernels() {
    static const TKernels kernels{
        .level = TSimd::Avx2,
        .blendSrcAlpha = BlendSrcAlpha,
        .blendSrcAlphaTested = BlendSrcAlphaTested,
        .blendSrcAlphaConst = BlendSrcAlphaConst,
        .modulateConst = ModulateConst,
        .copyOr = CopyOr,
        .fill32 = Fill32,
        .blendSrcAlpha565 = BlendSrcAlpha565,
        .store565 = Store565,
        .lerpPairs = LerpPairs,
        .planPairs = PlanPairs,
        .lerpPlanned = LerpPlanned,
        .lerpRows = LerpRows,
        .decode16 = Decode16,
        .sample32 = Sample32,
        .sample16 = Sample16,
    };
    return kernels;
}

}  // namespace raster
