#include "platform/display/display.h"

#include "platform/display/dxerror.h"
#include "platform/display/surface.h"
#include "port/window/metrics.h"
#include "port/window/windowpos.h"

CDisplay::CDisplay() = default;

CDisplay::~CDisplay() {
    // DestroyObjects is virtual, but no derived part is left here: this class's own runs.
    CDisplay::DestroyObjects();
}

HRESULT CDisplay::DestroyObjects() {
    if (mBackBuffer != nullptr) {
        mBackBuffer->Release();
        if (mBackBufferExtraRef) mBackBuffer->Release();
    }
    mBackBuffer = nullptr;
    mBackBufferExtraRef = false;
    if (mFrontBuffer != nullptr) mFrontBuffer->Release();
    mFrontBuffer = nullptr;
    if (mDirectDraw != nullptr) {
        mDirectDraw->SetCooperativeLevel(mWindow, DDSCL_NORMAL);
        mDirectDraw->Release();
    }
    mDirectDraw = nullptr;
    return S_OK;
}

HRESULT CDisplay::CreateSurface(CSurface** surface, int width, int height, DDPIXELFORMAT* format,
                                DDSCAPS2* caps) {
    if (mDirectDraw == nullptr) return E_POINTER;
    if (surface == nullptr) return E_INVALIDARG;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    if (format != nullptr) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = *format;
    }
    if (caps != nullptr) {
        desc.ddsCaps = *caps;
    } else {
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    }
    auto* made = new CSurface();
    HRESULT result = made->Create(mDirectDraw, &desc);
    if (result != S_OK) {
        delete made;
        *surface = nullptr;
        return result;
    }
    *surface = made;
    return S_OK;
}

HRESULT CDisplay::Present() {
    if (mFrontBuffer == nullptr || mBackBuffer == nullptr) return E_POINTER;
    for (;;) {
        HRESULT result;
        if (mWindowed) {
            DDBLTFX fx{};
            fx.dwSize = sizeof fx;
            fx.dwDDFX = DDBLTFX_NOTEARING;
            result =
                mFrontBuffer->Blt(&mWindowRect, mBackBuffer, nullptr, DDBLT_WAIT | DDBLT_DDFX, &fx);
        } else {
            result = mFrontBuffer->Flip(nullptr, 0);
        }
        if (result == DDERR_WASSTILLDRAWING) continue;
        if (result == DDERR_SURFACELOST) {
            mFrontBuffer->Restore();
            mBackBuffer->Restore();
        }
        return result;
    }
}

HRESULT CDisplay::UpdateBounds() {
    if (mWindowed) {
        RECT client{};
        GetClientRect(mWindow, &client);
        POINT topLeft{client.left, client.top};
        POINT bottomRight{client.right, client.bottom};
        ClientToScreen(mWindow, &topLeft);
        ClientToScreen(mWindow, &bottomRight);
        mWindowRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    } else {
        mWindowRect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return S_OK;
}

POINT CDisplay::GetWindowOrigin() {
    UpdateBounds();
    return POINT{mWindowRect.left, mWindowRect.top};
}

void CDisplay::RestoreDisplayMode() {
    if (mDirectDraw != nullptr) mDirectDraw->RestoreDisplayMode();
}

void CDisplay::FillBlack(IDirectDrawSurface7* surface) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    HRESULT result = surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    if (result != DD_OK) LOG_DX_ERROR(result);
}
