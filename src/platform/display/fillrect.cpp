// TPlatformData::FillRect's three paths: a colour-fill blit into a texture's own surface, a
// colour-fill blit onto the back buffer between frames, and inside a frame a triangle fan of four
// lit vertices drawn in 2-D (so that it lands in the frame's order with everything else). Without a
// texture the rectangle is in screen coordinates, inside a frame as between frames.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/display/dxtexturedata.h"
#include "platform/draw/color.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/display/pixelformats.h"
#include "raster/pixelformat.h"

namespace {

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Colour-fills the rectangle of the surface, cut to the surface, with the colour converted to its
// pixel format.
void ColourFill(IDirectDrawSurface7* surface, RECT rect, uint32_t colour) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HRESULT result = surface->GetSurfaceDesc(&desc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        return;
    }
    rect = Intersect(rect,
                     RECT{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)});
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = raster::PackColor(port::display::PixelFormatOf(desc.ddpfPixelFormat), colour);
    result = surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    if (FAILED(result)) LOG_DX_ERROR(result);
}

LONG Scaled(LONG value, float scale) {
    return static_cast<LONG>(std::lround(static_cast<float>(value) * scale));
}

}  // namespace

void TPlatformData::FillRect(const TRect& rect, const TVec4& colour,
                             const std::shared_ptr<TTexture>& texture) {
    TDisplayRecord& record = *mRecord;
    const uint32_t packed = TColor(colour.x, colour.y, colour.z, colour.w).GetPacked();
    RECT area{rect.left, rect.top, rect.right, rect.bottom};

    if (texture != nullptr) {
        auto* data = AsDxTextureData(texture->GetData());
        if (data == nullptr || data->GetSurface() == nullptr) return;
        area = Intersect(area, RECT{0, 0, texture->GetWidth(), texture->GetHeight()});
        ColourFill(data->GetSurface(), area, packed);
        return;
    }

    if (!record.mInScene) {
        IDirectDrawSurface7* back = GetContext()->GetBackBuffer();
        if (back == nullptr) return;
        TRenderer* renderer = TRenderer::GetInstance();
        // Before the screen set-up pushes its viewport there is none to cut to.
        if (renderer->GetViewportCount() > 0) {
            TRect top = renderer->GetTopViewport();
            area = Intersect(area, RECT{top.left, top.top, top.right, top.bottom});
        }
        TPlatform* application = TPlatform::GetInstance();
        if (application != nullptr && application->GetPlatform()->IsEmbedded()) {
            float scale = application->GetPlatform()->GetScaleX();
            area = RECT{Scaled(area.left, scale), Scaled(area.top, scale),
                        Scaled(area.right, scale), Scaled(area.bottom, scale)};
        }
        ColourFill(back, area, packed);
        return;
    }

    // Inside a frame: drawn in 2-D, whatever phase the frame is in, then that phase again.
    TRenderer* renderer = TRenderer::GetInstance();
    const bool was2d = record.mIn2d;
    if (!was2d) Begin2d();
    std::shared_ptr<TTexture> previous = renderer->GetTexture();
    SetTexture(nullptr);
    SetBlendMode(0);
    // The rectangle is in screen coordinates, while the 2-D projection counts from the clip
    // rectangle's top-left corner (the window being drawn): the fan is drawn relative to it, where
    // the window's other lists land.
    const RECT& origin = record.mClipRect;
    const float left = static_cast<float>(int64_t{rect.left} - origin.left);
    const float top = static_cast<float>(int64_t{rect.top} - origin.top);
    const float right = static_cast<float>(int64_t{rect.right} - origin.left);
    const float bottom = static_cast<float>(int64_t{rect.bottom} - origin.top);
    TLVertex fan[4]{};
    const float corners[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i = 0; i < 4; ++i) {
        fan[i].x = corners[i][0];
        fan[i].y = corners[i][1];
        fan[i].diffuse = packed;
        fan[i].specular = 0xFF000000;
    }
    TVertexBatch* batch = TVertexBatch::CreateKind2(fan, 4);
    DrawVertices(D3DPT_TRIANGLEFAN, *batch);
    TVertexBatch::Free(batch);
    SetTexture(previous);
    if (!was2d) {
        record.mIn2d = false;
        if (renderer->IsIn3d()) Begin3d();
    }
}
