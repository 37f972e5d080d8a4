// The typical frame of the game (bench/raster/scene.h: 800 x 600, the background, 300
// alpha-blended 64 x 64 sprites, some faded, scaled or rotated, 2,000 glyph spans) drawn three
// ways in one run on the headless backend:
// - BM_Frame_Rasterizer: raster::TRasterizer directly, as bench_raster draws it;
// - BM_Frame_Device: the same draws handed straight to the Direct3D device, as the renderer
//   leaves them (the vertices and textures recorded from one renderer frame), between BeginScene
//   and EndScene;
// - BM_Frame_Renderer: through TRenderer and the display: TTexture::Draw for the background and
//   the sprites, the spans as kind-3 line lists in batches of 256 vertices, in a frame of its own
//   without the present (the front's own cost over the device and the rasterizer);
// - BM_Frame_RendererPresented: the same with a FillRect and the present, which draws the software
//   cursor into the frame: the whole frame the game pays for.
// The display is a full-screen 800 x 600 32-bit DirectX context, its record as after a set-up, its
// pixel offset the calibrated -0.5.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "../raster/raster_frame.h"
#include "../raster/scene.h"
#include "benchwindow.h"
#include "math/rect.h"
#include "math/vec4.h"
#include "platform/display/displayrecord.h"
#include "platform/display/displaysink.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/dxtextureformat.h"
#include "platform/display/setdisplayrun.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/draw/vertexbatch.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedatasource.h"

namespace {

using bench::GetScene;
using bench::kHeight;
using bench::kSpriteSide;
using bench::kWidth;
using bench::SpriteKind;

constexpr int kSpanBatch = 256;

std::shared_ptr<TTexture> MakeTexture(int side, int height, bool alpha,
                                      const std::vector<uint32_t>& pixels) {
    std::shared_ptr<TTexture> texture = TTexture::Create(side, height, alpha);
    if (texture != nullptr) texture->GetData()->SetPixels(side, height, pixels.data());
    return texture;
}

// The display and the renderer drawing through it, with the scene's textures and a software
// cursor in the middle of the screen.
struct Display {
    Display() {
        SetTextureDataMaker(
            []() -> std::unique_ptr<TTextureData> { return std::make_unique<TDxTextureData>(); });
        ForgetAlphaTextureFormat();
        TRenderer::DestroyInstance();
        display = std::make_unique<TPlatformData>();
        TDXContext* context = display->GetContext();
        if (!context->Create(bench::RenderBenchWindow(), true, kWidth, kHeight, 32, 1)) return;
        TDisplayRecord& record = *display->GetRecord();
        record.mDirectDraw = context->GetDirectDraw();
        record.mDirect3D = context->GetDirect3D();
        record.mDevice = context->GetDevice();
        record.mBackBuffer = context->GetBackBuffer();
        record.mRenderTarget = record.mBackBuffer;
        // The state every display set-up gives a new device (alpha test included).
        setdisplay::SetDefaultDeviceState(record.mDevice);
        record.mDepthTest = record.mDepthWrite = true;
        record.mBitDepth = 32;
        record.mTargetRect = record.mClipRect = record.mScreenRect = RECT{0, 0, kWidth, kHeight};
        record.mViewportRect = RECT{0, 0, kWidth, kHeight};
        record.mPixelOffset = -0.5f;
        record.mReady = true;
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->SetSink(GetDisplayRenderSink());
        renderer->PushViewport(TRect{0, 0, kWidth, kHeight});

        const bench::Scene& scene = GetScene();
        background = MakeTexture(kWidth, kHeight, false, scene.background);
        for (const std::vector<uint32_t>& image : scene.spriteImages)
            sprites.push_back(MakeTexture(kSpriteSide, kSpriteSide, true, image));
        std::vector<uint32_t> arrow(16 * 16, 0xFFFFFFFF);
        cursor = MakeTexture(16, 16, true, arrow);
        ok = background != nullptr && cursor != nullptr &&
             context->SetMouseImage(cursor, false, 0, 0);
        for (const auto& sprite : sprites)
            ok = ok && sprite != nullptr;
        context->MoveMouse(POINT{kWidth / 2, kHeight / 2});
    }
    ~Display() {
        sprites.clear();
        background.reset();
        TRenderer::DestroyInstance();
        display.reset();
        cursor.reset();
        SetTextureDataMaker(nullptr);
        ForgetAlphaTextureFormat();
    }

    IDirect3DDevice7* Device() const { return display->GetRecord()->mDevice; }

