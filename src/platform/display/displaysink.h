// The display as the renderer's sink (draw/rendersink.h): every call goes to the display handler
// of the moment (TPlatformData::GetInstance), so the one sink outlives set-ups, the handler's
// deletion in the teardown and a new handler after it. Without a handler it answers as a sink
// without a device: frames, phases and render targets do not begin, viewports are refused, the
// clip rectangle is empty and no present is done.
//
// Main thread only, like the renderer and the display.
#pragma once

#include "platform/draw/rendersink.h"

class TDisplayRenderSink : public TRenderSink {
public:
    bool BeginFrame(bool keepFrontBuffer) override;
    // A non-zero argument presents the frame.
    void EndFrame(uint32_t argument) override;
    bool Begin2d() override;
    void End2d() override;
    bool NeedsSquareTextures() override;
    void SetTexture(const std::shared_ptr<TTexture>& texture) override;
    void SetBlendMode(int32_t mode) override;
    void DrawVertices(int primitive, const TVertexBatch& batch) override;
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) override;
    void EndRenderTarget() override;
    void FillRect(const TRect& rect, const TVec4& colour,
                  const std::shared_ptr<TTexture>& texture) override;
    bool Begin3d() override;
    void End3d() override;
    void SetFiltering(bool linear) override;
    // Nothing without a device.
    void SetCullMode(int32_t mode) override;
    void SetOption(const str& key, const str& value) override;
    bool SetViewport(const TRect& rect) override;
    TRect GetClipRect() override;
    bool PushState(const TRect& rect) override;
    int32_t PopState() override;
    bool IsPresentDone() override;
};

// The process's one display sink (never null).
TRenderSink* GetDisplayRenderSink();
