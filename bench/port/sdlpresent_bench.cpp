// The windowed present through the sdl backend: an 800 x 600, 32-bit frame blitted onto the
// desktop through a clipper on a shown window, which the sdl display presents in the SDL window
// at once (the texture upload, the renderer's copy and its present), beside a memcpy of the same
// bytes. It needs an X display: run it by hand under xvfb-run -a (README), not in CI.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "port/display/ddraw.h"
#include "port/startup.h"
#include "port/window/queue.h"
#include "port/window/window.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

DDSURFACEDESC2 Desc(DWORD fields, DWORD caps) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = fields;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}

void BM_SdlPresentWindowed(benchmark::State& state) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = "SdlPresentBench";
    RegisterClassA(&windowClass);
    // A popup's client area is the whole window.
    HWND window =
        CreateWindowExA(0, "SdlPresentBench", "Umbrava present bench", WS_POPUP | WS_VISIBLE, 0, 0,
                        kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    IDirectDraw7* draw = nullptr;
    DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&draw), IID_IDirectDraw7, nullptr);
    draw->SetCooperativeLevel(window, DDSCL_NORMAL);
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface7* front = nullptr;
    draw->CreateSurface(&desc, &front, nullptr);
    DDSURFACEDESC2 frontDesc = Desc(0, 0);
    front->GetSurfaceDesc(&frontDesc);
    desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    IDirectDrawSurface7* back = nullptr;
    draw->CreateSurface(&desc, &back, nullptr);
    IDirectDrawClipper* clipper = nullptr;
    draw->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, window);
    front->SetClipper(clipper);
    clipper->Release();
    if (frontDesc.ddpfPixelFormat.dwRGBBitCount != 32) {
        state.SkipWithError(
            "the desktop is not 32 bits: run under xvfb-run -a -s \"-screen 0 "
            "1280x720x24\"");
    }
    Pump();
    RECT onScreen{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        // The Blt presents before it returns: it is made on the thread that runs the windows.
        HRESULT result = front->Blt(&onScreen, back, nullptr, DDBLT_WAIT, nullptr);
        if (result != DD_OK) state.SkipWithError("Blt failed");
    }
    SetBytes(state);
    back->Release();
    front->Release();
    draw->Release();
    DestroyWindow(window);
}
BENCHMARK(BM_SdlPresentWindowed)->UseRealTime();

void BM_SdlPresentMemcpy(benchmark::State& state) {
    std::vector<uint8_t> screen(size_t{kWidth} * kHeight * 4), frame(screen.size(), 1);
    for (auto _ : state) {
        std::memcpy(screen.data(), frame.data(), screen.size());
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(BM_SdlPresentMemcpy);

}  // namespace

int main(int argc, char** argv) {
    if (!port::SelectWindowBackend("sdl")) {
        std::fprintf(stderr, "the sdl backend found no display: run under xvfb-run -a\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
