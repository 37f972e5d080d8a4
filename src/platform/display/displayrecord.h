// TDisplayRecord: the state of the display behind the main window, kept by TPlatformData
// (platformdata.h), which allocates it in its constructor and frees it in its destructor. The
// set-up, the render front and loss recovery all work on it. The interfaces it names are
// borrowed from the DirectX context after a set-up; the context itself and the saved states are
// owned here.
//
// The main thread reads and writes it. The cursor worker reads only the display-ready and
// broken flags (through TPlatformData::IsReady), so those two, and the full-screen flag the
// worker's neighbours ask for, are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>

#include "math/mat4.h"
#include "port/device/d3d.h"

class TDXContext;
class TTexture;

struct TDisplayRecord {
    TDisplayRecord();
    ~TDisplayRecord();
    TDisplayRecord(const TDisplayRecord&) = delete;
    TDisplayRecord& operator=(const TDisplayRecord&) = delete;

    // Taken from the context after a set-up that worked; a null device means no display.
    IDirectDraw7* mDirectDraw = nullptr;
    IDirect3D7* mDirect3D = nullptr;
    IDirect3DDevice7* mDevice = nullptr;
    std::unique_ptr<TDXContext> mContext;
    // The device's current render target.
    IDirectDrawSurface7* mRenderTarget = nullptr;
    // Clip rectangles pushed by the renderer, newest first.
    std::list<RECT> mSavedStates;
    // What drawing may touch; the whole current target (its size is the display size); the
    // renderer's viewport; the area being drawn (the set-up's size, or a render target's).
    RECT mClipRect{};
    RECT mTargetRect{};
    RECT mViewportRect{};
    RECT mScreenRect{};
    // The display's default render target.
    IDirectDrawSurface7* mBackBuffer = nullptr;
    std::atomic<bool> mFullscreen{false};
    // The blend mode last set; -1 none yet.
    int32_t mBlendMode = -1;
    int32_t mBitDepth = 0;
    int32_t mRenderTargetMode = 0;
    std::shared_ptr<TTexture> mRenderTargetTexture;
    // False while a set-up runs; true after one that worked.
    std::atomic<bool> mReady{false};
    // Not to be drawn on until restored.
    std::atomic<bool> mBroken{false};
    // Show the "Reconfiguring" box at the next set-up.
    bool mLowMemoryNoticePending = false;
    // Mirrors of the depth-write and depth-test render states.
    bool mDepthWrite = false;
    bool mDepthTest = false;
    bool mFallbackInProgress = false;
    // The program cannot show anything and its quit is posted: a later set-up does nothing, and
    // one reached 30 s after mFatalTime (application ms) ends the process.
    bool mFatal = false;
    uint32_t mFatalTime = 0;
    // A set-up has got past its embedded pause once (the first one is never held off).
    bool mSetUpBefore = false;
    // Device capabilities.
    bool mSeparateTextureMemories = false;
    bool mNoSpecularGouraud = false;
    bool mSquareTextures = false;
    // Scenes begun since the last set-up or restore.
    uint32_t mWorkingCount = 0;
    // Application milliseconds (TPlatform::GetTimer) of the last mark as broken, and whether
    // there was one at all.
    uint32_t mLastBrokenTime = 0;
    bool mMarkedBroken = false;
    bool mFullscreenHasWorked = false;
    // 16-bit full screen forced after video memory ran out; the set-up reads it from
    // "common:display.xml".
    bool mLowMemoryVideo = false;
    // Re-entry guards.
    bool mInSetDisplay = false;
    bool mInRestore = false;
    // Between a scene begin that worked and the next end.
    bool mInScene = false;
    // Between Begin2d and End2d or Begin3d: vertex lists rebuild the 2-D projection.
    bool mIn2d = false;
    // A texture's surface is bound to stage 0 (the stage set-up depends on it).
    bool mTextureBound = false;
    // The platform's display scale (x, y) before the open render target set it to 1.
    float mSavedScaleX = 1.0f;
    float mSavedScaleY = 1.0f;
    TMat4 mProjection;
    float mNearPlane = 0.1f;
    float mFarPlane = 1000.0f;
    // Renderer options.
    bool mAntialias = false;
    bool mHintAntialias = false;
    bool mNewSubtractive = false;
    bool mNewRenderBlend = false;
    // Re-entry guard of the pixel-offset calibration.
    bool mCalibrating = false;
    // Shift of the 2-D projection so that texels land on pixels.
    float mPixelOffset = -0.5f;
    // Bytes of every texture surface made (height x pitch), lowered as they are released.
    uint64_t mTextureBytes = 0;
};
