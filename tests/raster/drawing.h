// Helpers of the rasterizer tests: targets, the 2-D set-up the game's display uses, quads and
// spans, and the reference formulas the expectations are computed from.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "raster/rasterizer.h"
#include "raster/surfaceops.h"
#include "raster/transform.h"

namespace raster::test {

inline TSurface MakeSurface(int w, int h, TPixelFormat format, uint32_t color = 0) {
    TSurface s;
    s.Create(w, h, format);
    Fill(s, SurfaceRect(s), color);
    return s;
}

// The state of a 2-D pass: the whole target as viewport, the orthographic projection shifted by
// the pixel offset (vertex x lands on screen x + offset), no clipping, lighting, culling or depth,
// alpha blending with source alpha, texture modulated by the diffuse colour, clamp addressing.
inline void Setup2d(TRasterizer& r, TSurface& target, float pixelOffset = -0.5f) {
    r.SetRenderTarget(&target);
    r.Viewport() = TViewport{0, 0, target.Width(), target.Height(), 0.0f, 1.0f};
    float left = -pixelOffset;
    float top = -pixelOffset;
    r.Transforms().projection = PassDepthThrough(
        OrthoOffCenter(left, left + target.Width(), top + target.Height(), top, 0.1f, 1000.0f));
    TRenderState& s = r.State();
    s = TRenderState();
    s.clipping = false;
    s.lighting = false;
    s.cullMode = TCull::None;
    s.alphaBlendEnable = true;
    s.srcBlend = TBlend::SrcAlpha;
    s.destBlend = TBlend::InvSrcAlpha;
    s.stage0.colorOp = TTextureOp::Modulate;
    s.stage0.alphaOp = TTextureOp::Modulate;
    s.stage0.addressU = s.stage0.addressV = TAddress::Clamp;
}

// The options the port layer's device sets on its rasterizer, for the comparisons of the fast
// paths with the general path: none, the X byte keeping the alpha, and pixel-centre shifts.
struct DeviceOptions {
    const char* name;
    bool alphaInXByte;
    float centreShift;
};
inline constexpr DeviceOptions kDeviceOptions[] = {
    {"plain", false, 0.0f},
    {"alpha in X", true, 0.0f},
    {"alpha in X, shifted", true, 0.37f},
    {"shifted back", false, -0.5f},
};
inline void ApplyOptions(TRasterizer& r, const DeviceOptions& o) {
    r.SetAlphaInXByte(o.alphaInXByte);
    r.SetPixelCentreShift(o.centreShift);
}

// The four corners of a quad in fan order: (left, top), (right, top), (right, bottom),
// (left, bottom), with the texture rectangle (u0, v0)-(u1, v1).
inline std::vector<TLitVertex> Quad(float x0, float y0, float x1, float y1, uint32_t diffuse,
                                    float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1) {
    auto vertex = [&](float x, float y, float u, float v) {
        TLitVertex p{};
        p.x = x;
        p.y = y;
        p.z = 0.1f;
        p.reserved = 0x3F000000;  // 0.5f
        p.diffuse = diffuse;
        p.specular = 0xFF000000;
        p.u = u;
        p.v = v;
        return p;
    };
    return {vertex(x0, y0, u0, v0), vertex(x1, y0, u1, v0), vertex(x1, y1, u1, v1),
            vertex(x0, y1, u0, v1)};
}

inline bool DrawQuad(TRasterizer& r, const std::vector<TLitVertex>& quad) {
    return r.Draw(TPrimitive::TriangleFan, TVertexFormat::Lit, quad.data(),
                  static_cast<int>(quad.size()));
}

inline TTransformedVertex Screen(float x, float y, uint32_t diffuse, float u = 0, float v = 0,
                                 float z = 0.1f, float rhw = 0.5f) {
    TTransformedVertex p{};
    p.x = x;
    p.y = y;
    p.z = z;
    p.rhw = rhw;
    p.diffuse = diffuse;
    p.specular = 0;
    p.u = u;
    p.v = v;
    return p;
}

inline int CountPixels(const TSurface& s, const std::function<bool(uint32_t)>& pred) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x)
            n += pred(s.GetPixel(x, y)) ? 1 : 0;
    }
    return n;
}

// Whether two surfaces of one size and format hold the same pixel bytes.
inline bool SameBytes(const TSurface& a, const TSurface& b) {
    for (int y = 0; y < a.Height(); ++y) {
        if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * a.BytesPerPixel())) {
            return false;
        }
    }
    return true;
}

// Reference formulas.
inline uint32_t RefMul(uint32_t a, uint32_t b) {
    return (a * b + 127) / 255;
}
inline uint32_t Channel(uint32_t c, int shift) {
    return c >> shift & 0xFF;
}
inline uint32_t RefModulate(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8)
        out |= RefMul(Channel(a, s), Channel(b, s)) << s;
    return out;
}
inline uint32_t RefFactor(TBlend f, uint32_t s, uint32_t d, int shift) {
    switch (f) {
        case TBlend::Zero:
            return 0;
        case TBlend::One:
            return 255;
        case TBlend::SrcColor:
            return Channel(s, shift);
        case TBlend::InvSrcColor:
            return 255 - Channel(s, shift);
        case TBlend::SrcAlpha:
            return s >> 24;
        case TBlend::InvSrcAlpha:
            return 255 - (s >> 24);
        case TBlend::DestAlpha:
            return d >> 24;
        case TBlend::InvDestAlpha:
            return 255 - (d >> 24);
        case TBlend::DestColor:
            return Channel(d, shift);
        case TBlend::InvDestColor:
            return 255 - Channel(d, shift);
    }
    return 0;
}
// The target pixel after blending source s over destination d (both 0xAARRGGBB as read).
inline uint32_t RefBlend(TBlend fs, TBlend fd, uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int sh = 0; sh < 32; sh += 8) {
        uint32_t t =
            Channel(s, sh) * RefFactor(fs, s, d, sh) + Channel(d, sh) * RefFactor(fd, s, d, sh);
        uint32_t v = (t + 127) / 255;
        out |= (v > 255 ? 255 : v) << sh;
    }
    return out;
}
// What a surface of the format reads back after the colour was written to it.
inline uint32_t Stored(TPixelFormat format, uint32_t color) {
    uint8_t raw[4] = {};
    EncodePixel(format, color, raw);
    return DecodePixel(format, raw);
}

}  // namespace raster::test
