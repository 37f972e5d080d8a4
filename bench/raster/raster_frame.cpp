#include "raster_frame.h"

#include <algorithm>
#include <cmath>

#include "raster/surfaceops.h"
#include "raster/transform.h"
#include "scene.h"

namespace bench {

using namespace raster;

namespace {

TLitVertex Vertex(float x, float y, uint32_t diffuse, float u, float v) {
    TLitVertex p{};
    p.x = x;
    p.y = y;
    p.z = 0.1f;
    p.diffuse = diffuse;
    p.specular = 0xFF000000;
    p.u = u;
    p.v = v;
    return p;
}

// A quad from (x0, y0) to (x1, y1), texture corner to corner.
void Quad(TLitVertex* v, float x0, float y0, float x1, float y1, uint32_t diffuse) {
    v[0] = Vertex(x0, y0, diffuse, 0, 0);
    v[1] = Vertex(x1, y0, diffuse, 1, 0);
    v[2] = Vertex(x1, y1, diffuse, 1, 1);
    v[3] = Vertex(x0, y1, diffuse, 0, 1);
}

TTransformedVertex Screen(float x, float y, uint32_t diffuse) {
    TTransformedVertex p{};
    p.x = x;
    p.y = y;
    p.z = 0.1f;
    p.rhw = 0.5f;
    p.diffuse = diffuse;
    return p;
}

}  // namespace

RasterFrame::RasterFrame(TSimd simd, bool fastPaths, bool lowMemory) : mRasterizer(simd) {
    const Scene& scene = GetScene();
    TPixelFormat opaque = lowMemory ? TPixelFormat::R5G6B5 : TPixelFormat::X8R8G8B8;
    TPixelFormat alpha = lowMemory ? TPixelFormat::A4R4G4B4 : TPixelFormat::A8R8G8B8;
    mTarget.Create(kWidth, kHeight, opaque);
    mBackground.Create(kWidth, kHeight, opaque);
    WritePixels(mBackground, SurfaceRect(mBackground), scene.background.data(), kWidth);
    mSprites.resize(scene.spriteImages.size());
    for (size_t i = 0; i < mSprites.size(); ++i) {
        mSprites[i].Create(kSpriteSide, kSpriteSide, alpha);
        WritePixels(mSprites[i], SurfaceRect(mSprites[i]), scene.spriteImages[i].data(),
                    kSpriteSide);
    }
    mRasterizer.SetFastPaths(fastPaths);
    mRasterizer.SetRenderTarget(&mTarget);
    mRasterizer.Viewport() = TViewport{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    // The 2-D pass: projection shifted by the calibrated pixel offset of -0.5.
    mRasterizer.Transforms().projection =
        PassDepthThrough(OrthoOffCenter(0.5f, kWidth + 0.5f, kHeight + 0.5f, 0.5f, 0.1f, 1000.0f));
    TRenderState& s = mRasterizer.State();
    s.clipping = false;
    s.lighting = false;
    s.cullMode = TCull::None;
    s.alphaBlendEnable = true;
    s.srcBlend = TBlend::SrcAlpha;
    s.destBlend = TBlend::InvSrcAlpha;
    s.alphaTestEnable = true;
    s.alphaFunc = TCompare::GreaterEqual;
    s.alphaRef = 1;
    s.stage0.alphaOp = TTextureOp::Modulate;
    s.stage0.addressU = s.stage0.addressV = TAddress::Clamp;
    s.stage0.magFilter = s.stage0.minFilter = TFilter::Linear;

    Quad(mBackgroundQuad, 0, 0, kWidth, kHeight, 0xFFFFFFFF);
    mSpriteQuads.resize(4 * scene.sprites.size());
    for (size_t i = 0; i < scene.sprites.size(); ++i) {
        const Sprite& sp = scene.sprites[i];
        TLitVertex* v = &mSpriteQuads[4 * i];
        uint32_t diffuse = static_cast<uint32_t>(sp.alpha) << 24 | 0xFFFFFF;
        if (sp.kind == SpriteKind::Plain || sp.kind == SpriteKind::Faded) {
            Quad(v, sp.x, sp.y, sp.x + kSpriteSide, sp.y + kSpriteSide, diffuse);
            continue;
        }
        // Corners around the centre, scaled and rotated as the game's quad builder does.
        float h = kSpriteSide * 0.5f * sp.scale;
        float c = std::cos(sp.angle), sn = std::sin(sp.angle);
        const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k = 0; k < 4; ++k) {
            v[k] =
                Vertex(corners[k][0] * c - corners[k][1] * sn + sp.x,
                       corners[k][0] * sn + corners[k][1] * c + sp.y, diffuse, uv[k][0], uv[k][1]);
        }
    }
    for (const Span& span : scene.spans) {
        mSpanLines.push_back(Screen(span.x0 - 0.75f, static_cast<float>(span.y), span.color));
        mSpanLines.push_back(Screen(span.x1 - 0.75f, static_cast<float>(span.y), span.color));
    }
}

void RasterFrame::DrawBackground() {
    mRasterizer.SetTexture(&mBackground);
    mRasterizer.Draw(TPrimitive::TriangleFan, TVertexFormat::Lit, mBackgroundQuad, 4);
}

void RasterFrame::DrawSprites(int kind, bool rotated) {
    const std::vector<Sprite>& sprites = GetScene().sprites;
    for (size_t i = 0; i < sprites.size(); ++i) {
        const Sprite& sp = sprites[i];
        if (kind >= 0 && static_cast<int>(sp.kind) != kind) continue;
        if (!rotated && sp.kind == SpriteKind::Rotated) continue;
        mRasterizer.SetTexture(&mSprites[sp.image]);
        mRasterizer.Draw(TPrimitive::TriangleFan, TVertexFormat::Lit, &mSpriteQuads[4 * i], 4);
    }
}

void RasterFrame::DrawSpans() {
    // In batches of 128 lines, as the game's text pass hands them over.
    mRasterizer.SetTexture(nullptr);
    const int count = static_cast<int>(mSpanLines.size());
    for (int done = 0; done < count; done += 256) {
        mRasterizer.Draw(TPrimitive::LineList, TVertexFormat::Transformed, &mSpanLines[done],
                         std::min(256, count - done));
    }
}

void RasterFrame::DrawFrame(bool rotated) {
    DrawBackground();
    DrawSprites(-1, rotated);
    DrawSpans();
}

std::vector<uint32_t> RasterFrame::Pixels() const {
    std::vector<uint32_t> out(static_cast<size_t>(kWidth) * kHeight);
    ReadPixels(mTarget, SurfaceRect(mTarget), out.data(), kWidth);
    return out;
}

void RasterFrame::SetPixels(const std::vector<uint32_t>& pixels) {
    WritePixels(mTarget, SurfaceRect(mTarget), pixels.data(), kWidth);
}

}  // namespace bench
