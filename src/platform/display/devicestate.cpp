// The device-state setters of the display: the world, view and projection transforms (the
// projection also kept in the record), the ambient light, the material, and the perspective
// projection that follows the viewport. Without a device they set nothing (the projection is
// still kept); the set-up calls them for the state every frame starts from.
#include <algorithm>
#include <cstring>

#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/platformdata.h"

namespace {

static_assert(sizeof(D3DMATRIX) == sizeof(TMat4::m), "a matrix is 16 floats, rows first");

D3DMATRIX ToDeviceMatrix(const TMat4& matrix) {
    D3DMATRIX out;
    std::memcpy(&out, matrix.m, sizeof out);
    return out;
}

[[gnu::hot]] void SetTransform(IDirect3DDevice7* device, D3DTRANSFORMSTATETYPE type,
                               const TMat4& matrix) {
    if (device == nullptr) return;
    D3DMATRIX value = ToDeviceMatrix(matrix);
    HRESULT result = device->SetTransform(type, &value);
    if (result != D3D_OK) LOG_DX_ERROR(result);
}

DWORD ColourByte(float value) {
    return static_cast<DWORD>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

}  // namespace

void TPlatformData::SetWorldTransform(const TMat4& matrix) {
    SetTransform(mRecord->mDevice, D3DTRANSFORMSTATE_WORLD, matrix);
}

void TPlatformData::SetViewTransform(const TMat4& matrix) {
    SetTransform(mRecord->mDevice, D3DTRANSFORMSTATE_VIEW, matrix);
}

[[gnu::hot]] void TPlatformData::SetProjectionTransform(const TMat4& matrix) {
    mRecord->mProjection = matrix;
    SetTransform(mRecord->mDevice, D3DTRANSFORMSTATE_PROJECTION, matrix);
}

void TPlatformData::SetAmbient(const TVec4& colour) {
    IDirect3DDevice7* device = mRecord->mDevice;
    if (device == nullptr) return;
    DWORD packed = ColourByte(colour.w) << 24 | ColourByte(colour.x) << 16 |
                   ColourByte(colour.y) << 8 | ColourByte(colour.z);
    HRESULT result = device->SetRenderState(D3DRENDERSTATE_AMBIENT, packed);
    if (result != D3D_OK) LOG_DX_ERROR(result);
}

void TPlatformData::SetMaterial(const D3DMATERIAL7& material) {
    IDirect3DDevice7* device = mRecord->mDevice;
    if (device == nullptr) return;
    D3DMATERIAL7 value = material;
    HRESULT result = device->SetMaterial(&value);
    if (result != D3D_OK) LOG_DX_ERROR(result);
}

void TPlatformData::SetPerspective(float nearPlane, float farPlane, float fieldOfView,
                                   float aspect) {
    TDisplayRecord& record = *mRecord;
    record.mNearPlane = nearPlane;
    record.mFarPlane = farPlane;
    const RECT& target = record.mTargetRect;
    RECT visible{std::max(record.mViewportRect.left, target.left),
                 std::max(record.mViewportRect.top, target.top),
                 std::min(record.mViewportRect.right, target.right),
                 std::min(record.mViewportRect.bottom, target.bottom)};
    float visibleWidth = static_cast<float>(visible.right - visible.left);
    float visibleHeight = static_cast<float>(visible.bottom - visible.top);
    if (aspect == 0.0f && visibleWidth > 0.0f) aspect = visibleHeight / visibleWidth;
    float targetWidth = static_cast<float>(target.right - target.left);
    float targetHeight = static_cast<float>(target.bottom - target.top);
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    if (targetWidth > 0.0f && targetHeight > 0.0f) {
        offsetX = ((visible.left + visible.right) * 0.5f - (target.left + target.right) * 0.5f) /
                  (targetWidth * 0.5f);
        offsetY = ((visible.top + visible.bottom) * 0.5f - (target.top + target.bottom) * 0.5f) /
                  (targetHeight * 0.5f);
    }
    TMat4 projection;
    projection.SetPerspective(nearPlane, farPlane, fieldOfView, aspect, offsetX, offsetY);
    SetProjectionTransform(projection);
}
