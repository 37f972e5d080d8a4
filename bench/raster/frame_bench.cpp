// The typical frame through the rasterizer (with each kernel level, and with the fast paths off
// for reference), and a memcpy of as many bytes as the frame touches: the physical limit.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "parts.h"
#include "raster/rasterizer.h"
#include "raster/surfaceops.h"
#include "raster/transform.h"
#include "scene.h"

namespace {

using namespace raster;

class RasterFrame {
public:
    // lowMemory: the 16-bit display mode, with R5G6B5 target and background and A4R4G4B4
    // sprites.
    RasterFrame(TSimd simd, bool fastPaths, bool lowMemory = false) : mRasterizer(simd) {
        const bench::Scene& scene = bench::GetScene();
        TPixelFormat opaque = lowMemory ? TPixelFormat::R5G6B5 : TPixelFormat::X8R8G8B8;
        TPixelFormat alpha = lowMemory ? TPixelFormat::A4R4G4B4 : TPixelFormat::A8R8G8B8;
        mTarget.Create(bench::kWidth, bench::kHeight, opaque);
        mBackground.Create(bench::kWidth, bench::kHeight, opaque);
        WritePixels(mBackground, SurfaceRect(mBackground), scene.background.data(), bench::kWidth);
        mSprites.resize(scene.spriteImages.size());
        for (size_t i = 0; i < mSprites.size(); ++i) {
            mSprites[i].Create(bench::kSpriteSide, bench::kSpriteSide, alpha);
            WritePixels(mSprites[i], SurfaceRect(mSprites[i]), scene.spriteImages[i].data(),
                        bench::kSpriteSide);
        }
        mRasterizer.SetFastPaths(fastPaths);
        mRasterizer.SetRenderTarget(&mTarget);
        mRasterizer.Viewport() = TViewport{0, 0, bench::kWidth, bench::kHeight, 0.0f, 1.0f};
        // The 2-D pass: projection shifted by the calibrated pixel offset of -0.5.
        mRasterizer.Transforms().projection = PassDepthThrough(
            OrthoOffCenter(0.5f, bench::kWidth + 0.5f, bench::kHeight + 0.5f, 0.5f, 0.1f, 1000.0f));
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
    }

    void DrawBackground() {
        mRasterizer.SetTexture(&mBackground);
        Quad(0, 0, bench::kWidth, bench::kHeight, 0xFFFFFFFF);
    }

    // All sprites, or only those of one kind.
    void DrawSprites(int kind = -1) {
        for (const bench::Sprite& sp : bench::GetScene().sprites) {
            if (kind >= 0 && static_cast<int>(sp.kind) != kind) continue;
            mRasterizer.SetTexture(&mSprites[sp.image]);
            uint32_t diffuse = static_cast<uint32_t>(sp.alpha) << 24 | 0xFFFFFF;
            if (sp.kind == bench::SpriteKind::Plain || sp.kind == bench::SpriteKind::Faded) {
                Quad(sp.x, sp.y, sp.x + bench::kSpriteSide, sp.y + bench::kSpriteSide, diffuse);
                continue;
            }
            // Corners around the centre, scaled and rotated as the game's quad builder does.
            float h = bench::kSpriteSide * 0.5f * sp.scale;
            float c = std::cos(sp.angle), s = std::sin(sp.angle);
            const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
            const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            TLitVertex v[4];
            for (int i = 0; i < 4; ++i) {
                v[i] = Vertex(corners[i][0] * c - corners[i][1] * s + sp.x,
                              corners[i][0] * s + corners[i][1] * c + sp.y, diffuse, uv[i][0],
                              uv[i][1]);
            }
            mRasterizer.Draw(TPrimitive::TriangleFan, TVertexFormat::Lit, v, 4);
        }
    }

    void DrawSpans() {
        mRasterizer.SetTexture(nullptr);
        TTransformedVertex batch[256];
        int n = 0;
        for (const bench::Span& span : bench::GetScene().spans) {
            batch[n++] = Screen(span.x0 - 0.75f, static_cast<float>(span.y), span.color);
            batch[n++] = Screen(span.x1 - 0.75f, static_cast<float>(span.y), span.color);
            if (n == 256) {
                mRasterizer.Draw(TPrimitive::LineList, TVertexFormat::Transformed, batch, n);
                n = 0;
            }
        }
        if (n > 0) mRasterizer.Draw(TPrimitive::LineList, TVertexFormat::Transformed, batch, n);
    }

