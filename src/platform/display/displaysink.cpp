#include "platform/display/displaysink.h"

#include "platform/display/displayrecord.h"
#include "platform/platformdata.h"

namespace {

TPlatformData* Display() {
    return TPlatformData::GetInstance();
}

RECT ToRECT(const TRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

bool TDisplayRenderSink::BeginFrame(bool keepFrontBuffer) {
    TPlatformData* display = Display();
    return display != nullptr && display->BeginDraw(keepFrontBuffer);
}

void TDisplayRenderSink::EndFrame(uint32_t argument) {
    if (TPlatformData* display = Display()) display->EndDraw(argument != 0);
}

bool TDisplayRenderSink::Begin2d() {
    TPlatformData* display = Display();
    return display != nullptr && display->Begin2d();
}

void TDisplayRenderSink::End2d() {
    if (TPlatformData* display = Display()) display->End2d();
}

bool TDisplayRenderSink::Begin3d() {
    TPlatformData* display = Display();
    return display != nullptr && display->Begin3d();
}

void TDisplayRenderSink::End3d() {
    if (TPlatformData* display = Display()) display->End3d();
}

bool TDisplayRenderSink::NeedsSquareTextures() {
    TPlatformData* display = Display();
    return display != nullptr && display->NeedsSquareTextures();
}

[[gnu::hot]] void TDisplayRenderSink::SetTexture(const std::shared_ptr<TTexture>& texture) {
    if (TPlatformData* display = Display()) display->SetTexture(texture);
}

void TDisplayRenderSink::SetBlendMode(int32_t mode) {
    if (TPlatformData* display = Display()) display->SetBlendMode(mode);
}

[[gnu::hot]] void TDisplayRenderSink::DrawVertices(int primitive, const TVertexBatch& batch) {
    if (TPlatformData* display = Display()) display->DrawVertices(primitive, batch);
}

bool TDisplayRenderSink::BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) {
    TPlatformData* display = Display();
    return display != nullptr && display->BeginRenderTarget(texture, mode);
}

void TDisplayRenderSink::EndRenderTarget() {
    if (TPlatformData* display = Display()) display->EndRenderTarget();
}

void TDisplayRenderSink::FillRect(const TRect& rect, const TVec4& colour,
                                  const std::shared_ptr<TTexture>& texture) {
    if (TPlatformData* display = Display()) display->FillRect(rect, colour, texture);
}

void TDisplayRenderSink::SetFiltering(bool linear) {
    if (TPlatformData* display = Display()) display->SetTextureFilter(linear);
}

void TDisplayRenderSink::SetCullMode(int32_t mode) {
    TPlatformData* display = Display();
    if (display != nullptr && display->GetRecord()->mDevice != nullptr) display->SetCullMode(mode);
}

void TDisplayRenderSink::SetOption(const str& key, const str& value) {
    if (TPlatformData* display = Display()) display->SetOption(key, value);
}

bool TDisplayRenderSink::SetViewport(const TRect& rect) {
    TPlatformData* display = Display();
    return display != nullptr && SUCCEEDED(display->SetViewport(ToRECT(rect)));
}

TRect TDisplayRenderSink::GetClipRect() {
    TPlatformData* display = Display();
    if (display == nullptr) return TRect{};
    RECT clip = display->GetClipRect();
    return TRect{clip.left, clip.top, clip.right, clip.bottom};
}

bool TDisplayRenderSink::PushState(const TRect& rect) {
    TPlatformData* display = Display();
    return display != nullptr &&
           SUCCEEDED(display->PushState(rect.left, rect.top, rect.right, rect.bottom));
}

int32_t TDisplayRenderSink::PopState() {
    TPlatformData* display = Display();
    return display != nullptr ? display->PopState() : E_FAIL;
}

bool TDisplayRenderSink::IsPresentDone() {
    TPlatformData* display = Display();
    return display != nullptr && display->IsPresentDone();
}

TRenderSink* GetDisplayRenderSink() {
    static TDisplayRenderSink sink;
    return &sink;
}
