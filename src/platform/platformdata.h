// TPlatformData: the display handler behind the main window; there is one (GetInstance). It keeps
// the display record (display/displayrecord.h), allocated by its constructor and freed by its
// destructor, which owns the DirectX context (display/dxcontext.h). So far it answers what
// start-up, the teardown, the cursor worker and the event pump ask of it: whether it is ready to
// draw (made and working), whether it is broken (its device lost) and the marks that say so, the
// full-screen flag, the clip rectangle, the working count, restoring after a loss, the desktop
// metrics and the cursor it applies. The display set-up makes it and the platform object
// (win32platform.h) owns it until the renderer is destroyed in the teardown.
//
// Main thread only, except IsReady, which the cursor worker polls (the flags it reads are
// atomic).
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "math/rect.h"
#include "math/vec4.h"
#include "port/win32types.h"

class IDirectDrawSurface7;
class TMat4;
struct D3DMATERIAL7;
class TDXContext;
class TTexture;
class TTextureData;
class TVertexBatch;
struct TDisplayRecord;

class TPlatformData {
public:
    TPlatformData();
    ~TPlatformData();
    TPlatformData(const TPlatformData&) = delete;
    TPlatformData& operator=(const TPlatformData&) = delete;

    // The one display handler; null before its construction and after its destruction.
    static TPlatformData* GetInstance();

    // Ready and not broken; false without a record.
    bool IsReady() const;
    void SetReady(bool ready);
    bool IsBroken() const;
    void SetBroken(bool broken);

    // Not broken, and DirectDraw, Direct3D and the device all present. A display that is not
    // broken but misses one of them is marked broken.
    bool IsWorking();
    // Last broken time = now, broken, "dxbroken" = "1".
    void MarkBroken();
    // The same, at most once every 250 ms (the first mark always): for failures that repeat on
    // every texture.
    void MarkBrokenThrottled();
    // Video memory ran out (with a Direct3D object, once): the low-memory video mode on, marked
    // broken, the notice pending for the next set-up, and the mode written to
    // "common:display.xml" for later starts (display/outofvideomemory.cpp).
    void OutOfVideoMemory();
    // Brings a lost display back: restores the surfaces and assets in place when the device
    // survived, else sets the display up again, or leaves it broken for a later call. Reports
    // nothing; the outcome shows in IsBroken, "dxbroken" and IsReady (display/restore.cpp).
    void Restore();
    // When the display works: every asset restored, the application's listeners run once and the
    // window tree marked for a full redraw; otherwise logs "RestoreAssets: DX broken" and does
    // nothing (display/restoreassets.cpp).
    void RestoreAssets();
    // The number of scenes run since the last reset (the event pump resets it when the window
    // goes inactive).
    int GetWorkingCount() const;
    void ResetWorkingCount();

    // Whether a SetDisplay runs (it sizes the main window for the new display itself).
    bool IsSettingUp() const;
    // Switches between a window and full screen through SetDisplay at the current size. A window
    // is refused (false, nothing done) on a palettised desktop, when the size with its frame does
    // not fit the desktop, after a window ran out of video memory and in the low-memory video
    // mode; full screen is always asked (display/displaymode.cpp).
    bool SetFullscreen(bool fullscreen);
    bool IsFullscreen() const;
    // The target rectangle's size and the full-screen flag; null pointers are skipped.
    void GetDisplaySize(int* width, int* height, bool* fullscreen) const;

    // The rectangle drawing is clipped to (the screen's size after the set-up).
    RECT GetClipRect() const;
    // With a device: the clip rectangle becomes the argument and, cut to the viewport, is
    // applied within the target; a refusal logs "Bad viewport: %d, %d, %d, %d" with the values
    // asked for and puts the previous clip rectangle back. Answers the device's result
    // (display/viewports.cpp).
    HRESULT SetClipRect(int left, int top, int right, int bottom);

    // Reads the screen's width, height and colour count and hands them to the context.
    void UpdateDesktopMetrics();
    // Applies the Windows cursor with the platform's cursor-visible flag; answers true (the
    // display sets the cursor itself).
    bool ApplyCursor(bool visible);
    // The cursor image and hot spot, handed to the context (the hardware image, or the software
    // one); false when the context could not take it.
    bool SetMouseImage(const std::shared_ptr<TTexture>& texture, bool hardware, int hotX, int hotY);
    // Shows or hides the cursor through the context.
    void ShowCursor(bool shown);
    // Forgets the software cursor's saved background and position (TDXContext::ResetMouse).
    void ResetMouseImage();
    // The context's overlay-cursor flag.
    void SetOverlayCursor(bool overlay);
    // IDirectDraw7::FlipToGDISurface when there is a DirectDraw object (before another drawer
    // paints over the display).
    void FlipToGDISurface();

    // The device's state (display/devicestate.cpp); nothing without a device. The projection is
    // also kept in the record; the ambient colour (red, green, blue, alpha from 0 to 1) is packed
    // into one ARGB value.
    void SetWorldTransform(const TMat4& matrix);
    void SetViewTransform(const TMat4& matrix);
    void SetProjectionTransform(const TMat4& matrix);
    void SetAmbient(const TVec4& colour);
    void SetMaterial(const D3DMATERIAL7& material);
    // Stores near and far and sets a perspective projection. Aspect 0 means the visible
    // viewport's (the viewport within the target) height over its width. The projection's centre
    // follows the viewport within the target: offset x = (viewport centre x - target centre x) /
    // (target width / 2), and the same for y.
    void SetPerspective(float nearPlane, float farPlane, float fieldOfView, float aspect);

