// TRasterizer: the software pixel pipeline behind the program's 3-D device. It draws line lists,
// line strips and triangle lists, strips and fans of three vertex formats into a render target,
// with transforms, clipping, Gouraud shading, one texture stage with its combiner, alpha test,
// blending and a 16-bit depth buffer.
//
// The rasterizer borrows everything it is given: the target, the depth buffer and the texture
// levels must stay alive (and unmoved) while they are bound. Drawing is immediate: a draw call
// has written every pixel before it returns, so nothing is ever pending when a caller locks,
// copies, fills or presents a surface. One rasterizer is used by one thread at a time; separate
// rasterizers with separate targets may run on separate threads.
//
// THE PIXEL RULES. Tests compute their expectations from these. "Round" means to the nearest
// integer with halves going up, floor(x + 1/2), unless an integer formula is given.
//
// Positions. Pixel (px, py) has its centre at the integer point (px, py) (moved by the pixel-centre
// shift when one is set, see SetPixelCentreShift). After transform and
// viewport mapping, screen positions are snapped to 1/256 pixel (8 sub-pixel bits, rounded). Before
// snapping, primitives are clipped in double precision: in clip space against w > 0 (and, with the
// clipping state on, against 0 <= z <= w), and on the screen against the guard band [-32768,
// 32768]^2. Every pixel written lies inside the scissor: the viewport rectangle intersected with
// the target, whatever the clipping state.
//
// Triangles. A pixel is covered when its centre lies inside the snapped triangle; a centre
// exactly on an edge is covered only for a top edge (horizontal, the triangle below it) or a
// left edge (the triangle to its right). So a rectangle from (x0, y0) to (x1, y1) covers the
// centres with x0 <= px < x1 and y0 <= py < y1, and triangles sharing an edge neither leave a
// gap nor cover a pixel twice. Winding is judged on the screen (y down); a triangle of zero
// snapped area draws nothing.
//
// Lines. With (dx, dy) the snapped direction, the major axis is x when |dx| >= |dy|, else y.
// Along it the covered pixels are those whose centre lies in the half-open interval from the
// start point towards the end point: [x0, x1) when x0 < x1, (x1, x0] when x1 < x0. For each such
// pixel the line's minor coordinate m there picks the pixel floor(m + 1/2). A horizontal line
// from x0 to x1 on row y therefore covers exactly the centres in [x0, x1) on row floor(y + 1/2).
// A line of zero snapped length draws nothing.
//
// Attributes. Colours, texture coordinates and depth are linear over the snapped primitive.
// They are carried in fixed point with 16 fractional bits: a triangle fits each attribute's
// plane in double precision from its snapped vertices, then rounds the plane's value at the
// pixel nearest its first vertex and its steps per pixel along x and y; a pixel's value is that
// anchor value plus whole steps. Lines do the same along their major axis. When the vertices'
// w (or rhw) differ, texture coordinates and colours are instead interpolated
// perspective-correctly pixel by pixel in double precision; depth stays linear on the screen.
// A colour channel is round(value) clamped to 0..255; depth is round(z * 65535) clamped to
// 0..65535 (z after the viewport's depth range).
//
// Texture coordinates. Before anything becomes an integer, each primitive's coordinates are
// reduced in floating point: non-finite values become 0; for wrap (and mirror) all of them move
// by the same whole period, taken from the first vertex; all are bounded by +-2^20. A level of
// width W samples s = u * W texels (likewise t = v * H), with 16 fractional bits.
//
// Sampling. Point: texel floor(s). Bilinear: around texel centres, i = floor(s - 1/2) with the
// weight f of texel i + 1 rounded to 8 bits, f = round(frac(s - 1/2) * 256) in 0..256; each
// channel is blended along u on both rows, h = (c0 (256 - fu) + c1 fu + 128) >> 8, then the two
// results along v the same way with fv. Addressing: wrap takes the index modulo the size (any
// size, powers of two or not), mirror reflects every other period, clamp holds it in
// [0, size - 1]. With no texture bound, TEXTURE reads as opaque white (0xFFFFFFFF). 16-bit texels
// expand to 8 bits by bit replication (pixelformat.h), so white stays 255.
//
// Mip levels. lambda = log2(rho), rho the larger of the lengths of (ds/dx, dt/dx) and
// (ds/dy, dt/dy) in level-0 texels, taken from the fixed-point steps: per triangle (per pixel
// under perspective, per line along its major axis). lambda <= 0 magnifies: level 0 with the
// magnification filter. Otherwise the minification filter applies; mip none samples level 0;
// point takes level min(n - 1, floor(lambda + 1/2)); linear blends levels floor(lambda) and the
// next with weight w = round(frac(lambda) * 256) as (c0 (256 - w) + c1 w + 128) >> 8, and takes
// the last level alone from floor(lambda) >= n - 1 on.
//
// Combiner (stage 0). Arguments: TEXTURE, DIFFUSE, CURRENT (= DIFFUSE on stage 0), TFACTOR,
// SPECULAR, with COMPLEMENT (255 - x) and ALPHAREPLICATE (alpha into red, green, blue).
// Operations per channel: SELECTARG1, SELECTARG2, MODULATE = round(a b / 255),
// MODULATE2X/4X = min(255, round(2 a b / 255)) / min(255, round(4 a b / 255)),
// ADD = min(255, a + b); DISABLE passes the diffuse colour (or, for alpha alone, its alpha).
// round(x / 255) is exact: (x + 127) / 255 in integers. With specular enabled, the specular
// red, green and blue are added to the result, each sum capped at 255.
//
// Alpha test: the 8-bit fragment alpha against the low 8 bits of the reference.
// Depth test (ZENABLE with a depth buffer bound): the fragment's 16-bit depth against the stored
// one; ZWRITEENABLE writes it for fragments that pass both tests.
//
// Blending: each channel of the target (alpha too, for targets with alpha) becomes
// min(255, round((s * fs + d * fd) / 255)) with the 8-bit factors ZERO 0, ONE 255, SRCCOLOR s,
// INVSRCCOLOR 255 - s, SRCALPHA sa, INVSRCALPHA 255 - sa, DESTALPHA da, INVDESTALPHA 255 - da,
// DESTCOLOR d, INVDESTCOLOR 255 - d (per channel; on the alpha channel the colour factors use
// alpha). The target pixel is read by bit replication (a target without alpha reads da = 255)
// and the result written by truncation: 16-bit targets keep the top bits of each channel, with
// no rounding and no dithering. Targets without alpha store their alpha bits as ones, except an
// X8R8G8B8 target with SetAlphaInXByte on, which is drawn as an A8R8G8B8 one.
//
// Lighting (unlit vertices with lighting on): colour = emissive + ambient render state x material
// ambient, each channel clamped to 0..1 and rounded to 8 bits, alpha = the material's diffuse
// alpha; specular 0. With lighting off an unlit vertex is opaque white. Lit and transformed
// vertices carry their own colours and are never lit.
//
// Flat shading takes the colours of the first vertex of each triangle (of a fan's triangle
// (v0, vi, vi+1): vi; of a strip's triangle i: vi) and of each line's first vertex.
//
// Unsafe input. A primitive with a non-finite vertex position (x, y, z or w/rhw, before or after
// the transform) is dropped. Coordinates far outside the screen are clipped in floating point
// and never reach the fixed-point set-up.
//
// Fast paths (quads drawn as fans of four: axis-aligned rectangles row by row, scaled ones one
// texel row at a time, turned ones one span per row; texture rows mapped one texel per pixel;
// sprite texels written straight into the blend; constant-colour spans and glyph lines; and SIMD
// kernels for sampling, decoding and the common blends) give the same bytes as the general path;
// SetFastPaths(false) turns them off so tests can compare.
#pragma once

