// TDxTextureData's pixel paths on a 1024 x 1024 texture, in MB/s of 0xAARRGGBB pixels (4 bytes
// each): SetPixels, ReadPixels and Lock + Unlock for A8R8G8B8 (locked directly), R5G6B5 and
// A4R4G4B4 (converted through a shadow), beside memcpy of the same bytes and beside
// raster::WritePixels / raster::ReadPixels on a surface of the format.
//
// The display is a full-screen DirectX context on the headless backend (32 bits for A8R8G8B8, 16
// for the others); textures are simple surfaces, so the conversions run over the locked memory.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "benchwindow.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/dxtextureformat.h"
#include "platform/platformdata.h"
#include "raster/surfaceops.h"

namespace {

constexpr int kSide = 1024;
constexpr int64_t kBytes = int64_t{kSide} * kSide * 4;

struct Format {
    raster::TPixelFormat pixels;
    int displayBits;
    uint8_t flags;
};

const Format kFormats[] = {
    {raster::TPixelFormat::A8R8G8B8, 32, TTextureData::kSimple | TTextureData::kHasAlpha},
    {raster::TPixelFormat::R5G6B5, 16, TTextureData::kSimple},
    {raster::TPixelFormat::A4R4G4B4, 16, TTextureData::kSimple | TTextureData::kHasAlpha},
};

// A display of the depth and one texture of the format on it, filled with a pattern.
struct Setup {
    explicit Setup(const Format& format) {
        ForgetAlphaTextureFormat();
        display = std::make_unique<TPlatformData>();
        TDXContext* context = display->GetContext();
        ok = context->Create(bench::RenderBenchWindow(), true, 800, 600, format.displayBits, 1);
        TDisplayRecord& record = *display->GetRecord();
        record.mDirectDraw = context->GetDirectDraw();
        record.mDirect3D = context->GetDirect3D();
        record.mDevice = context->GetDevice();
        record.mBackBuffer = context->GetBackBuffer();
        record.mRenderTarget = record.mBackBuffer;
        texture = std::make_unique<TDxTextureData>();
        texture->SetFlags(format.flags);
        ok = ok && texture->CreateSurface(kSide, kSide, false);
        pixels.resize(static_cast<size_t>(kSide) * kSide);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint32_t>(i * 2654435761u);
        ok = ok && texture->SetPixels(kSide, kSide, pixels.data());
    }
    ~Setup() {
        texture.reset();
        display.reset();
    }
    std::unique_ptr<TPlatformData> display;
    std::unique_ptr<TDxTextureData> texture;
    std::vector<uint32_t> pixels;
    bool ok = false;
};

void Report(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_SetPixels(benchmark::State& state) {
    Setup setup(kFormats[state.range(0)]);
    if (!setup.ok) return state.SkipWithError("no texture");
    for (auto _ : state) {
        setup.texture->SetPixels(kSide, kSide, setup.pixels.data());
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_SetPixels)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_ReadPixels(benchmark::State& state) {
    Setup setup(kFormats[state.range(0)]);
    if (!setup.ok) return state.SkipWithError("no texture");
    std::vector<uint32_t> out(setup.pixels.size());
    for (auto _ : state) {
        setup.texture->ReadPixels(kSide, kSide, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    Report(state);
}
BENCHMARK(BM_ReadPixels)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_LockUnlock(benchmark::State& state) {
    Setup setup(kFormats[state.range(0)]);
    if (!setup.ok) return state.SkipWithError("no texture");
    for (auto _ : state) {
        uint32_t* pixels = nullptr;
        int pitch = 0;
        setup.texture->Lock(&pixels, &pitch);
        benchmark::DoNotOptimize(pixels);
        setup.texture->Unlock();
    }
    Report(state);
}
BENCHMARK(BM_LockUnlock)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The rasterizer's write-in and read-back alone, on a surface of the format with the port's row
// alignment.
void BM_RasterWritePixels(benchmark::State& state) {
    raster::TSurface surface;
    surface.Create(kSide, kSide, kFormats[state.range(0)].pixels, 64);
    std::vector<uint32_t> pixels(static_cast<size_t>(kSide) * kSide, 0x80402010);
    for (auto _ : state) {
        raster::WritePixels(surface, raster::SurfaceRect(surface), pixels.data(), kSide);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_RasterWritePixels)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_RasterReadPixels(benchmark::State& state) {
    raster::TSurface surface;
    surface.Create(kSide, kSide, kFormats[state.range(0)].pixels, 64);
    std::vector<uint32_t> out(static_cast<size_t>(kSide) * kSide);
    for (auto _ : state) {
        raster::ReadPixels(surface, raster::SurfaceRect(surface), out.data(), kSide);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state);
}
BENCHMARK(BM_RasterReadPixels)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint32_t> from(static_cast<size_t>(kSide) * kSide, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::DoNotOptimize(to.data());
    }
    Report(state);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