    // Sets the display up for width x height, full screen or in a window (display/setdisplay.cpp).
    // force: even when nothing changes; quiet: no boxes; childOfHost: the main window is a child
    // of the host window.
    void SetDisplay(int width, int height, bool fullscreen, bool force, bool quiet,
                    bool childOfHost);
    // Finds the shift of the 2-D projection that puts texels on pixels: ten probes drawn into a
    // render target at offsets -0.5 + 0.1t, the first whose corners land black is kept, else -0.5
    // (display/calibrate.cpp). Re-entry does nothing.
    void CalibratePixelOffset();
    // Whether the last present has finished: false without a context or back buffer; in a window
    // the back buffer's last blit, full screen the last flip (display/presentstatus.cpp).
    bool IsPresentDone() const;
    // Asks the front buffer whether its flip is done, sleeping 1 ms while it is still drawing;
    // answers the last status.
    HRESULT WaitForFlip();

    // ---- The render front: what the renderer draws through (display/displaysink.h forwards it).
    // A frame: BeginDraw answers whether a scene is open (prepare: the full-screen front buffer
    // is copied in first); EndDraw closes it and presents when asked (display/renderframe.cpp).
    bool BeginDraw(bool prepare);
    void EndDraw(bool present);
    // The fixed device states of 2-D and 3-D drawing (display/drawphase.cpp). End2d unbinds the
    // renderer's texture and sets world and view to identity; End3d does nothing.
    bool Begin2d();
    bool Begin3d();
    void End2d();
    void End3d();
    // Draws the list (kind 1, 2: lit; 3: pre-transformed; others unlit), rebuilding the 2-D
    // projection first for every kind but 3; nothing while broken.
    void DrawVertices(int primitive, const TVertexBatch& batch);
    // Blend modes 0 alpha, 1 opaque, 2 additive, 3 subtractive, 4 multiply; then the texture
    // stages (display/blendstages.cpp).
    void SetBlendMode(int32_t mode);
    void ApplyBlendStages();
    // While working: binds the texture's surface (none for an empty one) and applies the stages.
    void SetTexture(const std::shared_ptr<TTexture>& texture);
    // Stage 0 and render-state setters (display/statesetters.cpp).
    void SetTextureFilter(bool linear);
    void SetTextureAddress(int modeU, int modeV);
    void SetCullMode(int mode);
    void SetShadeMode(int mode);
    void SetDepthTest(bool on);
    void SetDepthWrite(bool on);
    // "antialias", "hint_antialias", "new_subtractive", "new_render_blend": on above 0.
    void SetOption(const str& key, const str& value);
    // The viewport rectangle becomes the argument and is applied with the clip rectangle; the
    // saved states keep clip rectangles for PushState/PopState (display/viewports.cpp). PopState
    // on an empty list logs "PopState on empty state list" and answers E_FAIL.
    HRESULT SetViewport(const RECT& rect);
    HRESULT PushState(int left, int top, int right, int bottom);
    HRESULT PopState();
    // Drawing into a texture (display/rendertarget.cpp): the display scale is 1 and the clip
    // rectangle the texture's size until EndRenderTarget copies the result back.
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode);
    void EndRenderTarget();
    // Into the texture, onto the back buffer outside a frame, or as a lit fan inside one
    // (display/fillrect.cpp). Without a texture the rectangle is in screen coordinates. The colour
    // is red, green, blue, alpha.
    void FillRect(const TRect& rect, const TVec4& colour, const std::shared_ptr<TTexture>& texture);
    // A new, empty texture data object for a texture.
    std::unique_ptr<TTextureData> CreateTextureData();

    // The DirectX context (never null while the display exists).
    TDXContext* GetContext() const;
    // The display record (never null while the display exists).
    TDisplayRecord* GetRecord() const { return mRecord; }

    // Makes the surface the device's render target (nothing when it already is): the target
    // rectangle becomes its size in game coordinates and the clip rectangle is applied again; a
    // refused viewport is retried once with the previous target rectangle, and a second refusal
    // of a 16-bit surface sets the context's render-target failure and marks the display broken
    // (display/setrendertarget.cpp).
    void SetRenderTarget(IDirectDrawSurface7* surface);
    // Whether the device takes only square textures.
    bool NeedsSquareTextures() const;

private:
    TDisplayRecord* mRecord;
};

// Whether a window of width x height with its frame and caption would not fit the desktop as
// the context holds it: desktop width < width + SM_CXEDGE + SM_CXFRAME, or desktop height <
// height + SM_CYEDGE + SM_CYFRAME + SM_CYCAPTION.
bool WindowExceedsDesktop(const TDXContext* context, int width, int height);

// ClipOrCenterWindowToMonitor's flags: centre on the monitor (else clip inside it); use its work
// area (else the whole monitor).
constexpr UINT kMonitorCentre = 1;
constexpr UINT kMonitorWorkArea = 2;
// Moves the window (position only) onto the monitor nearest to it, as the flags say; a window
// larger than the area is left where it is (display/monitorclip.cpp).
void ClipOrCenterWindowToMonitor(HWND window, UINT flags);
