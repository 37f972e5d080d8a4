// The software cursor of the DirectX context: its image (pixel runs and three surfaces), drawing
// and erasing it on the front or back buffer, and presenting frames with it. Every operation
// here holds the mouse mutex; the cursor worker draws through DrawMouse while the main thread
// presents, sets the display up again and changes the image.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "foundation/log.h"
#include "platform/display/cursorpixels.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/display/mouselock.h"
#include "platform/display/mousetexturelistener.h"
#include "platform/display/osversion.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/window/cursor.h"

namespace {

constexpr DWORD kDrawInterval = 16;
constexpr POINT kNoDraw{-1, -1};

// Only one RestoreMouseImage runs at a time in the process.
std::atomic<bool> gRestoringMouseImage{false};

TWin32Platform* Platform() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr ? application->GetPlatform() : nullptr;
}

float Scale() {
    TWin32Platform* platform = Platform();
    float scale = platform != nullptr ? platform->GetScaleX() : 1.0f;
    return scale > 0.0f ? scale : 1.0f;
}

LONG ToScreen(LONG value, float scale) {
    return static_cast<LONG>(std::floor(static_cast<float>(value) * scale + 0.5f));
}

TWindowManager* WindowManager() {
    TWin32Platform* platform = Platform();
    return platform != nullptr ? platform->GetWindowManager() : nullptr;
}

void RedrawEverything() {
    if (TWindowManager* manager = WindowManager()) windowsystemhooks::MarkDirty(manager);
}

}  // namespace

bool TDXContext::UsesWindowsCursor() const {
    return mWindowsCursor != nullptr && mDisplay.IsWindowed();
}

bool TDXContext::AreCursorSurfacesLost() const {
    TMouseLock lock(mMouseMutex, true);
    return mSurfacesLost;
}

bool TDXContext::AreCursorSurfacesUnavailable() const {
    TMouseLock lock(mMouseMutex, true);
    return mSurfacesUnavailable;
}

std::shared_ptr<TTexture> TDXContext::GetCursorTexture() const {
    TMouseLock lock(mMouseMutex, true);
    if (mSoftwareCursorTexture == nullptr || mImageWidth < 1 || mImageHeight < 1) return {};
    return mSoftwareCursorTexture;
}

bool TDXContext::BuildRuns(TTexture* texture, std::vector<TCursorRun>* runs) {
    runs->clear();
    if (texture == nullptr) return true;
    IDirectDrawSurface7* back = mDisplay.GetBackBuffer();
    if (back == nullptr) return false;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (back->GetSurfaceDesc(&desc) != DD_OK) return false;
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!texture->Lock(&pixels, &pitch)) return false;
    *runs = BuildCursorRuns(pixels, pitch, texture->GetWidth(), texture->GetHeight(),
                            TCursorPixelFormat::From(desc.ddpfPixelFormat));
    texture->Unlock();
    return true;
}

void TDXContext::DestroyCursorSurfaces() {
    for (CSurface& surface : mCursorSurfaces)
        surface.Destroy();
}

HRESULT TDXContext::CreateCursorSurfaces() {
    IDirectDrawSurface7* back = mDisplay.GetBackBuffer();
    IDirectDraw7* directDraw = mDisplay.GetDirectDraw();
    if (back == nullptr || directDraw == nullptr) return E_POINTER;
    DDSURFACEDESC2 backDesc{};
    backDesc.dwSize = sizeof backDesc;
    HRESULT result = back->GetSurfaceDesc(&backDesc);
    if (result != DD_OK) return result;
    for (CSurface& surface : mCursorSurfaces) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = static_cast<DWORD>(mImageWidth);
        desc.dwHeight = static_cast<DWORD>(mImageHeight);
        desc.ddpfPixelFormat = backDesc.ddpfPixelFormat;
        desc.ddsCaps.dwCaps =
            (mDisplayMode.ddsCaps.dwCaps & ~DDSCAPS_3DDEVICE) | DDSCAPS_OFFSCREENPLAIN;
        result = surface.Create(directDraw, &desc);
        if (result != DD_OK) {
            DestroyCursorSurfaces();
            return result;
        }
    }
    return DD_OK;
}

