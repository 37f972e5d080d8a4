// TRenderer's life, its phase rules and the calls it passes on to the sink. The frame rate and the
// statistics overlay are in rendererstats.cpp.
#include "platform/draw/renderer.h"

#include "foundation/log.h"
#include "platform/display/displaysink.h"
#include "platform/draw/drawstate.h"
#include "platform/draw/rendersink.h"
#include "platform/draw/vertexbatch.h"
#include "platform/platformdata.h"
#include "platform/text/textlayout.h"
#include "platform/texture/texture.h"

namespace {

TRenderer* gRenderer = nullptr;

// What PopState answers without a sink: E_FAIL.
constexpr int32_t kNoDisplay = static_cast<int32_t>(0x80004005u);

}  // namespace

TDrawState::~TDrawState() {
    TTextLayout::Delete(mStatsLayout);
    mStatsLayout = nullptr;
}

TRenderer::TRenderer() : mState(new TDrawState()), mSink(GetDisplayRenderSink()) {}

TRenderer::~TRenderer() {
    delete mState;
}

[[gnu::hot]] TRenderer* TRenderer::GetInstance() {
    if (gRenderer == nullptr) gRenderer = new TRenderer();
    return gRenderer;
}

void TRenderer::DestroyInstance() {
    delete gRenderer;
    gRenderer = nullptr;
}

bool TRenderer::BeginDraw(bool keepFrontBuffer) {
    mState->mInFrame = mSink != nullptr && mSink->BeginFrame(keepFrontBuffer);
    return mState->mInFrame;
}

void TRenderer::EndDraw(uint32_t argument) {
    MeasureFrameRate();
    if (mState->mStatsVisible) DrawStats();
    mState->mInFrame = false;
    if (mSink != nullptr) mSink->EndFrame(argument);
}

bool TRenderer::Begin2d() {
    if (mState->mIn2d) {
        LogPrintf("Begin2d called when already in Begin2d state");
        return false;
    }
    if (mState->mIn3d) {
        LogPrintf("Begin2d called when already in Begin3d state");
        return false;
    }
    if (!IsDrawing()) {
        LogPrintf("ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!");
        return false;
    }
    mState->mIn2d = mSink != nullptr && mSink->Begin2d();
    return mState->mIn2d;
}

bool TRenderer::Begin3d() {
    if (mState->mIn2d) {
        LogPrintf("Begin3d called when already in Begin2d state");
        return false;
    }
    if (mState->mIn3d) {
        LogPrintf("Begin3d called when already in Begin3d state");
        return false;
    }
    if (!IsDrawing()) {
        LogPrintf("ERROR: Calling Begin3d outside of a BeginDraw or BeginRenderTarget block!");
        return false;
    }
    mState->mIn3d = mSink != nullptr && mSink->Begin3d();
    return mState->mIn3d;
}

void TRenderer::End2d() {
    if (!mState->mIn2d) {
        LogPrintf("End2d called when not in Begin2d state");
        return;
    }
    if (!IsDrawing()) LogPrintf("ERROR: Calling End2d after EndDraw or EndRenderTarget!");
    if (mSink != nullptr) mSink->End2d();
    mState->mIn2d = false;
}

void TRenderer::End3d() {
    if (!mState->mIn3d) {
        LogPrintf("End3d called when not in Begin3d state");
        return;
    }
    if (!IsDrawing()) LogPrintf("Calling End3d after EndDraw or EndRenderTarget!");
    if (mSink != nullptr) mSink->End3d();
    mState->mIn3d = false;
}

[[gnu::hot]] bool TRenderer::IsIn2d() const {
    return mState->mIn2d;
}

bool TRenderer::IsIn3d() const {
    return mState->mIn3d;
}

bool TRenderer::IsDrawing() const {
    return mState->mInFrame || mState->mInRenderTarget;
}

bool TRenderer::BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) {
    if (texture == nullptr || texture->IsSimple() || mState->mInFrame || mState->mInRenderTarget) {
        return false;
    }
    mState->mInRenderTarget = mSink != nullptr && mSink->BeginRenderTarget(texture, mode);
    mState->mInFrame = mState->mInRenderTarget;
    return mState->mInRenderTarget;
}

void TRenderer::EndRenderTarget() {
    // Only an open target reaches the display: its end puts back the display scale saved when
    // the target began, which a stray end would make stale (a scale changed since, in a window
    // embedded in a host).
    if (mSink != nullptr && mState->mInRenderTarget) mSink->EndRenderTarget();
    mState->mInRenderTarget = false;
    mState->mInFrame = false;
}

