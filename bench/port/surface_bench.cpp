// Whole-screen surface work at 800 x 600: a colour fill and an R5G6B5 -> X8R8G8B8 converting
// Blt through DirectDraw, each beside memset or memcpy of the same bytes and beside the
// rasterizer's utilities on the same memory (what the layer adds: argument checks, locks,
// injection checks).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "port/display/ddraw.h"
#include "raster/surfaceops.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class Surfaces {
public:
    Surfaces() {
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr);
        mDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        mScreen = Make(32, 0x00FF0000, 0x0000FF00, 0x000000FF);
        mSource = Make(16, 0xF800, 0x07E0, 0x001F);
    }
    ~Surfaces() {
        mSource->Release();
        mScreen->Release();
        mDraw->Release();
    }

    IDirectDrawSurface7* Screen() const { return mScreen; }
    IDirectDrawSurface7* Source() const { return mSource; }

private:
    IDirectDrawSurface7* Make(DWORD bits, DWORD red, DWORD green, DWORD blue) {
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = kWidth;
        desc.dwHeight = kHeight;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = bits;
        desc.ddpfPixelFormat.dwRBitMask = red;
        desc.ddpfPixelFormat.dwGBitMask = green;
        desc.ddpfPixelFormat.dwBBitMask = blue;
        IDirectDrawSurface7* surface = nullptr;
        mDraw->CreateSurface(&desc, &surface, nullptr);
        return surface;
    }

    IDirectDraw7* mDraw = nullptr;
    IDirectDrawSurface7* mScreen = nullptr;
    IDirectDrawSurface7* mSource = nullptr;
};

void SetBytes(benchmark::State& state, int bytesPerPixel) {
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * bytesPerPixel);
}

void BM_FillBlt(benchmark::State& state) {
    Surfaces surfaces;
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    for (auto _ : state) {
        fx.dwFillColor = static_cast<DWORD>(state.iterations());
        surfaces.Screen()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        benchmark::ClobberMemory();
    }
    SetBytes(state, 4);
}
BENCHMARK(BM_FillBlt);

void BM_FillRaster(benchmark::State& state) {
    raster::TSurface screen;
    screen.Create(kWidth, kHeight, raster::TPixelFormat::X8R8G8B8, 64);
    for (auto _ : state) {
        raster::FillRaw(screen, raster::SurfaceRect(screen),
                        static_cast<uint32_t>(state.iterations()));
        benchmark::ClobberMemory();
    }
    SetBytes(state, 4);
}
BENCHMARK(BM_FillRaster);

void BM_FillMemset(benchmark::State& state) {
    std::vector<uint8_t> screen(size_t{kWidth} * kHeight * 4);
    for (auto _ : state) {
        std::memset(screen.data(), static_cast<int>(state.iterations()), screen.size());
        benchmark::ClobberMemory();
    }
    SetBytes(state, 4);
}
BENCHMARK(BM_FillMemset);

void BM_ConvertBlt(benchmark::State& state) {
    Surfaces surfaces;
    for (auto _ : state) {
        surfaces.Screen()->Blt(nullptr, surfaces.Source(), nullptr, DDBLT_WAIT, nullptr);
        benchmark::ClobberMemory();
    }
    SetBytes(state, 4);
}
BENCHMARK(BM_ConvertBlt);

void BM_ConvertRaster(benchmark::State& state) {
    raster::TSurface screen, source;
    screen.Create(kWidth, kHeight, raster::TPixelFormat::X8R8G8B8, 64);
    source.Create(kWidth, kHeight, raster::TPixelFormat::R5G6B5, 64);
    for (auto _ : state) {
        raster::CopyRect(source, raster::SurfaceRect(source), screen, 0, 0, raster::TXByte::Keep);
        benchmark::ClobberMemory();
    }
    SetBytes(state, 4);
}
BENCHMARK(BM_ConvertRaster);

void BM_ConvertMemcpy(benchmark::State& state) {
    // The bytes written by the converting copy, copied plainly.
    std::vector<uint8_t> screen(size_t{kWidth} * kHeight * 4), source(screen.size());
    for (auto _ : state) {
        std::memcpy(screen.data(), source.data(), screen.size());
        benchmark::ClobberMemory();
    }
    SetBytes(state, 4);
}
BENCHMARK(BM_ConvertMemcpy);

}  // namespace

BENCHMARK_MAIN();