bool TDXContext::SetMouseImage(std::shared_ptr<TTexture> texture, bool hardware, int hotSpotX,
                               int hotSpotY) {
    if (mDevice == nullptr) {
        texture.reset();
        return false;
    }
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return false;
    // Embedded, a hardware image is a Windows cursor; elsewhere it is drawn in software.
    if (hardware && TPlatform::GetConfig("activex", "0") == "1") {
        if (!IsWindowsXPOrLater()) return false;
        mHardwareCursorTexture = std::move(texture);
        mHardwareHotSpot = POINT{hotSpotX, hotSpotY};
        return BuildWindowsCursor(mHardwareCursorTexture.get(), mHardwareHotSpot);
    }
    EraseMouse();

    const bool hadSoftware = mSoftwareCursorTexture != nullptr;
    const bool wasAlternate = mUseAlternateRuns;
    const bool hasTexture = texture != nullptr;
    if (!BuildRuns(texture.get(), hardware ? &mAlternateRuns : &mRuns)) {
        mSurfacesLost = true;
        mRecreateSurfaces = true;
    }
    if (hardware) {
        mHardwareCursorTexture = std::move(texture);
        mHardwareHotSpot = POINT{hotSpotX, hotSpotY};
    } else {
        mSoftwareCursorTexture = std::move(texture);
        mSoftwareHotSpot = POINT{hotSpotX, hotSpotY};
    }
    if (hasTexture)
        mUseAlternateRuns = mUseAlternateRuns || hardware;
    else if (hardware)
        mUseAlternateRuns = false;
    mImageWidth = mImageHeight = 0;

    if (mSoftwareCursorTexture == nullptr) return true;
    TPlatform* application = TPlatform::GetInstance();
    if (mListener == nullptr && application != nullptr) {
        mListener = new MouseTextureListener(this);
        application->AddListener(mListener);
    }
    // The image drawn is set up again even when the one just set is the other: the size was
    // cleared above, and leaving it so would leave no cursor at all. Only the drawn image's own
    // change draws at once (below).
    const bool normalBack = hardware && !hasTexture && wasAlternate;
    const bool drawnImageSet = mUseAlternateRuns == hardware || normalBack;
    TTexture* image =
        mUseAlternateRuns ? mHardwareCursorTexture.get() : mSoftwareCursorTexture.get();
    if (image == nullptr) return true;
    POINT hotSpot = mUseAlternateRuns ? mHardwareHotSpot : mSoftwareHotSpot;
    mHotSpotOffset = POINT{-hotSpot.x, -hotSpot.y};
    mImageWidth = image->GetWidth();
    mImageHeight = image->GetHeight();
    HRESULT result = CreateCursorSurfaces();
    if (result == DDERR_OUTOFVIDEOMEMORY && mDirect3D != nullptr) {
        mDirect3D->EvictManagedTextures();
        result = CreateCursorSurfaces();
    }
    if (result == DDERR_OUTOFVIDEOMEMORY) {
        mSurfacesUnavailable = true;
    } else if (result != DD_OK) {
        LOG_DX_ERROR(result);
        DestroyCursorSurfaces();
        mRecreateSurfaces = true;
        mSurfacesLost = true;
        return false;
    } else {
        mSurfacesUnavailable = false;
        mRecreateSurfaces = false;
    }

    mDisplay.UpdateBounds();
    const bool inUse = hardware ? (wasAlternate || hadSoftware) : (hadSoftware && !wasAlternate);
    if (drawnImageSet && inUse) {
        ResetMouse();
        DrawMouse(UpdateMousePosition(), false);
    }
    return true;
}

bool TDXContext::ShouldDrawMouse(bool forced, const POINT& position) {
    if (!forced) {
        if (!mShown) return false;
        if (TPlatform::GetTimer() - mLastDrawTime < kDrawInterval) return false;
    } else {
        mShown = true;
    }
    const LONG left = position.x + mHotSpotOffset.x;
    const LONG top = position.y + mHotSpotOffset.y;
    if (left < 0 || top < 0 || left + mImageWidth > mDesktopWidth ||
        top + mImageHeight > mDesktopHeight) {
        RedrawEverything();
        return false;
    }
    if (forced && IsWindowsVistaOrLater()) {
        TWin32Platform* platform = Platform();
        const bool hosted = platform != nullptr && platform->IsHostedMode();
        if (mDisplay.IsWindowed() || hosted) return false;
    }
    return true;
}

void TDXContext::PutBackground(IDirectDrawSurface7* target) {
    IDirectDrawSurface7* save = mCursorSurfaces[mSaveIndex].GetDDrawSurface();
    if (target == nullptr || save == nullptr) return;
    HRESULT result = target->Blt(&mSavedRect, save, &mSavedSource, DDBLT_WAIT, nullptr);
    if (result == DDERR_SURFACELOST) mSurfacesLost = true;
}

