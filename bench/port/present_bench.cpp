// The present path at 800 x 600, 32 bits, as the display presents a frame: in a window, a Blt of
// the whole back buffer onto the desktop through a clipper on the window; full screen, a Flip of
// the chain. Each beside a memcpy of the frame's bytes, which a same-format present should come
// close to.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "port/display/ddraw.h"
#include "port/window/window.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = "PresentBench";
        RegisterClassA(&windowClass);
        registered = true;
    }
    // A popup's client area is the whole window.
    return CreateWindowExA(0, "PresentBench", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                           nullptr, nullptr, nullptr, nullptr);
}

DDSURFACEDESC2 Desc(DWORD fields, DWORD caps) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = fields;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}

// The windowed display: the desktop (1024 x 768 x 32, the default) as the primary with a clipper
// on the window, and a back buffer of the window's size in the desktop's format.
void BM_PresentWindowedBlt(benchmark::State& state) {
    HWND window = MakeWindow();
    IDirectDraw7* draw = nullptr;
    DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&draw), IID_IDirectDraw7, nullptr);
    draw->SetCooperativeLevel(window, DDSCL_NORMAL);
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface7* front = nullptr;
    draw->CreateSurface(&desc, &front, nullptr);
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
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwDDFX = DDBLTFX_NOTEARING;
    RECT onScreen{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        HRESULT result = front->Blt(&onScreen, back, nullptr, DDBLT_WAIT | DDBLT_DDFX, &fx);
        if (result != DD_OK) state.SkipWithError("Blt failed");
        benchmark::ClobberMemory();
    }
    SetBytes(state);
    back->Release();
    front->Release();
    draw->Release();
    DestroyWindow(window);
}
BENCHMARK(BM_PresentWindowedBlt);

// The full-screen display: exclusive, in 800 x 600 x 32, a chain with one back buffer.
void BM_PresentFullScreenFlip(benchmark::State& state) {
    HWND window = MakeWindow();
    IDirectDraw7* draw = nullptr;
    DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&draw), IID_IDirectDraw7, nullptr);
    draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    draw->SetDisplayMode(kWidth, kHeight, 32, 0, 0);
    DDSURFACEDESC2 desc =
        Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
             DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE);
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface7* front = nullptr;
    if (draw->CreateSurface(&desc, &front, nullptr) != DD_OK) {
        state.SkipWithError("no flip chain");
        return;
    }
    for (auto _ : state) {
        HRESULT result = front->Flip(nullptr, 0);
        if (result != DD_OK) state.SkipWithError("Flip failed");
        benchmark::ClobberMemory();
    }
    SetBytes(state);
    front->Release();
    draw->Release();
    DestroyWindow(window);
}
BENCHMARK(BM_PresentFullScreenFlip);

void BM_PresentMemcpy(benchmark::State& state) {
    // A frame's bytes, copied plainly, between two buffers laid out as the surfaces are.
    std::vector<uint8_t> screen(size_t{kWidth} * kHeight * 4), frame(screen.size(), 1);
    for (auto _ : state) {
        std::memcpy(screen.data(), frame.data(), screen.size());
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(BM_PresentMemcpy);

}  // namespace