    std::unique_ptr<TPlatformData> display;
    std::shared_ptr<TTexture> background;
    std::vector<std::shared_ptr<TTexture>> sprites;
    std::shared_ptr<TTexture> cursor;
    bool ok = false;
};

// The scene through the renderer, inside a frame the caller opened.
void DrawScene(const Display& d, TVertexBatch* spans, TTLVertex* spanVertices) {
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->Begin2d();
    d.background->Draw(TDrawSpec(0.0f, 0.0f, 1.0f, 1.0f, TDrawSpec::kUseOffset));
    for (const bench::Sprite& sprite : GetScene().sprites) {
        float opacity = static_cast<float>(sprite.alpha) / 255.0f;
        if (sprite.kind == SpriteKind::Plain || sprite.kind == SpriteKind::Faded) {
            d.sprites[sprite.image]->Draw(
                TDrawSpec(sprite.x, sprite.y, opacity, 1.0f, TDrawSpec::kUseOffset));
            continue;
        }
        TDrawSpec spec(sprite.x, sprite.y, opacity, sprite.scale, 0);
        spec.mTransform.Rotate(sprite.angle);
        d.sprites[sprite.image]->Draw(spec);
    }
    renderer->SetTexture(nullptr);
    int n = 0;
    auto vertex = [](float x, float y, uint32_t colour) {
        TTLVertex v{};
        v.x = x;
        v.y = y;
        v.z = 0.1f;
        v.rhw = 0.5f;
        v.diffuse = colour;
        return v;
    };
    for (const bench::Span& span : GetScene().spans) {
        spanVertices[n++] = vertex(span.x0 - 0.75f, static_cast<float>(span.y), span.color);
        spanVertices[n++] = vertex(span.x1 - 0.75f, static_cast<float>(span.y), span.color);
        if (n == kSpanBatch) {
            spans->SetCount(n);
            renderer->DrawVertices(TRenderer::kLineList, spans);
            n = 0;
        }
    }
    if (n > 0) {
        spans->SetCount(n);
        renderer->DrawVertices(TRenderer::kLineList, spans);
    }
}

void ReportFrames(benchmark::State& state) {
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Frame_Rasterizer(benchmark::State& state) {
    bench::RasterFrame frame(raster::TSimd::Best, true);
    for (auto _ : state) {
        frame.DrawFrame();
        benchmark::ClobberMemory();
    }
    ReportFrames(state);
}
BENCHMARK(BM_Frame_Rasterizer)->Unit(benchmark::kMicrosecond);

// One frame through the renderer; false when the display refused it. (A function of its own, so
// that callgrind can count it alone: --toggle-collect='*RendererFrame*'.)
__attribute__((noinline)) bool RendererFrame(const Display& d, TVertexBatch* spans,
                                             TTLVertex* spanVertices, bool presented) {
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginDraw(false)) return false;
    DrawScene(d, spans, spanVertices);
    if (presented) renderer->FillRect(TRect{0, 0, 300, 64}, TVec4{0, 0, 0, 0.5f}, nullptr);
    renderer->End2d();
    renderer->EndDraw(presented ? 1 : 0);
    return true;
}

void RunRenderer(benchmark::State& state, bool presented) {
    Display d;
    if (!d.ok) return state.SkipWithError("no display");
    std::vector<TTLVertex> spanVertices(kSpanBatch);
    TVertexBatch* spans = TVertexBatch::CreateKind3(spanVertices.data(), kSpanBatch);
    int64_t skipped = 0;
    for (auto _ : state) {
        if (!RendererFrame(d, spans, spanVertices.data(), presented)) ++skipped;
    }
    TVertexBatch::Free(spans);
    if (skipped > 0) state.SkipWithError("frames refused by the display");
    ReportFrames(state);
}

void BM_Frame_Renderer(benchmark::State& state) {
    RunRenderer(state, false);
}
BENCHMARK(BM_Frame_Renderer)->Unit(benchmark::kMicrosecond);

void BM_Frame_RendererPresented(benchmark::State& state) {
    RunRenderer(state, true);
}
BENCHMARK(BM_Frame_RendererPresented)->Unit(benchmark::kMicrosecond);

using Surfaces = std::unordered_map<const TTexture*, IDirectDrawSurface7*>;

// The recorded draws of one frame on the device (callgrind: --toggle-collect='*DeviceFrame*').
__attribute__((noinline)) void DeviceFrame(IDirect3DDevice7* device,
                                           std::vector<TRecordingRenderSink::Draw>& draws,
                                           Surfaces& surfaces) {
    device->BeginScene();
    for (TRecordingRenderSink::Draw& draw : draws) {
        device->SetTexture(0, surfaces[draw.texture]);
        bool lit = draw.kind == TVertexBatch::kLitVertexList;
        void* vertices = lit ? static_cast<void*>(draw.vertices.data())
                             : static_cast<void*>(draw.screenVertices.data());
        DWORD count = static_cast<DWORD>(lit ? draw.vertices.size() : draw.screenVertices.size());
        device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(draw.primitive),
                              lit ? D3DFVF_LVERTEX : D3DFVF_TLVERTEX, vertices, count, 0);
    }
    device->EndScene();
}

// The recorded draws of one renderer frame, replayed on the device with the states the renderer
// left set (one renderer frame runs first).
void BM_Frame_Device(benchmark::State& state) {
    Display d;
    if (!d.ok) return state.SkipWithError("no display");
    std::vector<TTLVertex> spanVertices(kSpanBatch);
    TVertexBatch* spans = TVertexBatch::CreateKind3(spanVertices.data(), kSpanBatch);
    TRenderer* renderer = TRenderer::GetInstance();
    TRecordingRenderSink recorder;
    renderer->SetSink(&recorder);
    renderer->BeginDraw(false);
    DrawScene(d, spans, spanVertices.data());
    renderer->End2d();
    renderer->EndDraw(0);
    renderer->SetSink(GetDisplayRenderSink());
    if (!renderer->BeginDraw(false)) return state.SkipWithError("frame refused");
    DrawScene(d, spans, spanVertices.data());
    renderer->EndDraw(0);  // the 2-D states and the projection stay set on the device
    TVertexBatch::Free(spans);

    Surfaces surfaces;
    for (const auto& texture : d.sprites)
        surfaces[texture.get()] = dynamic_cast<TDxTextureData*>(texture->GetData())->GetSurface();
    surfaces[d.background.get()] =
        dynamic_cast<TDxTextureData*>(d.background->GetData())->GetSurface();
    surfaces[nullptr] = nullptr;

    for (auto _ : state)
        DeviceFrame(d.Device(), recorder.mDraws, surfaces);
    ReportFrames(state);
}
BENCHMARK(BM_Frame_Device)->Unit(benchmark::kMicrosecond);

}  // namespace
