// AVX-512 forms of the kernels that carry most of a frame: sixteen pixels per step, the last,
// partial step through a lane mask. The rest (16-bit targets and texels, wrapped and point
// sampling) are the AVX2 kernels. The arithmetic is the AVX2 one lane for lane: the 512-bit
// unpack, pack and byte shuffle instructions work within 128-bit quarters, so pixel order is kept,
// and round(t / 255) is ((t + 128) * 257) >> 16, exact for every t up to 65025.
// GCC 12's AVX-512 intrinsics pass a self-initialised variable as their unused merge operand,
// which -Wuninitialized reports at every use (GCC bug 105593); that operand is never read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include "raster/kernels.h"
#include "raster/pixelformat.h"

namespace raster {

namespace {

#define AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512dq,bmi2")))

AVX512 inline __m512i Round255(__m512i t) {
    return _mm512_mulhi_epu16(_mm512_add_epi16(t, _mm512_set1_epi16(128)), _mm512_set1_epi16(257));
}

AVX512 inline __m512i BroadcastAlpha(__m512i wide) {
    return _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(wide, _MM_SHUFFLE(3, 3, 3, 3)),
                                  _MM_SHUFFLE(3, 3, 3, 3));
}

// s a + d (255 - a), rounded by /255, on every channel of sixteen pixels with one multiply-add
// per channel, as the AVX2 Blend8: colours moved into signed bytes (c - 128), the weights a and
// 255 - a as unsigned bytes, and 32768 added back for the unsigned division.
AVX512 inline __m512i Blend16(__m512i s, __m512i d) {
    const __m512i sign = _mm512_set1_epi8(static_cast<char>(0x80));
    const __m512i alphaLow =
        _mm512_broadcast_i32x4(_mm_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7));
    const __m512i alphaHigh = _mm512_broadcast_i32x4(
        _mm_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15));
    const __m512i invert = _mm512_set1_epi16(static_cast<short>(0xFF00));
    const __m512i offset = _mm512_set1_epi16(static_cast<short>(0x8000));
    const __m512i div255 = _mm512_set1_epi16(257);
    __m512i ss = _mm512_xor_si512(s, sign);
    __m512i ds = _mm512_xor_si512(d, sign);
    __m512i wl = _mm512_xor_si512(_mm512_shuffle_epi8(s, alphaLow), invert);
    __m512i wh = _mm512_xor_si512(_mm512_shuffle_epi8(s, alphaHigh), invert);
    __m512i tl = _mm512_maddubs_epi16(wl, _mm512_unpacklo_epi8(ss, ds));
    __m512i th = _mm512_maddubs_epi16(wh, _mm512_unpackhi_epi8(ss, ds));
    tl = _mm512_mulhi_epu16(_mm512_add_epi16(tl, offset), div255);
    th = _mm512_mulhi_epu16(_mm512_add_epi16(th, offset), div255);
    return _mm512_packus_epi16(tl, th);
}

// Lanes below `remaining`: masked loads and stores leave the pixels past the end of a row
// untouched and never fault on them.
AVX512 inline __mmask16 TailMask(int remaining) {
    return static_cast<__mmask16>(_bzhi_u32(0xFFFFu, static_cast<unsigned>(remaining)));
}

AVX512 inline __m512i Load(const void* p, int remaining) {
    if (remaining >= 16) return _mm512_loadu_si512(p);
    return _mm512_maskz_loadu_epi32(TailMask(remaining), p);
}

AVX512 inline void Store(void* p, __m512i v, int remaining) {
    if (remaining >= 16) {
        _mm512_storeu_si512(p, v);
    } else {
        _mm512_mask_storeu_epi32(p, TailMask(remaining), v);
    }
}

// Runs step(i, remaining) over count pixels sixteen at a time: whole steps with remaining = 16,
// which the compiler sees, then one partial step.
template <typename Step>
AVX512 inline void ForEach16(int count, Step step) {
    int i = 0;
    for (; i + 16 <= count; i += 16)
        step(i, 16);
    if (i < count) step(i, count - i);
}

AVX512 void BlendSrcAlpha(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    // Every group is blended, as at the AVX2 level: a shortcut per group costs more in
    // mispredicted branches than it saves.
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(orMask));
    ForEach16(count, [&](int i, int r) AVX512 {
        __m512i s = Load(src + i, r);
        Store(dst + 4 * i, _mm512_or_si512(Blend16(s, Load(dst + 4 * i, r)), mask), r);
    });
}

