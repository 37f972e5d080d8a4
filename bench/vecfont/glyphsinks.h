// The render sinks the glyph-drawer benchmarks draw through: one that only counts vertices, one
// that draws the line lists with the rasterizer into a 1024 x 768 32-bit target as the device
// does, and the renderer held in an open 2-D frame on a sink. Shared by bench_vecfont and
// bench_fontpeer. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/draw/vertexbatch.h"
#include "raster/rasterizer.h"

namespace glyph_bench {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Counts what reaches it.
class NullSink : public TRenderSink {
public:
    bool BeginFrame(bool) override { return true; }
    void EndFrame(uint32_t) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool NeedsSquareTextures() override { return false; }
    void SetTexture(const std::shared_ptr<TTexture>&) override {}
    void SetBlendMode(int32_t) override {}
    void DrawVertices(int, const TVertexBatch& batch) override { vertices += batch.GetCount(); }
    int64_t vertices = 0;
};

// Draws the line lists with the rasterizer into a 32-bit target, blended, as the device does.
class RasterSink : public NullSink {
public:
    RasterSink() {
        mTarget.Create(kWidth, kHeight, raster::TPixelFormat::X8R8G8B8);
        mRasterizer.SetRenderTarget(&mTarget);
        mRasterizer.Viewport() = raster::TViewport{0, 0, kWidth, kHeight, 0.0f, 1.0f};
        raster::TRenderState& s = mRasterizer.State();
        s.clipping = false;
        s.lighting = false;
        s.cullMode = raster::TCull::None;
        s.alphaBlendEnable = true;
        s.srcBlend = raster::TBlend::SrcAlpha;
        s.destBlend = raster::TBlend::InvSrcAlpha;
        mRasterizer.SetTexture(nullptr);
    }
    void DrawVertices(int primitive, const TVertexBatch& batch) override {
        NullSink::DrawVertices(primitive, batch);
        if (record) {
            const TTLVertex* v = static_cast<const TTLVertex*>(batch.GetVertices());
            recorded.emplace_back(v, v + batch.GetCount());
        }
        Draw(batch.GetVertices(), batch.GetCount());
    }
    void Draw(const void* vertices, int count) {
        mRasterizer.Draw(raster::TPrimitive::LineList, raster::TVertexFormat::Transformed,
                         static_cast<const raster::TTransformedVertex*>(vertices), count);
    }
    bool record = false;
    std::vector<std::vector<TTLVertex>> recorded;

private:
    raster::TSurface mTarget;
    raster::TRasterizer mRasterizer;
};

// The renderer in an open 2-D frame on the sink while it lives.
struct LineListFrame {
    explicit LineListFrame(TRenderSink* sink) {
        TRenderer::GetInstance()->SetSink(sink);
        TRenderer::GetInstance()->BeginDraw(false);
        TRenderer::GetInstance()->Begin2d();
    }
    ~LineListFrame() { TRenderer::DestroyInstance(); }
};

}  // namespace glyph_bench
