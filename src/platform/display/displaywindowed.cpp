// CDisplay's windowed display: the desktop's primary with a clipper, and a back buffer of its
// own.
#include "platform/display/display.h"
#include "platform/display/dxerror.h"
#include "platform/platform.h"
#include "port/window/menu.h"
#include "port/window/metrics.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace {

// Off: WS_POPUP and the bits set below; on: WS_CAPTION, WS_THICKFRAME, WS_MINIMIZEBOX.
constexpr DWORD kStyleKeep = 0x7F39FFFF;
constexpr DWORD kStyleAdd = 0x00C60000;

}  // namespace

HRESULT CDisplay::CreateWindowedDisplay(HWND window, HWND clipWindow, int width, int height,
                                        bool videoMemory, DWORD flags) {
    DestroyObjects();
    HRESULT hr = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDirectDraw),
                                    IID_IDirectDraw7, nullptr);
    if (hr != DD_OK) {
        mDirectDraw = nullptr;
        return hr;
    }
    DWORD level = DDSCL_NORMAL;
    if (IsEnabled("fpuprecision")) level |= DDSCL_FPUPRESERVE;
    if (mDirectDraw->SetCooperativeLevel(window, level) != DD_OK) return E_FAIL;

    if (!(flags & kFlagKeepWindow)) FitWindow(window, width, height);

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    hr = mDirectDraw->CreateSurface(&desc, &mFrontBuffer, nullptr);
    if (hr != DD_OK) {
        mFrontBuffer = nullptr;
        LOG_DX_ERROR(hr);
        return hr;
    }

    desc = DDSURFACEDESC2{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    if (videoMemory) desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
    if (flags & kFlagAntialiasHint) desc.ddsCaps.dwCaps2 |= DDSCAPS2_HINTANTIALIASING;
    hr = mDirectDraw->CreateSurface(&desc, &mBackBuffer, nullptr);
    if (hr != DD_OK) {
        mBackBuffer = nullptr;
        LOG_DX_ERROR(hr);
        return hr;
    }

    IDirectDrawClipper* clipper = nullptr;
    hr = mDirectDraw->CreateClipper(0, &clipper, nullptr);
    if (hr != DD_OK) {
        LOG_DX_ERROR(hr);
        return hr;
    }
    hr = clipper->SetHWnd(0, clipWindow != nullptr ? clipWindow : window);
    if (hr == DD_OK) hr = mFrontBuffer->SetClipper(clipper);
    // The front buffer keeps the clipper alive; the display holds no reference of its own.
    clipper->Release();
    if (hr != DD_OK) {
        LOG_DX_ERROR(hr);
        return hr;
    }

    mWindow = window;
    mWindowed = true;
    UpdateBounds();
    FillBlack(mBackBuffer);
    mCreated = true;
    return S_OK;
}

void CDisplay::FitWindow(HWND window, int width, int height) {
    DWORD style = (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & kStyleKeep) | kStyleAdd;
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG_PTR>(style));

    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, style, GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    // A corner left of or above the work area goes onto its edge, so the caption stays reachable.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT placed{};
    GetWindowRect(window, &placed);
    if (placed.left < work.left) placed.left = work.left;
    if (placed.top < work.top) placed.top = work.top;
    SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