AVX512 void BlendSrcAlphaTested(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    // A pixel of source alpha 0 blends to the target pixel itself; only orMask is held back.
    // Sprites are mostly clear around their rims and solid inside: sixteen pixels that are all
    // clear leave the target as it is, and sixteen that are all solid are their texels.
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(orMask));
    const __m512i alpha = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    ForEach16(count, [&](int i, int r) AVX512 {
        __m512i s = Load(src + i, r);
        __mmask16 seen = _mm512_test_epi32_mask(s, alpha);
        if (seen == 0) return;
        __mmask16 solid = _mm512_cmpeq_epi32_mask(_mm512_and_si512(s, alpha), alpha);
        if (solid == 0xFFFF) {
            Store(dst + 4 * i, s, r);
            return;
        }
        __m512i blended = Blend16(s, Load(dst + 4 * i, r));
        Store(dst + 4 * i, _mm512_mask_or_epi32(blended, seen, blended, mask), r);
    });
}

AVX512 void BlendSrcAlphaConst(uint32_t src, uint8_t* dst, int count, uint32_t orMask) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(orMask));
    __m512i s = _mm512_unpacklo_epi8(_mm512_set1_epi32(static_cast<int>(src)), zero);
    __m512i a = BroadcastAlpha(s);
    __m512i sa = _mm512_mullo_epi16(s, a);
    __m512i inv = _mm512_sub_epi16(_mm512_set1_epi16(255), a);
    ForEach16(count, [&](int i, int r) AVX512 {
        __m512i d = Load(dst + 4 * i, r);
        __m512i tl = _mm512_add_epi16(sa, _mm512_mullo_epi16(_mm512_unpacklo_epi8(d, zero), inv));
        __m512i th = _mm512_add_epi16(sa, _mm512_mullo_epi16(_mm512_unpackhi_epi8(d, zero), inv));
        Store(dst + 4 * i, _mm512_or_si512(_mm512_packus_epi16(Round255(tl), Round255(th)), mask),
              r);
    });
}

AVX512 void ModulateConst(const uint32_t* src, uint32_t color, uint32_t* out, int count) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i c = _mm512_unpacklo_epi8(_mm512_set1_epi32(static_cast<int>(color)), zero);
    ForEach16(count, [&](int i, int r) AVX512 {
        __m512i s = Load(src + i, r);
        __m512i lo = Round255(_mm512_mullo_epi16(_mm512_unpacklo_epi8(s, zero), c));
        __m512i hi = Round255(_mm512_mullo_epi16(_mm512_unpackhi_epi8(s, zero), c));
        Store(out + i, _mm512_packus_epi16(lo, hi), r);
    });
}

// Runs at least this long (a full-screen background, from and into the outer caches) take the
// AVX2 copy with its lines asked for ahead: timed on an 800 x 600 background it was about 5 %
// faster than the same loop in 64-byte steps. Short runs (sprite rows) gain from the masked end.
constexpr int kLongRun = 256;

AVX512 void CopyOr(const uint32_t* src, uint8_t* dst, int count, uint32_t orMask) {
    if (count >= kLongRun) {
        Avx2Kernels().copyOr(src, dst, count, orMask);
        return;
    }
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(orMask));
    ForEach16(count, [&](int i, int r) AVX512 {
        Store(dst + 4 * i, _mm512_or_si512(Load(src + i, r), mask), r);
    });
}

AVX512 void Fill32(uint32_t color, uint8_t* dst, int count) {
    const __m512i c = _mm512_set1_epi32(static_cast<int>(color));
    ForEach16(count, [&](int i, int r) AVX512 { Store(dst + 4 * i, c, r); });
}

// (c0 (256 - f) + c1 f + 128) >> 8 on pixels widened to 16-bit channels, with 128 f in the
// channels of each pixel: c0 + (((c1 - c0) 128 f + 2^14) >> 15), exact for f up to 255.
AVX512 inline __m512i LerpWide(__m512i c0, __m512i c1, __m512i f128) {
    return _mm512_add_epi16(c0, _mm512_mulhrs_epi16(_mm512_sub_epi16(c1, c0), f128));
}

