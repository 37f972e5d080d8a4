#include "platform/display/dxcontext.h"

#include <cstring>

#include "platform/display/dxerror.h"
#include "platform/display/mouselock.h"
#include "platform/display/mousetexturelistener.h"
#include "platform/platform.h"
#include "platform/win32platform.h"
#include "port/system/guid.h"
#include "port/system/sync.h"
#include "port/window/cursor.h"
#include "port/window/gdi.h"
#include "port/window/input.h"
#include "port/window/paint.h"

namespace {

float DisplayScale() {
    TPlatform* application = TPlatform::GetInstance();
    float scale = application != nullptr ? application->GetPlatform()->GetScaleX() : 1.0f;
    return scale > 0.0f ? scale : 1.0f;
}

// "TDXContextMouseMutex:%x:%x:%x:%x" with the four 32-bit words of a new GUID.
str NewMouseMutexName() {
    GUID guid{};
    CoCreateGuid(&guid);
    uint32_t words[4];
    static_assert(sizeof words == sizeof guid);
    std::memcpy(words, &guid, sizeof words);
    return str::Format("TDXContextMouseMutex:%x:%x:%x:%x", words[0], words[1], words[2], words[3]);
}

}  // namespace

TDXContext::TDXContext() {
    mDisplayMode.dwSize = sizeof mDisplayMode;
    mZBufferFormat.dwSize = sizeof mZBufferFormat;
    mMouseMutexName = NewMouseMutexName();
    mMouseMutex = CreateMutexA(nullptr, FALSE, mMouseMutexName.c_str());
    ReadDesktop();
}

TDXContext::~TDXContext() {
    if (mWindowsCursor != nullptr) DestroyIcon(mWindowsCursor);
    mWindowsCursor = nullptr;
    // The listener belongs to the application's listener list and may outlive the context.
    if (mListener != nullptr) mListener->Detach();
    mListener = nullptr;
    ReleaseDevice();
    if (mMouseMutex != nullptr) CloseHandle(mMouseMutex);
    mMouseMutex = nullptr;
    mRuns.clear();
    mAlternateRuns.clear();
    mHardwareCursorTexture.reset();
    mSoftwareCursorTexture.reset();
    for (CSurface& surface : mCursorSurfaces)
        surface.Destroy();
    mDisplay.DestroyObjects();
}

void TDXContext::ReadDesktop() {
    HDC screen = GetDC(nullptr);
    mDesktopColours = GetDeviceCaps(screen, NUMCOLORS);
    mDesktopWidth = GetDeviceCaps(screen, HORZRES);
    mDesktopHeight = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
}

void TDXContext::ReleaseDevice() {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return;
    if (mDevice != nullptr) mDevice->Release();
    mDevice = nullptr;
    if (mDirect3D != nullptr) mDirect3D->Release();
    mDirect3D = nullptr;
    mZBuffer.reset();
    mDisplay.RestoreDisplayMode();
    mDisplay.DestroyObjects();
    InvalidateRect(nullptr, nullptr, TRUE);
    mShown = false;
}

void TDXContext::ClearDevice(DWORD flags) {
    if (mDevice == nullptr) return;
    HRESULT result = mDevice->Clear(0, nullptr, flags, 0, 1.0f, 0);
    if (result != D3D_OK) LOG_DX_ERROR(result);
}

bool TDXContext::CanDraw() {
    IDirectDrawSurface7* back = mDisplay.GetBackBuffer();
    if (back == nullptr) return false;
    if (mDisplay.IsWindowed()) return true;
    return mDisplay.GetDirectDraw()->TestCooperativeLevel() == DD_OK &&
           back->GetFlipStatus(DDGFS_ISFLIPDONE) == DD_OK;
}

POINT TDXContext::GetWindowOrigin() {
    return mDisplay.GetWindowOrigin();
}

RECT TDXContext::GetWindowRect() const {
    TMouseLock lock(mMouseMutex, true);
    return mDisplay.GetBounds();
}

void TDXContext::SetDeviceCapsCopy(const D3DDEVICEDESC7& desc, bool hardware) {
    mDeviceDesc = desc;
    mHardwareDevice = hardware;
    mDeviceFound = true;
}

void TDXContext::SetZBufferFormat(const DDPIXELFORMAT& format) {
    mZBufferFormat = format;
}

void TDXContext::SetDesktopInfo(int colours, int width, int height) {
    mDesktopColours = colours;
    mDesktopWidth = width;
    mDesktopHeight = height;
}

void TDXContext::ResetMouse() {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return;
    mPosition = POINT{-1, -1};
    mLastPosition = POINT{-1, -1};
    mSaveIndex = 0;
    mShown = false;
    mDrawn = false;
    mDisplay.UpdateBounds();
}

POINT TDXContext::UpdateMousePosition() {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return mPosition;
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    const RECT& bounds = mDisplay.GetBounds();
    float scale = DisplayScale();
    mPosition.x = static_cast<LONG>(static_cast<float>(cursor.x - bounds.left) / scale);
    mPosition.y = static_cast<LONG>(static_cast<float>(cursor.y - bounds.top) / scale);
    return mPosition;
}

POINT TDXContext::GetMousePosition() const {
    TMouseLock lock(mMouseMutex, true);
    return mPosition;
}

void TDXContext::OnWindowMoved() {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return;
    RECT before = mDisplay.GetBounds();
    mDisplay.UpdateBounds();
    const RECT& after = mDisplay.GetBounds();
    if (before.left != after.left || before.top != after.top || before.right != after.right ||
        before.bottom != after.bottom) {
        mDrawn = false;
        UpdateMousePosition();
    }
}

POINT TDXContext::MoveMouse(POINT windowPoint) {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return mPosition;
    float scale = DisplayScale();
    mShown = true;
    mPosition.x = static_cast<LONG>(static_cast<float>(windowPoint.x) / scale);
    mPosition.y = static_cast<LONG>(static_cast<float>(windowPoint.y) / scale);
    return mPosition;
}

bool TDXContext::IsCursorShown() const {
    TMouseLock lock(mMouseMutex, true);
    return mShown;
}

bool TDXContext::IsCursorDrawn() const {
    TMouseLock lock(mMouseMutex, true);
    return mDrawn;
}

void TDXContext::ApplyCursor(bool show) {
    SetCursor(show && mWindowsCursor != nullptr && mDisplay.IsWindowed() ? mWindowsCursor
                                                                         : nullptr);
}

void TDXContext::ForgetListener(MouseTextureListener* listener) {
    if (mListener == listener) mListener = nullptr;
}

bool TDXContext::IsCursorVisible() const {
    TMouseLock lock(mMouseMutex, true);
    return mCursorVisible;
}