#include <cstdint>

#include "math/rect.h"
#include "raster/geometry.h"
#include "raster/kernels.h"
#include "raster/pixelpipe.h"
#include "raster/renderstate.h"
#include "raster/surface.h"
#include "raster/vertex.h"

namespace raster {

// Flags of Clear.
constexpr uint32_t kClearTarget = 1;
constexpr uint32_t kClearDepth = 2;

struct TRasterStats {
    uint64_t primitives = 0;  // triangles and lines handed to scan conversion
    uint64_t fragments = 0;   // pixels that reached the blend stage
};

class TRasterizer {
public:
    // The SIMD level of the kernels; Best picks what the processor offers.
    explicit TRasterizer(TSimd simd = TSimd::Best);

    // The target: a colour surface (A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5 or A4R4G4B4), or null.
    // Binding a target does not change the viewport.
    void SetRenderTarget(TSurface* target) { mTarget = target; }
    TSurface* RenderTarget() const { return mTarget; }
    // A D16 surface at least as large as the target, or null. Any other surface counts as none.
    void SetDepthBuffer(TSurface* depth) { mDepth = depth; }
    TSurface* DepthBuffer() const { return mDepth; }

    // Binds mip levels 0 to count - 1 (at most 16) to stage 0; level i should be half the size
    // of level i - 1. Null, a count of 0, or any level that is empty or not in a format the
    // rasterizer samples (IsRenderFormat: R8G8B8 is not) unbinds the texture.
    void SetTexture(const TSurface* const* levels, int count);
    void SetTexture(const TSurface* level) { SetTexture(&level, level ? 1 : 0); }
    bool HasTexture() const { return mLevelCount > 0; }