POINT TDXContext::DrawMouse(POINT position, bool backBuffer) {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return kNoDraw;
    TWin32Platform* platform = Platform();
    if (mSurfacesLost || (platform != nullptr && !platform->IsActive())) return kNoDraw;
    if (UsesWindowsCursor()) {
        UpdateMousePosition();
        return kNoDraw;
    }
    // A hidden cursor is not drawn into frames either.
    if (!mCursorVisible || mImageWidth < 1 || mImageHeight < 1) return kNoDraw;

    const bool explicitPosition = position.x != -1 || position.y != -1;
    if (!explicitPosition) position = UpdateMousePosition();
    if (!backBuffer && !ShouldDrawMouse(explicitPosition, position)) return kNoDraw;
    if (mSurfacesUnavailable || mCursorSurfaces[2].GetDDrawSurface() == nullptr) {
        RedrawEverything();
        return kNoDraw;
    }

    IDirectDrawSurface7* target = backBuffer ? mDisplay.GetBackBuffer() : mDisplay.GetFrontBuffer();
    if (target == nullptr) return kNoDraw;
    if (backBuffer) mDrawn = false;
    if (mDrawn) {
        IDirectDrawSurface7* previous =
            mBackBufferSave ? mDisplay.GetBackBuffer() : mDisplay.GetFrontBuffer();
        PutBackground(previous);
        if (mSurfacesLost) return kNoDraw;
        mDrawn = false;
    }

    // The cursor's rectangle on the target and its bounds there.
    const float scale = Scale();
    RECT bounds = mDisplay.GetBounds();
    LONG originX = 0, originY = 0;
    if (!backBuffer) {
        originX = bounds.left;
        originY = bounds.top;
    } else {
        RECT root = windowsystemhooks::GetScreenRect(WindowManager());
        if (root.right > root.left && root.bottom > root.top) {
            bounds = RECT{0, 0, ToScreen(root.right, scale), ToScreen(root.bottom, scale)};
        }
    }
    RECT dest{originX + ToScreen(position.x + mHotSpotOffset.x, scale),
              originY + ToScreen(position.y + mHotSpotOffset.y, scale), 0, 0};
    dest.right = dest.left + mImageWidth;
    dest.bottom = dest.top + mImageHeight;
    if (dest.right <= bounds.left || dest.bottom <= bounds.top || dest.left > bounds.right ||
        dest.top > bounds.bottom) {
        return kNoDraw;
    }
    RECT source{0, 0, mImageWidth, mImageHeight};
    if (dest.left < bounds.left) {
        source.left += bounds.left - dest.left;
        dest.left = bounds.left;
    }
    if (dest.top < bounds.top) {
        source.top += bounds.top - dest.top;
        dest.top = bounds.top;
    }
    if (dest.right > bounds.right) {
        source.right -= dest.right - bounds.right;
        dest.right = bounds.right;
    }
    if (dest.bottom > bounds.bottom) {
        source.bottom -= dest.bottom - bounds.bottom;
        dest.bottom = bounds.bottom;
    }
    if (source.right <= source.left || source.bottom <= source.top) return kNoDraw;

    // Background into the other save surface and into the composition, the runs blended there.
    const int other = mSaveIndex ^ 1;
    IDirectDrawSurface7* save = mCursorSurfaces[other].GetDDrawSurface();
    IDirectDrawSurface7* composition = mCursorSurfaces[2].GetDDrawSurface();
    HRESULT result = save->Blt(&source, target, &dest, DDBLT_WAIT, nullptr);
    if (result == DD_OK) result = composition->Blt(&source, target, &dest, DDBLT_WAIT, nullptr);
    if (result == DDERR_SURFACELOST) {
        mSurfacesLost = true;
        return kNoDraw;
    }
    if (result != DD_OK) {
        RedrawEverything();
        return kNoDraw;
    }
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof locked;
    if (composition->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) == DD_OK) {
        BlendCursorRuns(mUseAlternateRuns ? mAlternateRuns : mRuns,
                        static_cast<uint8_t*>(locked.lpSurface), locked.lPitch,
                        TCursorPixelFormat::From(locked.ddpfPixelFormat), source);
        composition->Unlock(nullptr);
    }
    result = target->Blt(&dest, composition, &source, DDBLT_WAIT, nullptr);
    if (result != DD_OK) RedrawEverything();

    mLastPosition = position;
    mSavedRect = dest;
    mSavedSource = source;
    mSaveIndex = other;
    mBackBufferSave = backBuffer;
    mDrawn = true;
    mLastDrawTime = TPlatform::GetTimer();
    return position;
}

