// TRenderSink: where the renderer (renderer.h) sends the device work it lets through its phase
// checks: beginning and ending a frame and a 2-D phase, binding a texture, the blend mode, drawing
// a vertex list, and the display's answer whether textures must be square. The display object
// will be the program's sink; until it is installed the renderer has no device, and tests install
// TRecordingRenderSink, which answers as a device would and keeps every call for inspection.
//
// Main thread only, like the renderer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/rect.h"
#include "math/vec4.h"
#include "platform/draw/vertexbatch.h"

class TTexture;

class TRenderSink {
public:
    virtual ~TRenderSink() = default;

    virtual bool BeginFrame(bool keepFrontBuffer) = 0;
    virtual void EndFrame(uint32_t argument) = 0;
    virtual bool Begin2d() = 0;
    virtual void End2d() = 0;
    virtual bool NeedsSquareTextures() = 0;
    // Binds the texture to stage 0 for the following draws; an empty pointer unbinds.
    virtual void SetTexture(const std::shared_ptr<TTexture>& texture) = 0;
    virtual void SetBlendMode(int32_t mode) = 0;
    // The batch and its vertices live for the call only.
    virtual void DrawVertices(int primitive, const TVertexBatch& batch) = 0;
    // Makes the texture's surface the target of the following draws; a sink without render
    // targets refuses.
    virtual bool BeginRenderTarget(const std::shared_ptr<TTexture>& /*texture*/, int32_t /*mode*/) {
        return false;
    }
    virtual void EndRenderTarget() {}
    // Fills the rectangle (screen coordinates) with the colour (red, green, blue, alpha), into the
    // texture when one is given.
    virtual void FillRect(const TRect& /*rect*/, const TVec4& /*colour*/,
                          const std::shared_ptr<TTexture>& /*texture*/) {}
};

// A sink that succeeds at everything it is asked (unless told otherwise) and records the calls.
class TRecordingRenderSink : public TRenderSink {
public:
    struct Draw {
        int primitive;
        int32_t kind;
        // Copies of the vertices of a kind-2 list; empty for other kinds.
        std::vector<TLVertex> vertices;
        // The texture bound when the list was drawn.
        const TTexture* texture;
        // Copies of the vertices of a kind-3 list; empty for other kinds.
        std::vector<TTLVertex> screenVertices = {};
    };

    bool BeginFrame(bool /*keepFrontBuffer*/) override { return mFramesSucceed; }
    void EndFrame(uint32_t /*argument*/) override {}
    bool Begin2d() override {
        ++mBegin2dCount;
        return true;
    }
    void End2d() override { ++mEnd2dCount; }
    bool NeedsSquareTextures() override { return mSquareTextures; }
    void SetTexture(const std::shared_ptr<TTexture>& texture) override {
        mBound = texture.get();
        mBoundTextures.push_back(mBound);
    }
    void SetBlendMode(int32_t mode) override { mBlendModes.push_back(mode); }
    void DrawVertices(int primitive, const TVertexBatch& batch) override;
    // Opens the target when mRenderTargetsSucceed, recording the texture and mode either way.
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) override {
        mRenderTargets.push_back({texture.get(), mode});
        return mRenderTargetsSucceed;
    }
    void EndRenderTarget() override { ++mRenderTargetEnds; }
    void FillRect(const TRect& rect, const TVec4& colour,
                  const std::shared_ptr<TTexture>& texture) override {
        mFills.push_back({rect, colour, texture.get()});
    }

    bool mFramesSucceed = true;
    bool mSquareTextures = false;
    // The 2-D phases the renderer let through.
    int mBegin2dCount = 0;
    int mEnd2dCount = 0;
    const TTexture* mBound = nullptr;
    std::vector<const TTexture*> mBoundTextures;
    std::vector<int32_t> mBlendModes;
    std::vector<Draw> mDraws;
    struct RenderTarget {
        const TTexture* texture;
        int32_t mode;
    };
    bool mRenderTargetsSucceed = true;
    std::vector<RenderTarget> mRenderTargets;
    int mRenderTargetEnds = 0;
    struct Fill {
        TRect rect;
        TVec4 colour;
        const TTexture* texture;
    };
    std::vector<Fill> mFills;
};
