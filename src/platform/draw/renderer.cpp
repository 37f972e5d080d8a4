#include "platform/draw/renderer.h"

#include "foundation/log.h"
#include "platform/draw/rendersink.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/draw/vertexbatch.h"

namespace {

TRenderer* gRenderer = nullptr;

}  // namespace

TRenderer* TRenderer::GetInstance() {
    if (gRenderer == nullptr) gRenderer = new TRenderer();
    return gRenderer;
}

void TRenderer::DestroyInstance() {
    delete gRenderer;
    gRenderer = nullptr;
}

bool TRenderer::BeginDraw(bool keepFrontBuffer) {
    mInFrame = mSink != nullptr && mSink->BeginFrame(keepFrontBuffer);
    return mInFrame;
}

void TRenderer::EndDraw(uint32_t argument) {
    mInFrame = false;
    if (mSink != nullptr) mSink->EndFrame(argument);
}

bool TRenderer::Begin2d() {
    if (mIn2d) {
        LogPrintf("Begin2d called when already in Begin2d state");
        return false;
    }
    if (mIn3d) {
        LogPrintf("Begin2d called when already in Begin3d state");
        return false;
    }
    if (!IsDrawing()) {
        LogPrintf("ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!");
        return false;
    }
    mIn2d = mSink != nullptr && mSink->Begin2d();
    return mIn2d;
}

void TRenderer::End2d() {
    if (!mIn2d) {
        LogPrintf("End2d called when not in Begin2d state");
        return;
    }
    if (!IsDrawing()) LogPrintf("ERROR: Calling End2d after EndDraw or EndRenderTarget!");
    if (mSink != nullptr) mSink->End2d();
    mIn2d = false;
}

bool TRenderer::BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) {
    if (texture == nullptr || texture->IsSimple() || mInFrame || mInRenderTarget) return false;
    mInRenderTarget = mSink != nullptr && mSink->BeginRenderTarget(texture, mode);
    mInFrame = mInRenderTarget;
    return mInRenderTarget;
}

void TRenderer::EndRenderTarget() {
    if (mSink != nullptr && mInRenderTarget) mSink->EndRenderTarget();
    mInRenderTarget = false;
    mInFrame = false;
}

bool TRenderer::NeedsSquareTextures() const {
    if (mSink != nullptr) return mSink->NeedsSquareTextures();
    // Without a sink of its own the display answers for its device.
    TPlatformData* display = TPlatformData::GetInstance();
    return display != nullptr && display->NeedsSquareTextures();
}

void TRenderer::SetTexture(const std::shared_ptr<TTexture>& texture) {
    std::shared_ptr<TTexture> bound = texture != nullptr && texture->IsSimple() ? nullptr : texture;
    if (bound != mTexture) mTexture = bound;
    if (mSink != nullptr) mSink->SetTexture(mTexture);
}

void TRenderer::SetBlendMode(int32_t mode) {
    if (mSink != nullptr) mSink->SetBlendMode(mode);
}

void TRenderer::DrawVertices(int primitive, TVertexBatch* batch) {
    if (!mIn2d && !mIn3d) {
        LogPrintf("DrawVertices called when not in Begin2d or Begin3d state");
        return;
    }
    if (mSink != nullptr && batch != nullptr) mSink->DrawVertices(primitive, *batch);
}

bool TRenderer::ToggleStats() {
    mStatsVisible = !mStatsVisible;
    return !mStatsVisible;
}

bool TRenderer::PushViewport(const TRect& rect) {
    mViewports.push_back(rect);
    return true;
}

void TRenderer::PopViewport() {
    if (mViewports.size() > 1) mViewports.pop_back();
}

TRect TRenderer::GetTopViewport() const {
    return mViewports.empty() ? TRect{} : mViewports.back();
}

void TRenderer::FillRect(const TRect& rect, const TVec4& colour,
                         const std::shared_ptr<TTexture>& texture) {
    TRect area = rect;
    if (texture == nullptr) {
        TRect viewport = GetTopViewport();
        TRect moved{rect.left + viewport.left, rect.top + viewport.top, rect.right + viewport.left,
                    rect.bottom + viewport.top};
        area = TRect::Intersect(moved, viewport);
    }
    if (mSink != nullptr) mSink->FillRect(area, colour, texture);
}
