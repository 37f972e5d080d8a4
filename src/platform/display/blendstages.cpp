// Blend modes and the texture-stage set-up that goes with them. Sprites are texture x vertex
// colour, with alpha from texture x vertex alpha except in the opaque mode; inside a render
// target of mode 4 everything drawn writes its coverage (alpha) as grey, which the end of the
// target turns into the texture's alpha. Entries a case leaves alone keep what the previous
// set-up put there.
#include "platform/display/displayrecord.h"
#include "platform/display/dxtexturedata.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"

namespace {

// The texture factor: white with alpha 255.
constexpr DWORD kTextureFactor = 0xFFFFFFFF;

bool InTargetMode4(const TDisplayRecord& record) {
    return record.mRenderTargetTexture != nullptr && record.mRenderTargetMode == 4;
}

void SetBlend(IDirect3DDevice7* device, DWORD source, DWORD destination) {
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, source);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, destination);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
}

}  // namespace

void TPlatformData::SetBlendMode(int32_t mode) {
    TDisplayRecord& record = *mRecord;
    record.mBlendMode = mode;
    IDirect3DDevice7* device = record.mDevice;
    if (device == nullptr) return;
    const bool target4 = InTargetMode4(record);
    switch (mode) {
        case 0:
            SetBlend(device, D3DBLEND_SRCALPHA, target4 ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
            break;
        case 1:
            device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
            break;
        case 2:
            SetBlend(device, D3DBLEND_SRCALPHA, D3DBLEND_ONE);
            break;
        case 3:
            if (!target4)
                SetBlend(device, D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR);
            else if (record.mNewSubtractive)
                SetBlend(device, D3DBLEND_ONE, D3DBLEND_ONE);
            else
                SetBlend(device, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
            break;
        case 4:
            SetBlend(device, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR);
            break;
        default:
            break;
    }
    ApplyBlendStages();
}

[[gnu::hot]] void TPlatformData::ApplyBlendStages() {
    TDisplayRecord& record = *mRecord;
    IDirect3DDevice7* device = record.mDevice;
    if (device == nullptr) return;
    device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, kTextureFactor);
    auto stage = [device](D3DTEXTURESTAGESTATETYPE state, DWORD value) {
        device->SetTextureStageState(0, state, value);
    };
    const bool target4 = InTargetMode4(record);
    const bool newBlend = record.mNewRenderBlend;
    const bool newSubtractive = record.mNewSubtractive && record.mBlendMode == 3;
    if (target4 && newSubtractive) {
        stage(D3DTSS_COLORARG1, D3DTA_TFACTOR);
        if (!newBlend) stage(D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        stage(D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
        stage(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    } else if (target4 && record.mTextureBound) {
        stage(D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE);
        if (newBlend) stage(D3DTSS_COLORARG2, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
        stage(D3DTSS_COLOROP, newBlend ? D3DTOP_MODULATE : D3DTOP_SELECTARG1);
        stage(D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
        stage(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    } else if (target4) {
        stage(D3DTSS_COLORARG1, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
        stage(D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        stage(D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
        stage(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    } else if (record.mBlendMode == 1 || newSubtractive) {
        stage(D3DTSS_COLORARG1, D3DTA_TEXTURE);
        if (newBlend) stage(D3DTSS_COLORARG2, D3DTA_CURRENT);
        stage(D3DTSS_COLOROP, D3DTOP_MODULATE);
        stage(D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
        stage(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    } else {
        stage(D3DTSS_COLORARG1, D3DTA_TEXTURE);
        if (newBlend) stage(D3DTSS_COLORARG2, D3DTA_CURRENT);
        stage(D3DTSS_COLOROP, D3DTOP_MODULATE);
        stage(D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        stage(D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    }
}

[[gnu::hot]] void TPlatformData::SetTexture(const std::shared_ptr<TTexture>& texture) {
    if (!IsWorking()) return;
    TDisplayRecord& record = *mRecord;
    IDirectDrawSurface7* surface = nullptr;
    if (texture != nullptr) {
        if (auto* data = AsDxTextureData(texture->GetData())) surface = data->GetSurface();
    }
    record.mDevice->SetTexture(0, surface);
    record.mTextureBound = surface != nullptr;
    ApplyBlendStages();
}
