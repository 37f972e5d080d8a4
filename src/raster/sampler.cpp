#include "raster/sampler.h"

#include <algorithm>
#include <type_traits>

namespace raster {

namespace {

template <TPixelFormat F>
inline uint32_t Fetch(const TLevel& level, int x, int y) {
    const uint8_t* row = level.pixels + static_cast<intptr_t>(y) * level.pitch;
    if constexpr (F == TPixelFormat::A8R8G8B8) return Load32(row + 4 * x);
    if constexpr (F == TPixelFormat::X8R8G8B8) return Load32(row + 4 * x) | 0xFF000000u;
    if constexpr (F == TPixelFormat::R5G6B5) return Decode565(Load16(row + 2 * x));
    if constexpr (F == TPixelFormat::X1R5G5B5) return Decode1555(Load16(row + 2 * x));
    if constexpr (F == TPixelFormat::A4R4G4B4) return Decode4444(Load16(row + 2 * x));
    return 0;
}

template <TPixelFormat F>
inline uint32_t SampleAt(const TLevel& level, bool bilinear, TAddress au, TAddress av, int64_t s,
                         int64_t t) {
    if (!bilinear) {
        int x = AddressTexel(s >> 16, level.width, au);
        int y = AddressTexel(t >> 16, level.height, av);
        return Fetch<F>(level, x, y);
    }
    int64_t i, j;
    int fu, fv;
    BilinearSplit(s, i, fu);
    BilinearSplit(t, j, fv);
    int x0 = AddressTexel(i, level.width, au);
    int x1 = AddressTexel(i + 1, level.width, au);
    int y0 = AddressTexel(j, level.height, av);
    int y1 = AddressTexel(j + 1, level.height, av);
    return BilinearMix(Fetch<F>(level, x0, y0), Fetch<F>(level, x1, y0), Fetch<F>(level, x0, y1),
                       Fetch<F>(level, x1, y1), fu, fv);
}

template <TPixelFormat F>
void SampleRunT(const TLevel& level, bool bilinear, TAddress au, TAddress av, int64_t s, int64_t ds,
                int64_t t, int64_t dt, int count, uint32_t* out) {
    if (!bilinear) {
        for (int k = 0; k < count; ++k, s += ds, t += dt) {
            int x = AddressTexel(s >> 16, level.width, au);
            int y = AddressTexel(t >> 16, level.height, av);
            out[k] = Fetch<F>(level, x, y);
        }
        return;
    }
    for (int k = 0; k < count; ++k, s += ds, t += dt) {
        out[k] = SampleAt<F>(level, true, au, av, s, t);
    }
}

// Decodes count texels of row y starting at column x (all inside the level).
template <TPixelFormat F>
void FetchRow(const TLevel& level, int x, int y, int count, uint32_t* out) {
    for (int k = 0; k < count; ++k)
        out[k] = Fetch<F>(level, x + k, y);
}

// The same through the kernels when given: 32-bit rows copied, 16-bit rows decoded.
template <TPixelFormat F>
void CopyRow(const TLevel& level, int x, int y, int count, uint32_t* out, const TKernels* kernels) {
    if (kernels == nullptr) {
        FetchRow<F>(level, x, y, count, out);
        return;
    }
    const uint8_t* row = level.pixels + static_cast<intptr_t>(y) * level.pitch;
    if constexpr (F == TPixelFormat::X8R8G8B8 || F == TPixelFormat::A8R8G8B8) {
        kernels->copyOr(reinterpret_cast<const uint32_t*>(row + 4 * x),
                        reinterpret_cast<uint8_t*>(out), count,
                        F == TPixelFormat::X8R8G8B8 ? 0xFF000000u : 0);
    } else {
        kernels->decode16(F, row + 2 * x, count, out);
    }
}

template <TPixelFormat F>
const uint32_t* SampleOneToOneT(const TLevel& level, bool bilinear, TAddress au, TAddress av,
                                int64_t s, int64_t t, int count, uint32_t* buffer,
                                const TKernels* kernels, bool rawRows) {
    int64_t i, j;
    int fu = 0, fv = 0;
    if (bilinear) {
        BilinearSplit(s, i, fu);
        BilinearSplit(t, j, fv);
    } else {
        i = s >> 16;
        j = t >> 16;
    }
    int w = level.width;
    int h = level.height;
    // Rows: both rows must lie inside, or the whole span goes texel by texel.
    bool rowsInside = j >= 0 && j < h && (fv == 0 || j + 1 < h);
    if (!rowsInside) {
        SampleRunT<F>(level, bilinear, au, av, s, 65536, t, 0, count, buffer);
        return buffer;
    }
    // Columns k in [lo, hi) read texels i + k (and i + k + 1 when fu > 0) inside the level.
    int64_t lo = std::clamp<int64_t>(-i, 0, count);
    int64_t hi = std::clamp<int64_t>(w - (fu > 0 ? 1 : 0) - i, lo, count);
    int y0 = static_cast<int>(j);
    if (fu == 0 && fv == 0) {
        if constexpr (F == TPixelFormat::A8R8G8B8 || F == TPixelFormat::X8R8G8B8) {
            if (lo == 0 && hi == count && (F == TPixelFormat::A8R8G8B8 || rawRows)) {
                return reinterpret_cast<const uint32_t*>(level.pixels +
                                                         static_cast<intptr_t>(y0) * level.pitch) +
                       i;
            }
        }
        if (hi > lo) {
            CopyRow<F>(level, static_cast<int>(i + lo), y0, static_cast<int>(hi - lo), buffer + lo,
                       kernels);
        }
    } else {
        int y1 = fv > 0 ? y0 + 1 : y0;
        for (int64_t k = lo; k < hi; ++k) {
            int x0 = static_cast<int>(i + k);
            int x1 = fu > 0 ? x0 + 1 : x0;
            buffer[k] = BilinearMix(Fetch<F>(level, x0, y0), Fetch<F>(level, x1, y0),
                                    Fetch<F>(level, x0, y1), Fetch<F>(level, x1, y1), fu, fv);
        }
    }
    // The columns that need addressing go texel by texel.
    if (lo > 0) {
        SampleRunT<F>(level, bilinear, au, av, s, 65536, t, 0, static_cast<int>(lo), buffer);
    }
    if (hi < count) {
        SampleRunT<F>(level, bilinear, au, av, s + 65536 * hi, 65536, t, 0,
                      static_cast<int>(count - hi), buffer + hi);
    }
    return buffer;
}

template <TPixelFormat F>
void FetchTexelRowT(const TLevel& level, TAddress au, int64_t first, int count, int y,
                    uint32_t* out, const TKernels* kernels) {
    // Columns k in [lo, hi) lie inside the level as they are.
    int64_t lo = std::clamp<int64_t>(-first, 0, count);
    int64_t hi = std::clamp<int64_t>(level.width - first, lo, count);
    for (int64_t k = 0; k < lo; ++k)
        out[k] = Fetch<F>(level, AddressTexel(first + k, level.width, au), y);
    if (hi > lo) {
        CopyRow<F>(level, static_cast<int>(first + lo), y, static_cast<int>(hi - lo), out + lo,
                   kernels);
    }
    for (int64_t k = hi; k < count; ++k)
        out[k] = Fetch<F>(level, AddressTexel(first + k, level.width, au), y);
}

}  // namespace

namespace {

// Calls fn with the level's format as a compile-time constant; false for a format the sampler
// does not read.
template <typename Fn>
bool WithFormat(TPixelFormat format, Fn&& fn) {
    switch (format) {
        case TPixelFormat::A8R8G8B8:
            fn(std::integral_constant<TPixelFormat, TPixelFormat::A8R8G8B8>());
            return true;
        case TPixelFormat::X8R8G8B8:
            fn(std::integral_constant<TPixelFormat, TPixelFormat::X8R8G8B8>());
            return true;
        case TPixelFormat::R5G6B5:
            fn(std::integral_constant<TPixelFormat, TPixelFormat::R5G6B5>());
            return true;
        case TPixelFormat::X1R5G5B5:
            fn(std::integral_constant<TPixelFormat, TPixelFormat::X1R5G5B5>());
            return true;
        case TPixelFormat::A4R4G4B4:
            fn(std::integral_constant<TPixelFormat, TPixelFormat::A4R4G4B4>());
            return true;
        default:
            return false;
    }
}

}  // namespace

uint32_t SampleOne(const TLevel& level, TFilter filter, TAddress au, TAddress av, int64_t s,
                   int64_t t) {
    bool bilinear = filter == TFilter::Linear;
    uint32_t texel = 0xFFFFFFFFu;
    WithFormat(level.format, [&](auto f) {
        texel = SampleAt<decltype(f)::value>(level, bilinear, au, av, s, t);
    });
    return texel;
}

void SampleRun(const TLevel& level, TFilter filter, TAddress au, TAddress av, int64_t s, int64_t ds,
               int64_t t, int64_t dt, int count, uint32_t* out) {
    bool bilinear = filter == TFilter::Linear;
    if (!WithFormat(level.format, [&](auto f) {
            SampleRunT<decltype(f)::value>(level, bilinear, au, av, s, ds, t, dt, count, out);
        })) {
        std::fill(out, out + count, 0xFFFFFFFFu);
    }
}

const uint32_t* SampleRunOneToOne(const TLevel& level, TFilter filter, TAddress au, TAddress av,
                                  int64_t s, int64_t t, int count, uint32_t* buffer,
                                  const TKernels* kernels, bool rawRows) {
    bool bilinear = filter == TFilter::Linear;
    const uint32_t* texels = buffer;
    if (!WithFormat(level.format, [&](auto f) {
            texels = SampleOneToOneT<decltype(f)::value>(level, bilinear, au, av, s, t, count,
                                                         buffer, kernels, rawRows);
        })) {
        std::fill(buffer, buffer + count, 0xFFFFFFFFu);
    }
    return texels;
}

void FetchTexelRow(const TLevel& level, TAddress au, int64_t first, int count, int y, uint32_t* out,
                   const TKernels* kernels) {
    if (!WithFormat(level.format, [&](auto f) {
            FetchTexelRowT<decltype(f)::value>(level, au, first, count, y, out, kernels);
        })) {
        std::fill(out, out + count, 0xFFFFFFFFu);
    }
}

}  // namespace raster
