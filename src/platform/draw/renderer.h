// TRenderer: the one front through which everything draws. It keeps the draw state (which phase
// is open, the texture bound for the next draws), refuses calls made in the wrong phase with a log
// line, and passes the device work on to its sink (rendersink.h), the display.
//
// So far it holds what textures need: the frame and 2-D phases, binding a texture, the blend
// mode, drawing a vertex list and the square-texture question. Without a sink there is no device:
// frames do not begin and textures need not be square.
//
// One process-wide instance, made on first use by GetInstance and destroyed by DestroyInstance.
// Main thread only; no locks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/rect.h"
#include "math/vec4.h"

class TRenderSink;
class TTexture;
class TVertexBatch;

class TRenderer {
public:
    // The primitive types DrawVertices is given.
    enum Primitive : int {
        kLineList = 2,
        kLineStrip = 3,
        kTriangleList = 4,
        kTriangleFan = 6,
    };

    static TRenderer* GetInstance();
    // Releases the bound texture and the instance; the next GetInstance makes a new one.
    static void DestroyInstance();

    // The sink the device work goes to (not owned); null: no device.
    void SetSink(TRenderSink* sink) { mSink = sink; }
    TRenderSink* GetSink() const { return mSink; }

    // Opens a frame: the sink's answer becomes the in-frame flag and is returned.
    bool BeginDraw(bool keepFrontBuffer);
    // Closes the frame; the argument goes to the sink.
    void EndDraw(uint32_t argument);
    // Enters 2-D drawing inside a frame (logged and refused when already in 2-D or 3-D, or when
    // no frame is open).
    bool Begin2d();
    // Leaves 2-D drawing (logged and ignored when not in 2-D; logged and done after the frame).
    void End2d();
    // Draws into the texture instead of the screen until EndRenderTarget: only when no frame or
    // target is open and the texture is not simple; then the sink's answer (the mode is the
    // display's) opens the target and the frame. False changes nothing.
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode);
    // The sink ends the target; the target and frame flags are cleared.
    void EndRenderTarget();

    bool IsIn2d() const { return mIn2d; }
    bool IsIn3d() const { return mIn3d; }
    // Inside BeginDraw … EndDraw (or a render target).
    bool IsDrawing() const { return mInFrame || mInRenderTarget; }
    bool NeedsSquareTextures() const;

    // Binds the texture for the following draws; a simple texture binds as none.
    void SetTexture(const std::shared_ptr<TTexture>& texture);
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }
    void SetBlendMode(int32_t mode);
    // Draws the list, only inside a 2-D or 3-D phase (otherwise logged, nothing drawn).
    void DrawVertices(int primitive, TVertexBatch* batch);

    // The viewport stack: the screen set-up pushes the full window; windows push and pop their
    // own rectangles around their drawing. PopViewport never removes the bottom entry;
    // GetTopViewport answers zeros while the stack is empty.
    bool PushViewport(const TRect& rect);
    void PopViewport();
    TRect GetTopViewport() const;
    size_t GetViewportCount() const { return mViewports.size(); }

    // Fills the rectangle with the colour (red, green, blue, alpha). Without a texture the
    // rectangle is in viewport coordinates: moved by the top viewport's left and top and cut to
    // it. With one it is in the texture's coordinates, unchanged. The sink does the fill.
    void FillRect(const TRect& rect, const TVec4& colour, const std::shared_ptr<TTexture>& texture);

    // Shows or hides the statistics overlay (Alt+F1); answers true when it is now hidden.
    bool ToggleStats();
    bool IsStatsVisible() const { return mStatsVisible; }

private:
    TRenderer() = default;

    TRenderSink* mSink = nullptr;
    std::shared_ptr<TTexture> mTexture;
    bool mIn2d = false;
    bool mIn3d = false;
    bool mInFrame = false;
    bool mInRenderTarget = false;
    bool mStatsVisible = false;
    std::vector<TRect> mViewports;
};
