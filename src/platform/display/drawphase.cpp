// The device states of 2-D and 3-D drawing, and vertex submission with the 2-D projection rebuilt
// for each list: an orthographic projection over the visible part of the viewport, shifted by the
// calibrated pixel offset so that texels land on pixels, with z passed through unchanged.
#include <algorithm>

#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "platform/platformdata.h"

namespace {

bool IsEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// The orthographic off-centre projection from (left, top) to (right, bottom), y down, with z
// passed through (m33 = 1, m34 = 0, m43 = 0, m44 = 1).
D3DMATRIX Orthographic2d(float left, float top, float right, float bottom) {
    D3DMATRIX matrix{};
    matrix._11 = 2.0f / (right - left);
    matrix._22 = 2.0f / (top - bottom);
    matrix._41 = (left + right) / (left - right);
    matrix._42 = (top + bottom) / (bottom - top);
    matrix._33 = 1.0f;
    matrix._34 = 0.0f;
    matrix._43 = 0.0f;
    matrix._44 = 1.0f;
    return matrix;
}

// The 2-D projection for the record's clip, target and viewport rectangles. An empty viewport
// rectangle counts as none (as when the clip rectangle is applied); with nothing visible there is
// none (false), since nothing can be drawn.
[[gnu::hot]] bool Projection2d(const TDisplayRecord& record, TMat4* out) {
    const RECT& clip = record.mClipRect;
    RECT viewport = IsEmpty(record.mViewportRect) ? clip : record.mViewportRect;
    RECT visible = Intersect(Intersect(clip, record.mTargetRect), viewport);
    if (IsEmpty(visible)) return false;
    float left =
        static_cast<float>(std::max<LONG>(viewport.left - clip.left, 0)) - record.mPixelOffset;
    float top =
        static_cast<float>(std::max<LONG>(viewport.top - clip.top, 0)) - record.mPixelOffset;
    float right = left + static_cast<float>(visible.right - visible.left);
    float bottom = top + static_cast<float>(visible.bottom - visible.top);
    D3DMATRIX projection = Orthographic2d(left, top, right, bottom);
    static_assert(sizeof out->m == sizeof projection);
    std::copy_n(&projection._11, 16, out->m);
    return true;
}

}  // namespace

bool TPlatformData::Begin2d() {
    TDisplayRecord& record = *mRecord;
    if (record.mDevice == nullptr) return true;
    IDirect3DDevice7* device = record.mDevice;
    device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_CLIPPING, FALSE);
    SetTextureAddress(3, 3);
    SetBlendMode(0);
    SetTextureFilter(true);
    SetDepthTest(false);
    SetDepthWrite(false);
    SetCullMode(1);
    SetWorldTransform(TMat4());
    SetViewTransform(TMat4());
    record.mIn2d = true;
    return true;
}

bool TPlatformData::Begin3d() {
    TDisplayRecord& record = *mRecord;
    record.mIn2d = false;
    if (record.mDevice == nullptr) return true;
    IDirect3DDevice7* device = record.mDevice;
    device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, record.mNoSpecularGouraud ? FALSE : TRUE);
    device->SetRenderState(D3DRENDERSTATE_CLIPPING, TRUE);
    SetDepthTest(true);
    SetDepthWrite(true);
    SetBlendMode(0);
    SetTextureFilter(true);
    SetTextureAddress(1, 1);
    SetCullMode(3);
    return true;
}

void TPlatformData::End2d() {
    TDisplayRecord& record = *mRecord;
    record.mIn2d = false;
    TRenderer::GetInstance()->SetTexture(nullptr);
    if (record.mDevice == nullptr) return;
    SetWorldTransform(TMat4());
    SetViewTransform(TMat4());
}

void TPlatformData::End3d() {}

[[gnu::hot]] void TPlatformData::DrawVertices(int primitive, const TVertexBatch& batch) {
    TDisplayRecord& record = *mRecord;
    if (record.mBroken.load() || record.mDevice == nullptr) return;
    IDirect3DDevice7* device = record.mDevice;
    DWORD format = D3DFVF_VERTEX;
    bool lighting = true;
    switch (batch.GetKind()) {
        case TVertexBatch::kLitVertex:
        case TVertexBatch::kLitVertexList:
            format = D3DFVF_LVERTEX;
            lighting = false;
            break;
        case TVertexBatch::kScreenVertex:
            format = D3DFVF_TLVERTEX;
            lighting = false;
            break;
        default:
            break;
    }
    device->SetRenderState(D3DRENDERSTATE_LIGHTING, lighting ? TRUE : FALSE);
    TMat4 projection;
    if (record.mIn2d && batch.GetKind() != TVertexBatch::kScreenVertex &&
        Projection2d(record, &projection)) {
        SetProjectionTransform(projection);
    }

    HRESULT result =
        device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(primitive), format, batch.GetVertices(),
                              static_cast<DWORD>(batch.GetCount()), 0);
    if (SUCCEEDED(result)) return;
    if (result == DDERR_OUTOFVIDEOMEMORY) {
        LogPrintf("DrawVertices out of video memory");
        OutOfVideoMemory();
        return;
    }
    LOG_DX_ERROR(result);
    MarkBroken();
}
