// The display's single device-state setters (stage 0 filtering and addressing, culling, shading,
// the depth test and depth write with their mirrors in the record) and the renderer's options.
// Each does nothing without a device, except that options are kept for the next one.
#include "platform/display/displayrecord.h"
#include "platform/platformdata.h"

namespace {

// D3DRENDERSTATE_ANTIALIAS values.
constexpr DWORD kAntialiasNone = 0;
constexpr DWORD kAntialiasSortIndependent = 2;

DWORD AddressMode(int mode) {
    if (mode == 1) return D3DTADDRESS_WRAP;
    if (mode == 2) return D3DTADDRESS_MIRROR;
    return D3DTADDRESS_CLAMP;
}

}  // namespace

void TPlatformData::SetTextureFilter(bool linear) {
    IDirect3DDevice7* device = mRecord->mDevice;
    if (device == nullptr) return;
    device->SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, linear ? D3DTFP_LINEAR : D3DTFP_POINT);
}

void TPlatformData::SetTextureAddress(int modeU, int modeV) {
    IDirect3DDevice7* device = mRecord->mDevice;
    if (device == nullptr) return;
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, AddressMode(modeU));
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, AddressMode(modeV));
}

void TPlatformData::SetCullMode(int mode) {
    IDirect3DDevice7* device = mRecord->mDevice;
    if (device == nullptr) return;
    DWORD cull = mode == 2 ? D3DCULL_CW : mode == 3 ? D3DCULL_CCW : D3DCULL_NONE;
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, cull);
}

void TPlatformData::SetShadeMode(int mode) {
    IDirect3DDevice7* device = mRecord->mDevice;
    if (device == nullptr) return;
    device->SetRenderState(D3DRENDERSTATE_SHADEMODE, mode == 2 ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
}

void TPlatformData::SetDepthTest(bool on) {
    mRecord->mDepthTest = on;
    if (mRecord->mDevice != nullptr)
        mRecord->mDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, on ? TRUE : FALSE);
}

void TPlatformData::SetDepthWrite(bool on) {
    mRecord->mDepthWrite = on;
    if (mRecord->mDevice != nullptr)
        mRecord->mDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, on ? TRUE : FALSE);
}

void TPlatformData::SetOption(const str& key, const str& value) {
    TDisplayRecord& record = *mRecord;
    const bool on = value.ToInt() > 0;
    if (key == str("antialias")) {
        record.mAntialias = on;
        if (record.mDevice != nullptr) {
            record.mDevice->SetRenderState(D3DRENDERSTATE_ANTIALIAS,
                                           on ? kAntialiasSortIndependent : kAntialiasNone);
        }
    } else if (key == str("hint_antialias")) {
        record.mHintAntialias = on;
    } else if (key == str("new_subtractive")) {
        record.mNewSubtractive = on;
    } else if (key == str("new_render_blend")) {
        record.mNewRenderBlend = on;
    }
}