[[gnu::hot]] void TRenderer::DrawVertices(int primitive, TVertexBatch* batch) {
    if (!mState->mIn2d && !mState->mIn3d) {
        LogPrintf("DrawVertices called when not in Begin2d or Begin3d state");
        return;
    }
    if (mSink != nullptr && batch != nullptr) mSink->DrawVertices(primitive, *batch);
}

void TRenderer::DrawTexturedQuad(int32_t /*mode*/) {}

[[gnu::hot]] void TRenderer::SetTexture(const std::shared_ptr<TTexture>& texture) {
    // No copy of the pointer for the common case (the same or another real texture).
    if (texture != nullptr && texture->IsSimple()) {
        mState->mTexture.reset();
    } else if (texture != mState->mTexture) {
        mState->mTexture = texture;
    }
    if (mSink != nullptr) mSink->SetTexture(mState->mTexture);
}

[[gnu::hot]] void TRenderer::SetTexture(std::shared_ptr<TTexture>&& texture) {
    // A texture drawing itself hands its reference over: the state takes it without counting.
    if (texture != nullptr && !texture->IsSimple() && texture != mState->mTexture) {
        mState->mTexture = std::move(texture);
        if (mSink != nullptr) mSink->SetTexture(mState->mTexture);
        return;
    }
    SetTexture(static_cast<const std::shared_ptr<TTexture>&>(texture));
}

std::shared_ptr<TTexture> TRenderer::GetTexture() const {
    return mState->mTexture;
}

void TRenderer::FillRect(const TRect& rect, const TVec4& colour,
                         const std::shared_ptr<TTexture>& texture) {
    TRect area = rect;
    if (texture == nullptr) {
        // The display's viewport (a window's whole screen rectangle), not the top of the stack
        // (the part of it inside its parent): its corner is where the window's other drawing
        // starts.
        TRect viewport = GetViewport();
        TRect moved{rect.left + viewport.left, rect.top + viewport.top, rect.right + viewport.left,
                    rect.bottom + viewport.top};
        area = TRect::Intersect(moved, viewport);
    }
    if (mSink != nullptr) mSink->FillRect(area, colour, texture);
}

void TRenderer::SetBlendMode(int32_t mode) {
    if (mSink != nullptr) mSink->SetBlendMode(mode);
}

void TRenderer::SetFiltering(bool linear) {
    if (mSink != nullptr) mSink->SetFiltering(linear);
}

void TRenderer::SetCullMode(int32_t mode) {
    if (mode < 1 || mode > 3) mode = 1;
    if (mSink != nullptr) mSink->SetCullMode(mode);
}

bool TRenderer::NeedsSquareTextures() const {
    if (mSink != nullptr) return mSink->NeedsSquareTextures();
    // Without a sink of its own the display answers for its device.
    TPlatformData* display = TPlatformData::GetInstance();
    return display != nullptr && display->NeedsSquareTextures();
}

void TRenderer::SetOption(const str& key, const str& value) {
    if (mSink != nullptr) mSink->SetOption(key, value);
}

bool TRenderer::PushViewport(const TRect& rect) {
    mState->mViewports.push_back(rect);
    return mSink == nullptr || mSink->SetViewport(rect);
}

void TRenderer::PopViewport() {
    if (mState->mViewports.size() <= 1) return;
    mState->mViewports.pop_back();
    if (mSink != nullptr) mSink->SetViewport(mState->mViewports.back());
}

TRect TRenderer::GetTopViewport() const {
    return mState->mViewports.empty() ? TRect{} : mState->mViewports.back();
}

size_t TRenderer::GetViewportCount() const {
    return mState->mViewports.size();
}

TRect TRenderer::GetViewport() const {
    return mSink != nullptr ? mSink->GetClipRect() : TRect{};
}

void TRenderer::SetViewport(const TRect& rect) {
    if (mSink != nullptr) mSink->PushState(rect);
}

int32_t TRenderer::PopState() {
    return mSink != nullptr ? mSink->PopState() : kNoDisplay;
}

bool TRenderer::ToggleStats() {
    mState->mStatsVisible = !mState->mStatsVisible;
    return !mState->mStatsVisible;
}

bool TRenderer::IsStatsVisible() const {
    return mState->mStatsVisible;
}

float TRenderer::GetFps() const {
    return mState->mFps;
}