void TDXContext::EraseMouse() {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return;
    if (mDrawn)
        PutBackground(mBackBufferSave ? mDisplay.GetBackBuffer() : mDisplay.GetFrontBuffer());
    mDrawn = false;
    if (mShown) {
        ResetMouse();
        RedrawEverything();
    }
}

void TDXContext::ShowCursor(bool show) {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return;
    ApplyCursor(show);
    if (UsesWindowsCursor()) {
        mCursorVisible = show;
        ApplyClassCursor();
    } else if (show == mCursorVisible) {
        return;
    }
    mCursorVisible = show;
    if (!show)
        EraseMouse();
    else
        DrawMouse(POINT{-1, -1}, true);
}

HRESULT TDXContext::Present() {
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return mDisplay.Present();
    mDisplay.UpdateBounds();
    if (mSurfacesLost) {
        RestoreMouseImage();
        if (mSurfacesLost) return 0;
    }
    if (mRecreateSurfaces) {
        if (CreateCursorSurfaces() != DD_OK) return 0;
        mRecreateSurfaces = false;
    }
    mDrawn = false;
    DrawMouse(POINT{-1, -1}, true);
    const bool windowed = mDisplay.IsWindowed();
    if (TWin32Platform* platform = Platform()) mWaitVerticalBlank = platform->GetVerticalSync();
    if (windowed && mWaitVerticalBlank && mDisplay.GetDirectDraw() != nullptr)
        mDisplay.GetDirectDraw()->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    HRESULT result = mDisplay.Present();
    if (mDrawn) {
        // The cursor is on the screen now; the next frame starts from a clean back buffer. In a
        // window the screen shows the frame at the window's origin, so from here on the saved
        // background belongs there (the next erase or draw puts it back on the front buffer).
        if (windowed) {
            PutBackground(mDisplay.GetBackBuffer());
            const RECT& window = mDisplay.GetBounds();
            mSavedRect = RECT{mSavedRect.left + window.left, mSavedRect.top + window.top,
                              mSavedRect.right + window.left, mSavedRect.bottom + window.top};
        }
        mBackBufferSave = false;
    }
    return result;
}

bool TDXContext::PrepareFrame() {
    if (mDisplay.IsWindowed()) return true;
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return false;
    IDirectDrawSurface7* back = mDisplay.GetBackBuffer();
    IDirectDrawSurface7* front = mDisplay.GetFrontBuffer();
    if (back == nullptr || front == nullptr) return false;
    HRESULT result = back->BltFast(0, 0, front, nullptr, DDBLTFAST_WAIT);
    if (result != DD_OK) {
        LOG_DX_ERROR(result);
        return false;
    }
    if (mDrawn) PutBackground(back);
    return true;
}

bool TDXContext::IsRestoringMouseImage() {
    return gRestoringMouseImage.load();
}

void TDXContext::RestoreMouseImage() {
    // The flag is taken before the mutex: a second call, on any thread, while one waits for the
    // mutex or runs, is refused.
    bool expected = false;
    TWindowManager* manager = WindowManager();
    if (manager != nullptr && windowsystemhooks::IsDrawingSuspended(manager)) {
        if (gRestoringMouseImage.load()) {
            LogPrintf("Second concurrent call to RestoreMouseImage");
            return;
        }
        TMouseLock lock(mMouseMutex, true);
        if (lock.Held()) mDrawn = false;
        return;
    }
    if (!gRestoringMouseImage.compare_exchange_strong(expected, true)) {
        LogPrintf("Second concurrent call to RestoreMouseImage");
        return;
    }
    {
        TMouseLock lock(mMouseMutex, true);
        if (lock.Held()) RestoreMouseImageLocked();
    }
    gRestoringMouseImage.store(false);
}

void TDXContext::RestoreMouseImageLocked() {
    if (mSoftwareCursorTexture != nullptr && !UsesWindowsCursor()) {
        if (SetMouseImage(mSoftwareCursorTexture, false, mSoftwareHotSpot.x, mSoftwareHotSpot.y))
            mSurfacesLost = false;
        if (GetCursorTexture() != nullptr) SetCursor(nullptr);
    }
    if (mHardwareCursorTexture != nullptr) {
        if (!UsesWindowsCursor()) {
            if (SetMouseImage(mHardwareCursorTexture, true, mHardwareHotSpot.x, mHardwareHotSpot.y))
                mSurfacesLost = false;
            if (GetCursorTexture() != nullptr) SetCursor(nullptr);
        } else {
            mSurfacesLost = false;
        }
    }
}
