// The vector-font reader and the glyph drawer on any bytes, as a damaged ".mvec" from the assets
// or an archive would reach them: the font loaded, its metrics read, and every glyph drawn at two
// scales (with strokes at one), then rotated, into an in-memory texture, and once through the
// line list.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/font/vecfont.h"
#include "platform/texture/texture.h"

namespace {

// Draws nothing; the drawer's line list only has to reach it.
class NullSink : public TRenderSink {
public:
    bool BeginFrame(bool) override { return true; }
    void EndFrame(uint32_t) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool NeedsSquareTextures() override { return false; }
    void SetTexture(const std::shared_ptr<TTexture>&) override {}
    void SetBlendMode(int32_t) override {}
    void DrawVertices(int, const TVertexBatch&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullSink sink;
    static TBvMiniVecDraw* draw = [] {
        TRenderer::GetInstance()->SetSink(&sink);
        TRenderer::GetInstance()->BeginDraw(false);
        TRenderer::GetInstance()->Begin2d();
        auto* d = new TBvMiniVecDraw();
        d->SetShadeColors(1, 0xFFFFFFFFu, 1.0f);
        d->SetShadeColors(255, 0xFF000000u, 1.0f);
        d->SetShadeColors(254, 0xFF808080u, 1.0f);
        return d;
    }();
    static std::shared_ptr<TTexture> target = TTexture::Create(96, 96, true);

    TVecFont font(std::vector<uint8_t>(data, data + size));
    volatile float metrics =
        font.GetAscent() + font.GetDescent() + font.GetLineMetric(true) + font.GetLineMetric(false);
    (void)metrics;
    const int count = font.GetGlyphCount();
    for (int i = 0; i < count; ++i) {
        const TGlyphOutline shape = font.GetGlyphShape(i);
        if (shape.bytes == nullptr) continue;
        const float fit = font.GetGlyphFitScale(i);
        if (!(fit > 0.0f) || fit > 1.0f) __builtin_trap();
        const float advance = font.GetGlyphAdvance(i) + font.GetGlyphMinX(i) + font.GetGlyphMaxX(i);
        (void)advance;
        draw->SetRotation(1.0f, 0.0f);
        draw->SetStrokeWidths(0.0f, 0.0f);
        draw->SetScale(4.0f, 4.0f * fit);
        draw->Begin(40.25f, 60.5f, target);
        draw->DrawString(shape, 1, 2);
        draw->SetScale(13.0f, 13.0f * fit);
        draw->SetStrokeWidths(1.5f, 0.5f);
        draw->DrawString(shape, -3, 5);
        draw->SetStrokeWidths(0.0f, 0.0f);
        draw->SetRotation(std::cos(0.5f), std::sin(0.5f));
        draw->DrawString(shape, 0, 0);
        draw->Flush();
    }
    // One glyph through the line list as well.
    if (count > 0) {
        draw->SetRotation(1.0f, 0.0f);
        draw->SetScale(4.0f, 4.0f);
        draw->Begin(10.75f, 10.25f);
        draw->DrawString(font.GetGlyphShape(0), 0, 0);
        draw->Flush();
    }
    return 0;
}
