// TRenderSink: where the renderer (renderer.h) sends the device work it lets through its phase
// checks: beginning and ending a frame and a 2-D or 3-D phase, binding a texture, the blend mode,
// drawing a vertex list, render targets, fills, the device states the renderer passes on
// (filtering, culling, options), the display's viewport and its saved clip rectangles, and the
// display's answers (square textures, whether the last present is done). The display is the
// program's sink (display/displaysink.h); without a sink the renderer has no device, and tests
// install TRecordingRenderSink, which answers as a device would and keeps every call for
// inspection. The methods added after the first ones have bodies that do nothing and answer
// success, so that a sink need only take what it cares about.
//
// Main thread only, like the renderer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/str.h"
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
    // The 3-D phase: its device states, and its end (which does nothing on the display).
    virtual bool Begin3d() { return true; }
    virtual void End3d() {}
    // Texture filtering on stage 0: linear when true, point when false.
    virtual void SetFiltering(bool /*linear*/) {}
    // The cull mode: 1 none, 2 clockwise, 3 counter-clockwise, any other value none.
    virtual void SetCullMode(int32_t /*mode*/) {}
    // A renderer option ("antialias", "hint_antialias", "new_subtractive", "new_render_blend");
    // other keys are ignored.
    virtual void SetOption(const str& /*key*/, const str& /*value*/) {}
    // Makes the rectangle the display's viewport (the renderer's top viewport) and applies it
    // with the clip rectangle; false when the device refused it.
    virtual bool SetViewport(const TRect& /*rect*/) { return true; }
    // The display's clip rectangle: what the renderer's GetViewport answers.
    virtual TRect GetClipRect() { return TRect{}; }
    // Saves the clip rectangle at the front of the display's saved states and applies the new
    // one (the renderer's SetViewport); false when the device refused it.
    virtual bool PushState(const TRect& /*rect*/) { return true; }
    // Takes the newest saved clip rectangle back and applies it: the device's result (0 for
    // success, a negative code for a failure or an empty list).
    virtual int32_t PopState() { return 0; }
    // Whether the last present has finished.
    virtual bool IsPresentDone() { return true; }
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
    bool Begin3d() override {
        ++mBegin3dCount;
        return true;
    }
    void End3d() override { ++mEnd3dCount; }
    void SetFiltering(bool linear) override { mFiltering.push_back(linear); }
    void SetCullMode(int32_t mode) override { mCullModes.push_back(mode); }
    void SetOption(const str& key, const str& value) override { mOptions.push_back({key, value}); }
    bool SetViewport(const TRect& rect) override {
        mViewports.push_back(rect);
        return true;
    }
    TRect GetClipRect() override { return mClipRect; }
    // Keeps the saved rectangles as the display does, newest last; PopState on none answers
    // E_FAIL's value and keeps the clip rectangle.
    bool PushState(const TRect& rect) override {
        mSavedStates.push_back(mClipRect);
        mClipRect = rect;
        return true;
    }
    int32_t PopState() override {
        if (mSavedStates.empty()) return static_cast<int32_t>(0x80004005u);
        mClipRect = mSavedStates.back();
        mSavedStates.pop_back();
        return 0;
    }
    bool IsPresentDone() override { return mPresentDone; }

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
    int mBegin3dCount = 0;
    int mEnd3dCount = 0;
    std::vector<bool> mFiltering;
    std::vector<int32_t> mCullModes;
    struct Option {
        str key;
        str value;
    };
    std::vector<Option> mOptions;
    // The viewports set, in order.
    std::vector<TRect> mViewports;
    TRect mClipRect{};
    std::vector<TRect> mSavedStates;
    bool mPresentDone = true;
};