// Per-pixel weights f (0..255, one per 32-bit lane) as 128 f in every channel of the pixels of
// the low and the high unpacked halves.
AVX512 inline void SpreadWeights(__m512i f, __m512i& low, __m512i& high) {
    f = _mm512_slli_epi16(_mm512_or_si512(f, _mm512_slli_epi32(f, 16)), 7);
    low = _mm512_unpacklo_epi32(f, f);
    high = _mm512_unpackhi_epi32(f, f);
}

// Both pixels' lerp on sixteen pairs, weights spread by SpreadWeights.
AVX512 inline __m512i Lerp16(__m512i c0, __m512i c1, __m512i low, __m512i high) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i lo = LerpWide(_mm512_unpacklo_epi8(c0, zero), _mm512_unpacklo_epi8(c1, zero), low);
    __m512i hi = LerpWide(_mm512_unpackhi_epi8(c0, zero), _mm512_unpackhi_epi8(c1, zero), high);
    return _mm512_packus_epi16(lo, hi);
}

AVX512 void LerpRows(const uint32_t* a, const uint32_t* b, int weight, int count, uint32_t* out) {
    const __m512i f = _mm512_set1_epi16(static_cast<int16_t>(weight << 7));
    ForEach16(count, [&](int i, int r) AVX512 {
        Store(out + i, Lerp16(Load(a + i, r), Load(b + i, r), f, f), r);
    });
}

// The columns of eight pixels read texels within 16 of the lowest, the first or the last as the
// columns run up or down: that one is the window start of those eight.
inline int WindowStart(const int32_t* index, int i, int r) {
    int first = index[i], last = index[i + (r < 8 ? r : 8) - 1];
    return first < last ? first : last;
}

// The window starts of a step's two groups of eight columns; a step of eight columns or fewer
// uses its one window twice.
inline void Windows(const int32_t* index, int i, int r, int& a, int& b) {
    a = WindowStart(index, i, r);
    b = r > 8 ? WindowStart(index, i + 8, r - 8) : a;
}

// The pair indices of a step as two-window permutation indices: the first eight columns within
// the window at a (0..15), the last eight within the window at b (16..31).
AVX512 inline __m512i WindowIndices(const int32_t* index, int r, int a, int b) {
    const __m512i bases = _mm512_inserti64x4(_mm512_set1_epi32(a), _mm256_set1_epi32(b - 16), 1);
    return _mm512_sub_epi32(Load(index, r), bases);
}

// One step of the horizontal pass: the pairs of sixteen columns come out of the windows at a and
// b (and their neighbours one texel on) by one two-table permutation each.
AVX512 inline __m512i LerpWindows(const uint32_t* texels, int a, int b, __m512i rel, __m512i low,
                                  __m512i high) {
    __m512i c0 = _mm512_permutex2var_epi32(_mm512_loadu_si512(texels + a), rel,
                                           _mm512_loadu_si512(texels + b));
    __m512i c1 = _mm512_permutex2var_epi32(_mm512_loadu_si512(texels + a + 1), rel,
                                           _mm512_loadu_si512(texels + b + 1));
    return Lerp16(c0, c1, low, high);
}

AVX512 void LerpPairs(const uint32_t* texels, const int32_t* index, const uint32_t* weight,
                      int count, uint32_t* out) {
    ForEach16(count, [&](int i, int r) AVX512 {
        int a, b;
        Windows(index, i, r, a, b);
        __m512i low, high;
        SpreadWeights(Load(weight + i, r), low, high);
        Store(out + i, LerpWindows(texels, a, b, WindowIndices(index + i, r, a, b), low, high), r);
    });
}

// The plan at this level: base[] the window start of every eight columns (a step of eight or
// fewer repeats its one), rel[] the permutation indices and spread[] the spread weights of every
// sixteen. Lanes past the end of the last step are never stored.
AVX512 void PlanPairs(const int32_t* index, const uint32_t* weight, int count, TPairPlan& plan) {
    KeepPairArrays(index, weight, count, plan);
    ForEach16(count, [&](int i, int r) AVX512 {
        int a, b;
        Windows(index, i, r, a, b);
        plan.base[i / 8] = a;
        plan.base[i / 8 + 1] = b;
        _mm512_store_si512(plan.rel + i, WindowIndices(index + i, r, a, b));
        __m512i low, high;
        SpreadWeights(Load(weight + i, r), low, high);
        _mm512_store_si512(plan.spread + 4 * i, low);
        _mm512_store_si512(plan.spread + 4 * i + 32, high);
    });
}

