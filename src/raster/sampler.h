// Texture sampling: texel addressing, point and bilinear filters, and the blend of two mip
// levels. Internal to the rasterizer; the rules are those stated in rasterizer.h.
//
// Texel coordinates arrive in texel units of the sampled level with 16 fractional bits
// (s = u * width * 65536), already bounded by the set-up so that no step can overflow.
#pragma once

#include <cstdint>

#include "raster/kernels.h"
#include "raster/pixelformat.h"
#include "raster/renderstate.h"

namespace raster {

// One mip level as the sampler reads it.
struct TLevel {
    const uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    TPixelFormat format = TPixelFormat::Unknown;

    uint32_t Texel(int x, int y) const {
        return DecodePixel(format, pixels + static_cast<intptr_t>(y) * pitch + x * bytesPerPixel);
    }
};

// A texel index reduced into [0, size) by the addressing mode.
inline int AddressTexel(int64_t i, int size, TAddress mode) {
    switch (mode) {
        case TAddress::Wrap: {
            if ((size & (size - 1)) == 0) return static_cast<int>(i & (size - 1));
            int64_t m = i % size;
            return static_cast<int>(m < 0 ? m + size : m);
        }
        case TAddress::Mirror: {
            int64_t period = 2 * static_cast<int64_t>(size);
            int64_t m = i % period;
            if (m < 0) m += period;
            return static_cast<int>(m < size ? m : period - 1 - m);
        }
        default:
            return static_cast<int>(i < 0 ? 0 : (i >= size ? size - 1 : i));
    }
}

// Bilinear position: the lower texel index and the weight of the upper one (0..255 after
// normalising 256 into the next index), from a 16.16 coordinate.
inline void BilinearSplit(int64_t s, int64_t& index, int& weight) {
    int64_t shifted = s - 32768;
    index = shifted >> 16;
    weight = static_cast<int>(((shifted & 0xFFFF) + 128) >> 8);
    if (weight == 256) {
        ++index;
        weight = 0;
    }
}

// Two passes per channel with 8-bit results: h = (c0 (256 - f) + c1 f + 128) >> 8 along u on
// both rows, then the same along v. Weights run 0..256, so every product fits 16 bits.
inline uint32_t LerpChannels(uint32_t c0, uint32_t c1, int f) {
    // Red and blue, then alpha and green, two channels per multiply.
    uint32_t rb = ((c0 & 0x00FF00FF) * (256 - f) + (c1 & 0x00FF00FF) * f + 0x00800080) >> 8;
    uint32_t ag = ((c0 >> 8 & 0x00FF00FF) * (256 - f) + (c1 >> 8 & 0x00FF00FF) * f + 0x00800080);
    return (rb & 0x00FF00FF) | (ag & 0xFF00FF00);
}
inline uint32_t BilinearMix(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, int fu,
                            int fv) {
    return LerpChannels(LerpChannels(c00, c10, fu), LerpChannels(c01, c11, fu), fv);
}

// One texel by the filter at (s, t).
uint32_t SampleOne(const TLevel& level, TFilter filter, TAddress au, TAddress av, int64_t s,
                   int64_t t);

// count texels along a span: pixel i samples (s + i ds, t + i dt).
void SampleRun(const TLevel& level, TFilter filter, TAddress au, TAddress av, int64_t s, int64_t ds,
               int64_t t, int64_t dt, int count, uint32_t* out);

// The same for a span whose coordinates step one texel per pixel along s and not at all along t
// (ds = 65536, dt = 0): one source row, constant filter weights. Returns either `buffer` filled
// with the texels or, when the texels can be used as they lie in memory, a pointer into the level.
// `kernels` (optional) copies 32-bit rows. With rawRows, a level without alpha bits may also be
// handed out as it lies in memory: its alpha bytes are then not meaningful.
const uint32_t* SampleRunOneToOne(const TLevel& level, TFilter filter, TAddress au, TAddress av,
                                  int64_t s, int64_t t, int count, uint32_t* buffer,
                                  const TKernels* kernels, bool rawRows = false);

// Texels first .. first + count - 1 of row y (inside the level), each column index reduced by
// the addressing mode, as 0xAARRGGBB. `kernels` (optional) copies 32-bit rows.
void FetchTexelRow(const TLevel& level, TAddress au, int64_t first, int count, int y, uint32_t* out,
                   const TKernels* kernels);

// Per channel (c0 (256 - w) + c1 w + 128) >> 8: the blend of two mip levels.
inline uint32_t MipMix(uint32_t c0, uint32_t c1, int w) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t v = ((c0 >> shift & 0xFF) * (256 - w) + (c1 >> shift & 0xFF) * w + 128) >> 8;
        out |= v << shift;
    }
    return out;
}

}  // namespace raster
