// TRenderer: the one front through which everything draws: windows, sprites, text, textures,
// vector fonts and the statistics overlay. It keeps the draw state (drawstate.h: which phase is
// open, the texture bound for the next draws, the viewport stack, the frame rate and the overlay),
// refuses calls made in the wrong phase with a log line, and passes the device work on to its
// sink (rendersink.h). The sink is the display's (display/displaysink.h), which answers as "no
// device" while there is no display; tests install TRecordingRenderSink in its place.
//
// The phases nest so: BeginDraw (or BeginRenderTarget) opens a frame; inside it at most one of
// Begin2d and Begin3d is open at a time; DrawVertices needs one of them. The other operations do
// not check the phase.
//
// One process-wide instance, made with its draw state on first use by GetInstance and destroyed by
// DestroyInstance (the application's teardown). The display object itself is made by the screen
// set-up and owned by the platform object, which the cursor worker reads it from.
//
// Main thread only; no locks.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "math/rect.h"
#include "math/vec4.h"

class TRenderSink;
class TTexture;
class TVertexBatch;
struct TDrawState;

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
    // Destroys the draw state (the overlay's layout, the viewport stack, the bound texture) and
    // the instance; the next GetInstance makes a new one.
    static void DestroyInstance();

    // The sink the device work goes to (not owned). GetInstance installs the display's; null: no
    // device at all.
    void SetSink(TRenderSink* sink) { mSink = sink; }
    TRenderSink* GetSink() const { return mSink; }

    // Opens a frame: the sink's answer (false: skip the frame) becomes the in-frame flag and is
    // returned. keepFrontBuffer: in full screen the frame starts from what is shown.
    bool BeginDraw(bool keepFrontBuffer);
    // Measures the frame rate, draws the statistics overlay when it is shown, closes the frame and
    // has the sink end it (the argument, non-zero to present, goes with it). Safe after a
    // BeginDraw that failed.
    void EndDraw(uint32_t argument);
    // Enter 2-D or 3-D drawing inside a frame; refused (logged, false) when a phase is already
    // open or no frame is. The sink's answer opens the phase.
    bool Begin2d();
    bool Begin3d();
    // Leave the phase (logged and ignored when it is not open; logged and still done after the
    // frame has ended).
    void End2d();
    void End3d();
    bool IsIn2d() const;
    bool IsIn3d() const;
    // Inside BeginDraw … EndDraw or a render target.
    bool IsDrawing() const;

    // Draws into the texture instead of the screen until EndRenderTarget: only when no frame or
    // target is open and the texture is not simple; then the sink's answer opens the target and
    // the frame. False changes nothing. The mode is the display's: 0 and 1 start from what the
    // back buffer holds, 2 and 3 copy the texture in first, 4 clears to transparent black.
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode = 0);
    // The sink ends an open target (draws go back to the screen); the target and frame flags
    // clear.
    void EndRenderTarget();

    // Draws the list, only inside a 2-D or 3-D phase (otherwise logged, nothing drawn).
    void DrawVertices(int primitive, TVertexBatch* batch);
    // Drawing textured vertices as one quad: the slider's rail asks for it with 0 before drawing
    // its pieces, and nothing more is asked of it; it accepts the argument and does nothing.
    void DrawTexturedQuad(int32_t mode);

    // Binds the texture for the following draws (an empty pointer unbinds); a simple texture binds
    // as none.
    void SetTexture(const std::shared_ptr<TTexture>& texture);
    void SetTexture(std::shared_ptr<TTexture>&& texture);
    // The bound texture (a new reference).
    std::shared_ptr<TTexture> GetTexture() const;
    // Fills the rectangle with the colour (red, green, blue, alpha). Without a texture the
    // rectangle is in viewport coordinates: moved by the left and top of the display's viewport
    // (GetViewport) and cut to it. With one it is in the texture's coordinates, unchanged. The
    // sink does the fill.
    void FillRect(const TRect& rect, const TVec4& colour, const std::shared_ptr<TTexture>& texture);
    // 0 alpha, 1 opaque, 2 additive, 3 subtractive, 4 multiply.
    void SetBlendMode(int32_t mode);
    // Linear (true) or point texture filtering.
    void SetFiltering(bool linear);
    // 1 no culling, 2 clockwise, 3 counter-clockwise; any other value means 1.
    void SetCullMode(int32_t mode);
    // Whether textures must be square on this device (the texture loader asks).
    bool NeedsSquareTextures() const;
    // A drawing option for the display ("antialias", "hint_antialias", "new_subtractive",
    // "new_render_blend"; others are ignored there).
    void SetOption(const str& key, const str& value);

    // The viewport stack: the screen set-up pushes the full window; windows push and pop their
    // own rectangles around their drawing. PushViewport makes the rectangle the display's
    // viewport and answers the display's result; PopViewport never removes the bottom entry and
    // applies the new top; GetTopViewport answers zeros while the stack is empty.
    bool PushViewport(const TRect& rect);
    void PopViewport();
    TRect GetTopViewport() const;
    size_t GetViewportCount() const;
    // The display's current clip rectangle (zeros without a sink).
    TRect GetViewport() const;
    // Saves the display's clip rectangle on its own list (apart from the viewport stack) and
    // applies the new one; PopState takes the newest back (the display's result: 0 done, negative
    // failed, also when nothing was saved).
    void SetViewport(const TRect& rect);
    int32_t PopState();

    // Shows or hides the statistics overlay (Alt+F1); answers true when it is now hidden.
    bool ToggleStats();
    bool IsStatsVisible() const;
    // Frames per second as last measured (every 15th EndDraw).
    float GetFps() const;

private:
    TRenderer();
    ~TRenderer();
    TRenderer(const TRenderer&) = delete;
    TRenderer& operator=(const TRenderer&) = delete;

    // rendererstats.cpp: the frame-rate stamp of one EndDraw, and the overlay.
    void MeasureFrameRate();
    void DrawStats();

    TDrawState* mState;
    TRenderSink* mSink;
};