AVX512 void LerpPlanned(const uint32_t* texels, const TPairPlan& plan, uint32_t* out) {
    ForEach16(plan.count, [&](int i, int r) AVX512 {
        __m512i rel = _mm512_load_si512(plan.rel + i);
        __m512i low = _mm512_load_si512(plan.spread + 4 * i);
        __m512i high = _mm512_load_si512(plan.spread + 4 * i + 32);
        Store(out + i, LerpWindows(texels, plan.base[i / 8], plan.base[i / 8 + 1], rel, low, high),
              r);
    });
}

// The bilinear split of 16.16 coordinates: the lower texel index and the weight of the upper
// one, 0..255, moved by -1/2 + 1/512 first as at the AVX2 level.
AVX512 inline void Split(__m512i c, __m512i& index, __m512i& weight) {
    __m512i shifted = _mm512_sub_epi32(c, _mm512_set1_epi32(32768 - 128));
    index = _mm512_srai_epi32(shifted, 16);
    weight = _mm512_and_si512(_mm512_srli_epi32(shifted, 8), _mm512_set1_epi32(0xFF));
}

// Texel indices i and i + 1 clamped to a side of size n >= 2 are read as the neighbours p, p + 1
// with p = clamp(i, 0, n - 2), with weight 0 before and past the side; `past` marks the lanes
// that must take the second of the two.
AVX512 inline void ClampPair(__m512i i, __m512i lastPair, __m512i& p, __m512i& weight,
                             __mmask16& past) {
    const __m512i zero = _mm512_setzero_si512();
    p = _mm512_min_epi32(_mm512_max_epi32(i, zero), lastPair);
    past = _mm512_cmpgt_epi32_mask(i, lastPair);
    __mmask16 before = _mm512_cmplt_epi32_mask(i, zero);
    weight = _mm512_maskz_mov_epi32(static_cast<__mmask16>(~(before | past)), weight);
}

AVX512 inline void ClampedRows(__m512i t, __m512i pitch, __m512i lastRowPair, __m512i& row,
                               __mmask16& past, __m512i& low, __m512i& high) {
    __m512i j, fv, q;
    Split(t, j, fv);
    ClampPair(j, lastRowPair, q, fv, past);
    row = _mm512_mullo_epi32(q, pitch);
    SpreadWeights(fv, low, high);
}

// Sixteen texel pairs read at `at` from one texel row, split into their first and second texels.
AVX512 inline void LoadPairs(const uint32_t* texels, __m512i at, __m512i& first, __m512i& second) {
    const __m512i even =
        _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    const __m512i odd =
        _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
    __m512i p0 = _mm512_i32gather_epi64(_mm512_castsi512_si256(at), texels, 4);
    __m512i p1 = _mm512_i32gather_epi64(_mm512_extracti64x4_epi64(at, 1), texels, 4);
    first = _mm512_permutex2var_epi32(p0, even, p1);
    second = _mm512_permutex2var_epi32(p0, odd, p1);
}

// Both halves of the bilinear rule on sixteen texel quads, weights spread by SpreadWeights.
AVX512 inline __m512i Bilinear(__m512i c00, __m512i c10, __m512i c01, __m512i c11, __m512i fuLow,
                               __m512i fuHigh, __m512i fvLow, __m512i fvHigh) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i top = LerpWide(_mm512_unpacklo_epi8(c00, zero), _mm512_unpacklo_epi8(c10, zero), fuLow);
    __m512i bottom =
        LerpWide(_mm512_unpacklo_epi8(c01, zero), _mm512_unpacklo_epi8(c11, zero), fuLow);
    __m512i low = LerpWide(top, bottom, fvLow);
    top = LerpWide(_mm512_unpackhi_epi8(c00, zero), _mm512_unpackhi_epi8(c10, zero), fuHigh);
    bottom = LerpWide(_mm512_unpackhi_epi8(c01, zero), _mm512_unpackhi_epi8(c11, zero), fuHigh);
    __m512i high = LerpWide(top, bottom, fvHigh);
    return _mm512_packus_epi16(low, high);
}

