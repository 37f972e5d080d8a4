// TDrawState: what the renderer (renderer.h) keeps between its calls: which drawing phase is open,
// the texture bound for the next draws, the viewport stack, the frame-rate measurement and the
// statistics overlay. The renderer owns it; it owns the overlay's layout (deleted with it) and
// holds a reference on the bound texture.
//
// Main thread only, like the renderer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/rect.h"

class TTexture;
class TTextLayout;

struct TDrawState {
    // The frame rate is measured over this many frames.
    static constexpr uint32_t kFrameStamps = 15;

    TDrawState() = default;
    // Deletes the overlay's layout; the viewport stack and the texture reference go with it.
    ~TDrawState();
    TDrawState(const TDrawState&) = delete;
    TDrawState& operator=(const TDrawState&) = delete;

    // The slot of the next frame's stamp, 0 to 14.
    uint32_t mFrameIndex = 0;
    // Frames per second as last measured; 0 until 15 frames have ended.
    float mFps = 0.0f;
    // The application time (milliseconds) at the end of each of the last 15 frames.
    uint32_t mFrameTimes[kFrameStamps] = {};
    bool mStatsVisible = false;
    // The overlay's text, made the first time it is drawn.
    TTextLayout* mStatsLayout = nullptr;
    std::shared_ptr<TTexture> mTexture;
    std::vector<TRect> mViewports;
    bool mIn2d = false;
    bool mIn3d = false;
    // Between BeginDraw and EndDraw, or inside a render target.
    bool mInFrame = false;
    bool mInRenderTarget = false;
};