    void DrawFrame() {
        DrawBackground();
        DrawSprites();
        DrawSpans();
    }

    TRasterizer& Rasterizer() { return mRasterizer; }
    const TSurface& Target() const { return mTarget; }

private:
    static TLitVertex Vertex(float x, float y, uint32_t diffuse, float u, float v) {
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
    static TTransformedVertex Screen(float x, float y, uint32_t diffuse) {
        TTransformedVertex p{};
        p.x = x;
        p.y = y;
        p.z = 0.1f;
        p.rhw = 0.5f;
        p.diffuse = diffuse;
        return p;
    }
    void Quad(float x0, float y0, float x1, float y1, uint32_t diffuse) {
        TLitVertex v[4] = {Vertex(x0, y0, diffuse, 0, 0), Vertex(x1, y0, diffuse, 1, 0),
                           Vertex(x1, y1, diffuse, 1, 1), Vertex(x0, y1, diffuse, 0, 1)};
        mRasterizer.Draw(TPrimitive::TriangleFan, TVertexFormat::Lit, v, 4);
    }

    TSurface mTarget;
    TSurface mBackground;
    std::vector<TSurface> mSprites;
    TRasterizer mRasterizer;
};

// Bytes the frame must read and write at the least: every texel it copies or blends, every
// target pixel it blends (read and written) or stores (written).
int64_t BytesTouched() {
    static const int64_t bytes = [] {
        RasterFrame f(TSimd::Best, true);
        auto fragments = [&](auto draw) {
            f.Rasterizer().ResetStats();
            draw();
            return static_cast<int64_t>(f.Rasterizer().Stats().fragments);
        };
        int64_t background = fragments([&] { f.DrawBackground(); });
        int64_t sprites = fragments([&] { f.DrawSprites(); });
        int64_t spans = fragments([&] { f.DrawSpans(); });
        return background * 8 + sprites * 12 + spans * 8;
    }();
    return bytes;
}

void RunFrame(benchmark::State& state, TSimd simd, bool fastPaths, bool lowMemory = false) {
    RasterFrame frame(simd, fastPaths, lowMemory);
    for (auto _ : state) {
        frame.DrawFrame();
        benchmark::DoNotOptimize(frame.Target().Pixels());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * BytesTouched());
    state.SetLabel(frame.Rasterizer().SimdLevel() == TSimd::Avx2
                       ? "avx2"
                       : (frame.Rasterizer().SimdLevel() == TSimd::Sse2 ? "sse2" : "scalar"));
}

void BM_RasterFrame(benchmark::State& state) {
    RunFrame(state, TSimd::Best, true);
}
void BM_RasterFrameSse2(benchmark::State& state) {
    RunFrame(state, TSimd::Sse2, true);
}
void BM_RasterFrameLowMemory(benchmark::State& state) {
    RunFrame(state, TSimd::Best, true, true);
}
void BM_RasterFrameGeneralPath(benchmark::State& state) {
    RunFrame(state, TSimd::Scalar, false);
}

// The parts of the frame on their own.
void BM_RasterPart(benchmark::State& state) {
    RasterFrame frame(TSimd::Best, true);
    bench::RunPart(state, frame);
}

void BM_RasterSprites(benchmark::State& state) {
    RasterFrame frame(TSimd::Best, true);
    bench::RunSprites(state, frame);
}

void BM_MemcpyFrameBytes(benchmark::State& state) {
    // memcpy reads n bytes and writes n: 2n bytes touched.
    size_t n = static_cast<size_t>(BytesTouched() / 2);
    std::vector<uint8_t> from(n, 1), to(n, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes_touched"] = static_cast<double>(BytesTouched());
    state.SetBytesProcessed(state.iterations() * BytesTouched());
}

}  // namespace

BENCHMARK(BM_RasterFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameSse2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameLowMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameGeneralPath)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterPart)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterSprites)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyFrameBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