// Bilinear sampling of a 32-bit level clamped on both axes, at least 2 x 2: every texel quad
// is two neighbouring pairs on two neighbouring rows.
AVX512 void SampleClamped32(const TTexels& tx, int32_t s, int32_t ds, int32_t t, int32_t dt,
                            int count, uint32_t* out) {
    const __m512i pitch = _mm512_set1_epi32(tx.pitch / 4);
    const __m512i lastColumnPair = _mm512_set1_epi32(tx.width - 2);
    const __m512i lastRowPair = _mm512_set1_epi32(tx.height - 2);
    const __m512i orMask = _mm512_set1_epi32(static_cast<int>(tx.orMask));
    const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    __m512i S =
        _mm512_add_epi32(_mm512_set1_epi32(s), _mm512_mullo_epi32(lane, _mm512_set1_epi32(ds)));
    __m512i T =
        _mm512_add_epi32(_mm512_set1_epi32(t), _mm512_mullo_epi32(lane, _mm512_set1_epi32(dt)));
    // The coordinates' step from one sixteen to the next, wrapping like the scalar int32 sums.
    const __m512i stepS = _mm512_set1_epi32(static_cast<int>(static_cast<uint32_t>(ds) * 16u));
    const __m512i stepT = _mm512_set1_epi32(static_cast<int>(static_cast<uint32_t>(dt) * 16u));
    const auto* above = reinterpret_cast<const uint32_t*>(tx.pixels);
    const auto* below = reinterpret_cast<const uint32_t*>(tx.pixels + tx.pitch);
    __m512i row, fvLow, fvHigh;
    __mmask16 below2;
    // Along a span with dt = 0 the rows and their weight are the same for every pixel.
    ClampedRows(T, pitch, lastRowPair, row, below2, fvLow, fvHigh);
    // Lanes past the end compute clamped addresses too, so the last step reads safely and stores
    // only its own pixels.
    ForEach16(count, [&](int i, int r) AVX512 {
        if (dt != 0) ClampedRows(T, pitch, lastRowPair, row, below2, fvLow, fvHigh);
        __m512i i0, fu, p;
        __mmask16 right;
        Split(S, i0, fu);
        ClampPair(i0, lastColumnPair, p, fu, right);
        __m512i at = _mm512_add_epi32(row, p);
        __m512i c00, c10, c01, c11;
        LoadPairs(above, at, c00, c10);
        LoadPairs(below, at, c01, c11);
        c00 = _mm512_mask_blend_epi32(right, c00, c10);
        c01 = _mm512_mask_blend_epi32(right, c01, c11);
        c00 = _mm512_mask_blend_epi32(below2, c00, c01);
        c10 = _mm512_mask_blend_epi32(below2, c10, c11);
        __m512i fuLow, fuHigh;
        SpreadWeights(fu, fuLow, fuHigh);
        __m512i result = Bilinear(c00, c10, c01, c11, fuLow, fuHigh, fvLow, fvHigh);
        Store(out + i, _mm512_or_si512(result, orMask), r);
        S = _mm512_add_epi32(S, stepS);
        T = _mm512_add_epi32(T, stepT);
    });
}

AVX512 void Sample32(const TTexels& tx, bool bilinear, int32_t s, int32_t ds, int32_t t, int32_t dt,
                     int count, uint32_t* out) {
    if (bilinear && !tx.wrapU && !tx.wrapV && tx.width >= 2 && tx.height >= 2) {
        SampleClamped32(tx, s, ds, t, dt, count, out);
        return;
    }
    Avx2Kernels().sample32(tx, bilinear, s, ds, t, dt, count, out);
}

#undef AVX512

}  // namespace

const TKernels& Avx512Kernels() {
    static const TKernels kernels = [] {
        TKernels k = Avx2Kernels();
        k.level = TSimd::Avx512;
        k.blendSrcAlpha = BlendSrcAlpha;
        k.blendSrcAlphaTested = BlendSrcAlphaTested;
        k.blendSrcAlphaConst = BlendSrcAlphaConst;
        k.modulateConst = ModulateConst;
        k.copyOr = CopyOr;
        k.fill32 = Fill32;
        k.lerpPairs = LerpPairs;
        k.planPairs = PlanPairs;
        k.lerpPlanned = LerpPlanned;
        k.lerpRows = LerpRows;
        k.sample32 = Sample32;
        return k;
    }();
    return kernels;
}

}  // namespace raster
