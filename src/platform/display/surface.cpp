#include "platform/display/surface.h"

CSurface::CSurface() {
    mDesc.dwSize = sizeof mDesc;
}

CSurface::~CSurface() {
    Destroy();
}

HRESULT CSurface::Create(IDirectDraw7* directDraw, DDSURFACEDESC2* desc) {
    Destroy();
    if (directDraw == nullptr || desc == nullptr) return E_POINTER;
    HRESULT result = directDraw->CreateSurface(desc, &mSurface, nullptr);
    if (result != DD_OK) {
        mSurface = nullptr;
        return result;
    }
    mDesc = DDSURFACEDESC2{};
    mDesc.dwSize = sizeof mDesc;
    mSurface->GetSurfaceDesc(&mDesc);
    return S_OK;
}

void CSurface::Destroy() {
    if (mSurface != nullptr) mSurface->Release();
    mSurface = nullptr;
    mDesc = DDSURFACEDESC2{};
    mDesc.dwSize = sizeof mDesc;
}