    TRenderState& State() { return mState; }
    const TRenderState& State() const { return mState; }
    TTransforms& Transforms() { return mTransforms; }
    TViewport& Viewport() { return mViewport; }
    TMaterial& Material() { return mMaterial; }

    // Draws count vertices of the format as primitives of the type. A trailing incomplete
    // primitive is ignored. False (and nothing drawn) without a usable target, for point lists
    // and unknown types, or for a negative count or missing vertices; true otherwise, even when
    // nothing was visible.
    bool Draw(TPrimitive primitive, TVertexFormat format, const void* vertices, int count);

    // Clears the viewport (intersected with each rectangle when rects is given) of the target
    // to the colour and of the depth buffer to round(z * 65535). Does nothing without a usable
    // target, as Draw.
    void Clear(uint32_t flags, uint32_t color, float z, const TRect* rects = nullptr,
               int rectCount = 0);

    // What drawing does with the X byte of an X8R8G8B8 target. Off (the default): it is stored
    // as ones, as the alpha bits of every target without alpha. On: the target is drawn exactly
    // as an A8R8G8B8 target of the same bytes would be: the X byte is read as the destination
    // alpha (blend factors included) and receives the fragment's alpha, blended by the rules of
    // a target with alpha. So a back buffer whose words are later copied as they are into a
    // texture keeps the alpha the drawing computed. Other target formats are not affected, and
    // neither is Clear, which converts its colour as Fill does (X 255); conversions, read-back
    // and copies to other formats still read X as 255 (pixelformat.h).
    void SetAlphaInXByte(bool on) { mAlphaInXByte = on; }
    bool AlphaInXByte() const { return mAlphaInXByte; }

    // Moves every pixel centre by `shift` pixels right and down: pixel (px, py) has its centre
    // at (px + shift, py + shift), which draws every primitive `shift` pixels up and to the left
    // of where it would be, texels and all (a device that maps texels to pixels differently).
    // The move applies to screen positions in double precision before snapping, for every
    // vertex format; the viewport and the scissor stay on whole pixels. The amount is held in
    // -1..1; a non-finite amount counts as 0. 0 (the default) is the plain rule.
    void SetPixelCentreShift(float shift);
    float PixelCentreShift() const { return static_cast<float>(mCentreShift); }

    void SetFastPaths(bool on) { mFastPaths = on; }
    TSimd SimdLevel() const { return mKernels->level; }

    TRasterStats Stats() const;
    void ResetStats();

private:
    // The viewport intersected with the target; empty when they do not meet.
    TRect ScissorRect() const;
    bool Prepare(TRasterContext& ctx);
    // A position through world, view and projection into clip space.
    void Transform(float x, float y, float z, TVertex4& out) const;
    bool FetchVertex(const void* vertices, int index, TVertex4& out) const;
    void DrawTriangle(const void* vertices, int i0, int i1, int i2, int provoking,
                      const TRasterContext& ctx);
    void DrawLine(const void* vertices, int i0, int i1, const TRasterContext& ctx);
    bool TryRectangle(const void* vertices, const TRasterContext& ctx);
    // A horizontal line of one colour in screen coordinates, the glyph span: drawn straight
    // from the vertices as the line path would draw it. False when it needs that path.
    bool TryRowLine(const void* vertices, int i0, int i1, const TRasterContext& ctx);

    TSurface* mTarget = nullptr;
    TSurface* mDepth = nullptr;
    const TSurface* mLevels[kMaxLevels] = {};
    int mLevelCount = 0;
    TRenderState mState;
    TTransforms mTransforms;
    TViewport mViewport;
    TMaterial mMaterial;
    bool mFastPaths = true;
    bool mAlphaInXByte = false;
    double mCentreShift = 0.0;
    const TKernels* mKernels;
    TPixelPipe mPipe;

    // Per draw call.
    TVertexFormat mFormat = TVertexFormat::Lit;
    double mMatrix[16] = {};
    TRasterStats mStats;
};

}  // namespace raster
