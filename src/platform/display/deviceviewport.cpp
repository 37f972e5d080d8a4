#include "platform/display/deviceviewport.h"

#include <algorithm>
#include <cmath>

#include "platform/display/displayrecord.h"
#include "platform/platform.h"
#include "platform/win32platform.h"

HRESULT ApplyDeviceViewport(TDisplayRecord& record, const RECT& rect) {
    if (record.mDevice == nullptr) return E_POINTER;
    LONG targetWidth = record.mTargetRect.right - record.mTargetRect.left;
    LONG targetHeight = record.mTargetRect.bottom - record.mTargetRect.top;
    LONG left = std::min(std::max<LONG>(rect.left, 0), std::max<LONG>(targetWidth - 1, 0));
    LONG top = std::min(std::max<LONG>(rect.top, 0), std::max<LONG>(targetHeight - 1, 0));
    LONG right = std::min(std::max(rect.right, left), targetWidth);
    LONG bottom = std::min(std::max(rect.bottom, top), targetHeight);
    right = std::max(right, left);
    bottom = std::max(bottom, top);
    float x = static_cast<float>(left);
    float y = static_cast<float>(top);
    float width = static_cast<float>(right - left);
    float height = static_cast<float>(bottom - top);
    TPlatform* application = TPlatform::GetInstance();
    if (application != nullptr && application->GetPlatform()->IsEmbedded()) {
        float scale = application->GetPlatform()->GetScaleX();
        x = std::round(x * scale);
        y = std::round(y * scale);
        width = std::round(width * scale);
        height = std::round(height * scale);
        DDSURFACEDESC2 back{};
        back.dwSize = sizeof back;
        if (record.mBackBuffer != nullptr && SUCCEEDED(record.mBackBuffer->GetSurfaceDesc(&back))) {
            width = std::min(width, static_cast<float>(back.dwWidth) - x);
            height = std::min(height, static_cast<float>(back.dwHeight) - y);
        }
        width = std::max(width, 0.0f);
        height = std::max(height, 0.0f);
    }
    D3DVIEWPORT7 viewport{};
    viewport.dwX = static_cast<DWORD>(x);
    viewport.dwY = static_cast<DWORD>(y);
    viewport.dwWidth = static_cast<DWORD>(width);
    viewport.dwHeight = static_cast<DWORD>(height);
    viewport.dvMinZ = 0.0f;
    viewport.dvMaxZ = 1.0f;
    return record.mDevice->SetViewport(&viewport);
}

HRESULT ApplyClipWithinTarget(TDisplayRecord& record) {
    RECT area = record.mClipRect;
    const RECT& view = record.mViewportRect;
    if (view.right > view.left && view.bottom > view.top) {
        area.left = std::max(area.left, view.left);
        area.top = std::max(area.top, view.top);
        area.right = std::min(area.right, view.right);
        area.bottom = std::min(area.bottom, view.bottom);
    }
    return ApplyDeviceViewport(record, area);
}
